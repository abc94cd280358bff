#pragma once

#include <array>
#include <concepts>
#include <cstdint>

namespace kiv {

// A key's numbers as every block coder reads them, texts' and files' alike, computed once per
// key: the moduli with their division-free remainders, Garner's weights and inverses, and the
// same numbers laid out for the vector kernels (pairs of 16-bit factors in 32-bit lanes, rows
// padded to whole registers of 8 lanes). Unused lanes have modulus 1 and zero factors, so they
// come out 0. The text and file tables extend it with what only their own coders read.
// Read-only after construction, so any number of threads may code blocks with one instance.
struct VectorLayout {
    static constexpr int kMaxResidues = 40;  // d - 1 <= 36 for files, padded to 5 registers
    static constexpr int kMaxBlock = 24;
    static constexpr int kMaxPairs = kMaxResidues / 2;
    static constexpr int kMaxDwords = kMaxBlock / 4;
    static constexpr int kMaxColumns = kMaxBlock / 2;

    struct Modulus {
        std::uint32_t value = 1;
        std::uint64_t magic = 0;  // for a division-free remainder of any 32-bit value
        std::uint32_t Reduce(std::uint32_t x) const {
            const std::uint64_t low = magic * x;
            return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * value) >> 64);
        }
    };

    // The vector kernels' sums stay below 2^22, where a float reciprocal gives exact remainders,
    // as long as no modulus exceeds this (the file runs' primes are at most 241, the texts' 181).
    static constexpr std::int32_t kVectorModulusLimit = 263;

    // moduli: the block's residues moduli, each at least 1 (a modulus 1 has the residue and the
    // digit 0), at most kMaxResidues of them; blockLength: L, 1..kMaxBlock, and no more than
    // residues. distinct: whether the moduli are pairwise coprime, which Garner's weights and
    // inverses need (they are left 0 otherwise). The callers check the geometry.
    VectorLayout(const std::int32_t* moduli, int residues, int blockLength, bool distinct);

    int blockLength;
    int residues;
    bool distinct;
    bool vectorFit = true;  // every modulus within kVectorModulusLimit

    std::array<Modulus, kMaxResidues> moduli{};
    // weight[i][k] = product of moduli 0..k-1 mod modulus i, for k <= i; inverse[i] inverts
    // weight[i][i] (0 for a modulus 1, whose digit is always 0).
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxResidues> weight{};
    std::array<std::uint32_t, kMaxResidues> inverse{};

    // The vector layout.
    alignas(32) std::array<std::int32_t, kMaxResidues> modulus{};
    alignas(32) std::array<float, kMaxResidues> reciprocal{};
    // Encoding reads the block as 16-bit words w (2 bytes each, little-endian), two words per
    // 32-bit lane. wordPowers[u][k] = 65536^(2u) | 65536^(2u+1) << 16, both mod modulus k: the
    // factors of words 2u and 2u+1; 0 beyond the block. The multiply-add is signed, so the
    // words enter as w - 32768 and wordBias[k] = 32768 x (sum of all factors) is added back.
    alignas(32) std::array<std::array<std::int32_t, kMaxResidues>, kMaxDwords> wordPowers{};
    alignas(32) std::array<std::int32_t, kMaxResidues> wordBias{};
    // 65536 mod modulus k, to fold a sum below 2^28 into one below 2^22.
    alignas(32) std::array<std::int32_t, kMaxResidues> fold{};
    // The block's bytes: 0xff for its L bytes, 0 after them, over one 32-byte load.
    alignas(32) std::array<std::uint8_t, 32> byteMask{};
    // Garner's digit i in one sum of non-negative terms: inverse[i] x residue i plus, for every
    // earlier digit k, digit k x (-inverse[i] x weight[i][k] mod modulus i). The factors of
    // digits 2q and 2q+1 share one pair; factors of digits not yet known are 0.
    std::array<std::array<std::int32_t, kMaxPairs>, kMaxResidues> garnerPairs{};
    // The block from its mixed-radix digits, one 16-bit column at a time: column j is the sum
    // over digits i of digit i x word j of (product of moduli 0..i-1 mod 2^(16 x columns)), plus
    // the carry. The words are signed (-32768..32767, their carries taken into the next word),
    // so that they fit the signed multiply-add. wordPairs[j][q] holds the words of digits 2q and
    // 2q+1; pairs before firstPair[j] are 0.
    std::array<std::array<std::int32_t, kMaxPairs>, kMaxColumns> wordPairs{};
    std::array<int, kMaxColumns> firstPair{};
};

// What the vector residue steps (Avx2Residues.h, Avx512Residues.h) read of a key's tables: the
// layout's rows, and the bounds their scratch is sized by. The rows they load whole (modulus,
// reciprocal, wordPowers, wordBias, fold, byteMask) must also be 32-byte aligned, as
// VectorLayout lays them out; a table type that satisfies this by deriving from VectorLayout
// may set tighter bounds of its own.
template <class T>
concept ResidueLayout = requires(const T& t, int i) {
    { T::kMaxBlock } -> std::convertible_to<int>;
    { T::kMaxPairs } -> std::convertible_to<int>;
    { t.blockLength } -> std::convertible_to<int>;
    { t.modulus[i] } -> std::convertible_to<std::int32_t>;
    { t.reciprocal[i] } -> std::convertible_to<float>;
    { t.wordPowers[i][i] } -> std::convertible_to<std::int32_t>;
    { t.wordBias[i] } -> std::convertible_to<std::int32_t>;
    { t.fold[i] } -> std::convertible_to<std::int32_t>;
    { t.byteMask.data() } -> std::convertible_to<const std::uint8_t*>;
    { t.inverse[i] } -> std::convertible_to<std::uint32_t>;
    { t.garnerPairs[i][i] } -> std::convertible_to<std::int32_t>;
    { t.wordPairs[i][i] } -> std::convertible_to<std::int32_t>;
    { t.firstPair[i] } -> std::convertible_to<int>;
};

static_assert(ResidueLayout<VectorLayout>);

}  // namespace kiv
