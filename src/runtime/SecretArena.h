#pragma once

#include <cstddef>

namespace kiv {

// Memory for what must leave the process neither while it is used nor after: passwords and the
// rows derived from them. Its pages are kept out of core dumps (MADV_DONTDUMP, which gcore heeds
// too) and locked against swapping (mlock) as far as RLIMIT_MEMLOCK leaves room; both are best
// effort, and a system that refuses them still hands out the memory. Blocks come zero-filled and
// are wiped when they are given back. Thread-safe.
class SecretArena {
  public:
    // size bytes, aligned for any object. Throws std::bad_alloc when the system has no memory.
    static void* Allocate(std::size_t size);
    // Wipes a block that Allocate gave for size, and takes it back; nullptr is ignored.
    static void Release(void* block, std::size_t size) noexcept;
};

}  // namespace kiv
