#pragma once

#include <string>
#include <utility>

#include "runtime/SecretWipe.h"

namespace kiv {

// A text that is wiped when it goes, such as a password: usable wherever a std::string is read.
// Copies wipe themselves too; a std::string made from one does not.
class SecretText : public std::string {
  public:
    SecretText() = default;
    explicit SecretText(std::string&& text) : std::string(std::move(text)) { WipeText(text); }
    SecretText(const SecretText&) = default;
    SecretText& operator=(const SecretText&) = default;
    ~SecretText() { WipeText(*this); }
};

}  // namespace kiv
