#pragma once

#include <array>
#include <cstdint>

namespace kiv {

// The tables for decoding a block's residues in one step by the Chinese remainder theorem,
// instead of Garner's digit by digit, with the same result: the number D below M (the product
// of the moduli) with D = r_i mod p_i, taken modulo 256^L.
//
// With e_i the basis number (1 modulo p_i, 0 modulo the others; taken between -M/2 and M/2),
// S = sum r_i e_i is D plus k M, k = floor(S / M) = floor(sum r_i e_i / M), and e_i / M is a
// small fraction known per modulus. So a block is two dot products of its residue bytes with
// constant rows of signed byte digits: F = 4 digits of the fractions (30 bits below the point),
// which give k up to a last bit of doubt, and W base-256 columns of e_i mod 256^W, from which
// k M is taken away. W exceeds L, so that the top bit of column W - 1 settles the doubt: when
// the fractions put S within reach of a multiple of M from below (near), the column value is
// S - (k + 1) M, which is negative exactly when that top bit is set; then D = that + M. Genuine
// blocks (D < 256^L) never take that turn; the kernel mends the rare lanes that do.
//
// The same two dot products come in two forms: byte digits, four residues to a 32-bit lane (for
// the unsigned-by-signed byte multiply-adds of AVX-512 VNNI), and 16-bit digits, two residues to
// a lane (for the 16-bit multiply-adds every AVX2 processor has, whose byte form would saturate:
// two products of 255 by a digit near 128 pass 2^15). Both give the same k, "near" and D.
//
// Built only for pairwise distinct moduli; fit tells whether the geometry allows it (the doubt
// must stay below half of 256^W, which holds for every file key).
struct RecombinationTables {
    static constexpr int kFractionDigits = 4;
    static constexpr int kFractionBits = 8 * kFractionDigits - 2;
    static constexpr int kMaxQuads = 10;    // of 4 residues, for up to 40 residues
    static constexpr int kMaxColumns = 28;  // L <= 24, with up to 4 columns of headroom

    RecombinationTables() = default;
    // moduli: count of them (at most 40), each 2..263; blockLength: L, 1..24. Leaves fit false when
    // the moduli are not pairwise coprime or the geometry is out of reach.
    RecombinationTables(const std::uint32_t* moduli, int count, int blockLength);

    bool fit = false;
    int quads = 0;    // residue groups of 4 bytes per block
    int columns = 0;  // W
    // Added to fraction digit 0: the largest rounding the floors can lose (255 per residue), so
    // that k comes out as floor((X + limit) / 2^30) and "near" as a remainder below limit.
    std::int32_t nearLimit = 0;
    // Four signed bytes per 32-bit lane, the factors of residues 4q..4q+3 (0 past the last).
    std::array<std::array<std::int32_t, kMaxQuads>, kFractionDigits> fraction{};
    std::array<std::array<std::int32_t, kMaxQuads>, kMaxColumns> digits{};
    // Column j's share of -(k + 32768) M: the signed digits j and j - 1 of -M mod 256^W, taken
    // with the two bytes of k + 32768, and its byte j of 32768 M, added back.
    std::array<std::int32_t, kMaxColumns> correction{};
    std::array<std::int32_t, kMaxColumns> offset{};
    // M mod 256^L, little-endian: what the mended lanes add.
    std::array<std::uint8_t, kMaxColumns> product{};

    // The 16-bit form. Residue i of a block sits in pair 2(i / 4) + i % 2, in its low half for
    // i % 4 < 2 and in its high half otherwise: the pairs are a gather of four residue bytes
    // split into its even and its odd bytes. Each pair holds the two residues' signed 16-bit
    // digits (0 past the last residue). The sums stay below 2^29 in size.
    static constexpr int kWideFractionDigits = 2;
    static constexpr int kMaxPairs = 2 * kMaxQuads;
    static constexpr int kMaxWideColumns = kMaxColumns / 2;
    // C: columns of 16 bits, 2C >= W, the top bit of column C - 1 telling the sign.
    int wideColumns = 0;
    // Digits of the fractions: the low 16 bits, then the rest (14 bits below the point).
    std::array<std::array<std::int32_t, kMaxPairs>, kWideFractionDigits> wideFraction{};
    std::array<std::array<std::int32_t, kMaxPairs>, kMaxWideColumns> wideDigits{};
    // Column J's factor of k (k itself, below 2^13 in size, in the low half of its lane): the
    // signed 16-bit digit J of -M mod 2^(16C), in the low half.
    std::array<std::int32_t, kMaxWideColumns> wideCorrection{};
};

}  // namespace kiv
