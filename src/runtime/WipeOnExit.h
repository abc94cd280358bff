#pragma once

#include <string>

#include "runtime/SecretWipe.h"

namespace kiv {

// Wipes a text when the scope it guards ends, however it ends.
class WipeOnExit {
  public:
    explicit WipeOnExit(std::string& text) : text_(text) {}
    ~WipeOnExit() { WipeText(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

  private:
    std::string& text_;
};

}  // namespace kiv
