#pragma once

#include <string>

#include "messages/MessageCatalogue.h"

namespace kiv {

// Where the text cores report an altered cipher text. The window shows a message box, the
// command-line tool writes a line to standard error, tests record.
class CipherMessages {
  public:
    virtual ~CipherMessages() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace kiv
