#pragma once

#include <exception>

namespace kiv {

// Ends an operation without a message: the exception display lets it pass unseen.
class SilentAbort : public std::exception {
  public:
    const char* what() const noexcept override { return ""; }
};

}  // namespace kiv
