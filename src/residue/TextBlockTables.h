#pragma once

#include <array>
#include <cstdint>

#include "residue/VectorLayout.h"

namespace kiv {

// Everything the text cores' block coding needs that depends only on the key, computed once:
// the key's vector layout, the powers of 65536 modulo each of the n - 1 moduli, Garner's factors
// in full, the products of the leading moduli modulo 2^192, the noise lanes and the digit pair
// <-> character tables. Read-only after construction.
struct TextBlockTables : VectorLayout {
    // The texts' own bounds, within the layout's: the vector steps size their scratch by them.
    static constexpr int kMaxModuli = 32;  // n - 1 for keys of 3..17 bytes
    static constexpr int kMaxBlock = 17;
    static constexpr int kMaxWords = (kMaxBlock + 1) / 2;
    // Noised values stay below 19 x 181 and both of their digits below 61.
    static constexpr std::int32_t kLargestModulus = 181;
    static constexpr int kNoisedValues = 61 * 61;
    static_assert(kMaxModuli <= VectorLayout::kMaxResidues && kMaxBlock <= VectorLayout::kMaxBlock);

    // moduli: count of them (n - 1), pairwise coprime, each 1..kLargestModulus; blockLength: L,
    // 1..kMaxBlock. charOrder and charIndex: the text's alphabet, digit -> character and back
    // (the text cipher's CharacterOrder).
    TextBlockTables(const std::int32_t* moduli, int count, int blockLength,
                    const std::array<std::uint8_t, 256>& charOrder,
                    const std::array<std::uint8_t, 256>& charIndex);

    // Encoding. wordPower[j][k] = 65536^j mod modulus k: the factor of the block's j-th 16-bit
    // little-endian word.
    std::array<std::array<std::uint32_t, kMaxModuli>, kMaxWords> wordPower{};
    // noised[v] = CharOrder[v mod 61] | CharOrder[v / 61] << 8 | (v mod 61 + 1) << 16: the two
    // characters of a noised value and the noise chain's next entry.
    std::array<std::uint32_t, kNoisedValues> noised{};

    // Decoding. charDigit[c] = CharIndex[c]; a pair's value is low + 61 x high.
    std::array<std::uint16_t, 256> charDigit{};
    // Garner's digit k in one sum of non-negative terms: inverse[k] x value k plus, for every
    // earlier digit j, digit j x factor[k][j], where factor[k][j] = -inverse[k] x (product of
    // moduli 0..j-1) mod modulus k.
    std::array<std::array<std::uint32_t, kMaxModuli>, kMaxModuli> factor{};
    // The product of moduli 0..k-1 modulo 2^192, three little-endian limbs.
    std::array<std::array<std::uint64_t, 3>, kMaxModuli> product{};
    // The standard character order's letters and digits can be mapped by ranges.
    bool standardOrder = false;

    // Noise in 16-bit lanes, modulus k in lane k: the modulus and the modulus mod 19 (1 in
    // unused lanes), and 0xffff from the block's last modulus on, whose chain entry stays.
    alignas(32) std::array<std::uint16_t, kMaxModuli> noiseModulus{};
    alignas(32) std::array<std::uint16_t, kMaxModuli> noiseModulus19{};
    alignas(32) std::array<std::uint16_t, kMaxModuli> noiseLastLanes{};
};

}  // namespace kiv
