#include "app/core/PasswordKey.h"

#include "cipher/TextCipher.h"

namespace kiv {

std::string CutPasswordKey(const std::string& text) {
    return text.substr(0, kTextKeyLimit);
}

PasswordCheck CheckPasswordBoxes(const std::string& first, const std::string& second,
                                 std::string& key) {
    if (first != second) return PasswordCheck::Differ;
    key = CutPasswordKey(first);
    if (key.size() < static_cast<std::size_t>(kShortestKey)) return PasswordCheck::TooShort;
    return PasswordCheck::Ready;
}

}  // namespace kiv
