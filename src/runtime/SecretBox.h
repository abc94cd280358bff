#pragma once

#include <new>
#include <utility>

#include "runtime/SecretArena.h"

namespace kiv {

// One object of type T in the SecretArena, made with the arguments given and destroyed with the
// box: its bytes stay out of core dumps and swap while it lives and are wiped when it goes.
// Memory T itself allocates (a std::string's buffer) comes from the ordinary heap.
template <class T>
class SecretBox {
  public:
    template <class... Args>
    explicit SecretBox(Args&&... args) : object_(Make(std::forward<Args>(args)...)) {}
    ~SecretBox() {
        object_->~T();
        SecretArena::Release(object_, sizeof(T));
    }
    SecretBox(const SecretBox&) = delete;
    SecretBox& operator=(const SecretBox&) = delete;

    T& operator*() const { return *object_; }
    T* operator->() const { return object_; }

  private:
    template <class... Args>
    static T* Make(Args&&... args) {
        void* memory = SecretArena::Allocate(sizeof(T));
        try {
            return new (memory) T(std::forward<Args>(args)...);
        } catch (...) {
            SecretArena::Release(memory, sizeof(T));
            throw;
        }
    }

    T* object_;
};

}  // namespace kiv
