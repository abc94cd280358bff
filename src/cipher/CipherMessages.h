#pragma once

#include <string>

#include "messages/TranslatableText.h"

namespace kiv {

inline constexpr char kMessageChangedOne[] =
    QT_TRANSLATE_NOOP("kiv", "Message changed not true one");
inline constexpr char kMessageChangedTwo[] =
    QT_TRANSLATE_NOOP("kiv", "Message changed not true two");

// Where the text cores report an altered cipher text. The window shows a message box, the
// command-line tool writes a line to standard error, tests record.
class CipherMessages {
  public:
    virtual ~CipherMessages() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace kiv
