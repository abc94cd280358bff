#pragma once

#include <array>
#include <cstdint>

namespace kiv {

// Digit value <-> character. Cipher texts use CharOrder[0..60]: "0"-"9", "A"-"Z", "a"-"y".
struct CharacterOrder {
    std::array<std::uint8_t, 256> CharOrder{};
    std::array<std::uint8_t, 256> CharIndex{};
};

// Digits, upper case, lower case, then the remaining byte values 32..47, 58..64, 91..96,
// 123..255 and 0..31. Every character outside "0"-"9", "A"-"Z", "a"-"z" gets an index of 62 or
// more, which is how decryption spots a foreign character.
void BuildCharacterOrder(CharacterOrder& order);

}  // namespace kiv
