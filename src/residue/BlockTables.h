#pragma once

#include <array>
#include <cstdint>

#include "residue/RecombinationTables.h"
#include "residue/SmallBlockFactors.h"

namespace kiv {

// Everything a file run's block coding needs that depends only on the password, computed once per
// run: the moduli, the powers of 256 modulo each of them, Garner's weights and inverses, and the
// same numbers laid out for the vector kernels (pairs of 16-bit factors in 32-bit lanes, rows
// padded to whole 8-lane registers). Read-only after construction, so any number of threads may
// code blocks with one instance.
struct BlockTables {
    static constexpr int kMaxResidues = 40;  // d - 1 <= 36, padded to 5 registers of 8 lanes
    static constexpr int kMaxBlock = 24;
    static constexpr int kMaxPairs = kMaxResidues / 2;

    struct Modulus {
        std::uint32_t value = 1;
        std::uint64_t magic = 0;  // for a division-free remainder of 32-bit values
        std::uint32_t Reduce(std::uint32_t x) const {
            const std::uint64_t low = magic * x;
            return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * value) >> 64);
        }
    };

    // The vector kernels' sums stay below 2^22, where a float reciprocal gives exact remainders,
    // as long as no modulus exceeds this (the file runs' primes are at most 241).
    static constexpr std::int32_t kVectorModulusLimit = 263;

    // moduli: the block's residueBytes moduli (d - 1 of them), each at least 2; distinct: whether
    // they are pairwise distinct, which Garner's weights and inverses need. Throws
    // std::invalid_argument on a geometry out of range and std::domain_error on a modulus below 2.
    BlockTables(const std::int32_t* moduli, int residueBytes, int blockLength, bool distinct);

    int blockLength;
    int residues;
    bool distinct;
    bool vectorFit = true;  // every modulus within kVectorModulusLimit

    std::array<Modulus, kMaxResidues> moduli{};
    // power[j][k] = 256^j mod modulus k, laid out for a loop over k.
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxBlock> power{};
    // weight[i][k] = product of moduli 0..k-1 mod modulus i; inverse[i] = weight[i][i]^-1.
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxResidues> weight{};
    std::array<std::uint32_t, kMaxResidues> inverse{};

    // The vector layout. Unused lanes have modulus 1 and zero factors, so they come out 0.
    alignas(32) std::array<std::int32_t, kMaxResidues> modulus{};
    alignas(32) std::array<float, kMaxResidues> reciprocal{};
    // Encoding reads the block as 16-bit words w (2 bytes each, little-endian), two words per
    // 32-bit lane. wordPowers[u][k] = 256^(4u) | 256^(4u+2) << 16, both mod modulus k: the
    // factors of words 2u and 2u+1; 0 beyond the block. The multiply-add is signed, so the
    // words enter as w - 32768 and wordBias[k] = 32768 x (sum of all factors) is added back.
    alignas(32) std::array<std::array<std::int32_t, kMaxResidues>, kMaxBlock / 4> wordPowers{};
    alignas(32) std::array<std::int32_t, kMaxResidues> wordBias{};
    // 65536 mod modulus k, to fold a sum below 2^28 into one below 2^22.
    alignas(32) std::array<std::int32_t, kMaxResidues> fold{};
    // The block's bytes: 0xff for its L bytes, 0 after them, over one 32-byte load.
    alignas(32) std::array<std::uint8_t, 32> byteMask{};
    // Garner's digit i in one sum of non-negative terms: inverse[i] x residue i plus, for every
    // earlier digit k, digit k x (modulus i - inverse[i] x weight[i][k] mod modulus i). The
    // factors of digits 2t and 2t+1 share one pair; factors of digits not yet known are 0.
    std::array<std::array<std::int32_t, kMaxPairs>, kMaxResidues> garnerPairs{};
    // The block from its mixed-radix digits, one 16-bit column at a time: column j is the sum
    // over digits i of digit i x word j of (product of moduli 0..i-1 mod 2^(16 x columns)), plus
    // the carry. The words are signed (-32768..32767, their carries taken into the next word),
    // so that they fit the signed multiply-add. wordPairs[j][t] holds the words of digits 2t and
    // 2t+1; pairs before firstPair[j] are 0.
    static constexpr int kMaxColumns = kMaxBlock / 2;
    std::array<std::array<std::int32_t, kMaxPairs>, kMaxColumns> wordPairs{};
    std::array<int, kMaxColumns> firstPair{};
    // Decoding in one step instead of Garner's digits (distinct moduli only).
    RecombinationTables recombination;
    // Encoding short blocks one to a lane.
    SmallBlockFactors smallBlocks;
};

}  // namespace kiv
