#include "app/core/PasswordKey.h"

#include "cipher/TextCipher.h"

namespace kiv {

void CutPasswordKey(const std::string& text, std::string& key) {
    key.assign(text, 0, kTextKeyLimit);
}

PasswordCheck CheckPasswordBoxes(const std::string& first, const std::string& second,
                                 std::string& key) {
    if (first != second) return PasswordCheck::Differ;
    CutPasswordKey(first, key);
    if (key.size() < static_cast<std::size_t>(kShortestKey)) return PasswordCheck::TooShort;
    return PasswordCheck::Ready;
}

}  // namespace kiv
