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
};

}  // namespace kiv
