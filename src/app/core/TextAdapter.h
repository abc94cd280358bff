#pragma once

#include <QString>
#include <string>

#include "runtime/SecretText.h"

namespace kiv {

// The one place where Qt's texts and the engine's 8-bit byte strings meet. The program's 8-bit
// code page is the locale's encoding, so editor lines, passwords and clipboard text become the
// same bytes a file in that encoding would hold.
class TextAdapter {
  public:
    static std::string ToBytes(const QString& text);
    static QString FromBytes(const std::string& bytes);
    // The same bytes as ToBytes, for a password: encoded straight into a text that wipes itself,
    // so that no converted copy is left behind in freed memory.
    static SecretText SecretBytes(const QString& text);
};

}  // namespace kiv
