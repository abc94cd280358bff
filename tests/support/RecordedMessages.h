#pragma once

#include <string>
#include <vector>

#include "cipher/TextCipher.h"

namespace kiv::testing {

// Keeps what the text cipher would show the user.
struct RecordedMessages : CipherMessages {
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};

}  // namespace kiv::testing
