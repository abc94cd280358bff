#pragma once

#include <array>
#include <cstdint>

namespace kiv {

// The per-key numbers of the one-block-per-lane residue coder (SmallBlockResidues), worked out
// once when a key's tables are built rather than at every call of the coder.
struct SmallBlockFactors {
    static constexpr int kMaxDwords = 2;
    static constexpr int kMaxBlock = 4 * kMaxDwords;
    static constexpr int kMaxResidues = 12;

    SmallBlockFactors() = default;
    // moduli: residues of them, each 2..263. Leaves fit false for blocks longer than 8 bytes or
    // more than 12 residues.
    SmallBlockFactors(const std::uint32_t* moduli, int residues, int length);

    bool fit = false;
    int residues = 0;
    int length = 0;
    // Per modulus m, for bytes 4d..4d+3: 256^j mod m as signed bytes between -m/2 and m/2 (0
    // past the block); and a multiple of m above 8 x 255 x 128, so that the sum of the products
    // plus it lies in 0..2^22, where the float remainder is exact.
    std::array<std::array<std::int32_t, kMaxResidues>, kMaxDwords> factor{};
    std::array<std::int32_t, kMaxResidues> bias{};
    std::array<std::int32_t, kMaxResidues> modulus{};
    std::array<float, kMaxResidues> reciprocal{};
    // Byte j of lane i of register d: byte 4d + j of block i, as an index into 16 blocks.
    alignas(64) std::array<std::array<std::uint8_t, 64>, kMaxDwords> spread{};
    // The coder leaves residue k of block i in byte 16(k mod 4) + i of row k / 4; output byte
    // i x residues + k of register o comes from rows 0 and 1 through pairIndex[o] (a two-register
    // shuffle), or, where thirdMask[o] has its bit, from row 2 through thirdIndex[o].
    static constexpr int kOutRegisters = (16 * kMaxResidues + 63) / 64;
    alignas(64) std::array<std::array<std::uint8_t, 64>, kOutRegisters> pairIndex{};
    alignas(64) std::array<std::array<std::uint8_t, 64>, kOutRegisters> thirdIndex{};
    std::array<std::uint64_t, kOutRegisters> thirdMask{};
};

}  // namespace kiv
