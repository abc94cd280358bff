#pragma once

#include <string>

namespace kiv {

enum class PasswordCheck {
    Ready,     // the key may be used
    Differ,    // the two boxes do not hold the same bytes
    TooShort,  // fewer than 3 bytes
};

// A key longer than 16 bytes is cut to its first 17 (17, not 16: every stored cipher text was
// made that way). The cut text is put into key in place, with no copy in between.
void CutPasswordKey(const std::string& text, std::string& key);

// The check the editor and clipboard actions share: both boxes equal byte for byte, then the
// first box's text, cut, at least 3 bytes long. On Ready, key holds the cut text.
PasswordCheck CheckPasswordBoxes(const std::string& first, const std::string& second,
                                 std::string& key);

}  // namespace kiv
