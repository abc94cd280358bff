#pragma once

// The AVX2 residue steps that the text codec and the file runs' block codec share: a block's
// residues with the moduli in the lanes, and Garner's digits back to the block's bytes with one
// block per lane. Both codecs' tables extend the key's VectorLayout, which the steps read
// (ResidueLayout says what of it). Every function carries the avx2 target attribute and may be
// called only from code that has checked the processor (Available()).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "residue/VectorLayout.h"

#if defined(__x86_64__) || defined(__i386__)
// GCC 12's AVX-512 intrinsics start some results from a self-initialised "undefined" register,
// which its uninitialised-value warnings take for a fault of the code inlining them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop
#define KIV_AVX2 __attribute__((target("avx2")))
#define KIV_HAVE_AVX2_RESIDUES 1
#endif

namespace kiv::avx2 {

#ifdef KIV_HAVE_AVX2_RESIDUES

inline constexpr std::size_t kLanes = 8;

inline bool Available() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

// v mod m for 0 <= v < 2^22 and 1 <= m <= 2^15: (v + 0.5) / m lies at least 0.5 / m away from an
// integer, and the float product errs by less than that, so the truncated quotient is exact.
KIV_AVX2 inline __m256i Remainder(__m256i v, __m256 reciprocal, __m256i modulus) {
    const __m256 x = _mm256_add_ps(_mm256_cvtepi32_ps(v), _mm256_set1_ps(0.5f));
    const __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(x, reciprocal));
    return _mm256_sub_epi32(v, _mm256_mullo_epi32(q, modulus));
}

KIV_AVX2 inline __m256i Load(const std::int32_t* p) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
}

// Packs the low bytes of four registers into 32 bytes, in lane order.
KIV_AVX2 inline __m256i PackBytes(__m256i a, __m256i b, __m256i c, __m256i d) {
    const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(a, b), _mm256_packus_epi32(c, d));
    return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// Residues of count blocks of L bytes, kRegs x 8 moduli in the lanes, into residue rows
// outStride bytes apart. Loads reach 32 bytes past a block's start; stores write 8 x kRegs bytes
// from a row's start (32 for 3 or 4 registers, 40 for 5).
template <int kRegs, ResidueLayout Tables>
KIV_AVX2 void EncodeResidues(const Tables& t, const std::uint8_t* in, std::size_t count,
                             std::uint8_t* out, std::size_t outStride) {
    const auto length = static_cast<std::size_t>(t.blockLength);
    const int dwords = (t.blockLength + 3) / 4;
    const __m256i mask = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.byteMask.data()));
    const __m256i flip = _mm256_set1_epi16(static_cast<short>(0x8000));
    const __m256i lowHalf = _mm256_set1_epi32(0xffff);
    __m256i modulus[kRegs], bias[kRegs], fold[kRegs];
    __m256 reciprocal[kRegs];
#pragma GCC unroll 8
    for (int r = 0; r < kRegs; ++r) {
        modulus[r] = Load(&t.modulus[8 * r]);
        bias[r] = Load(&t.wordBias[8 * r]);
        fold[r] = Load(&t.fold[8 * r]);
        reciprocal[r] = _mm256_load_ps(&t.reciprocal[8 * r]);
    }
    for (std::size_t b = 0; b < count; ++b, in += length, out += outStride) {
        // The block as 16-bit words w - 32768, for the signed multiply-add; two per lane.
        const __m256i words = _mm256_xor_si256(
            _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)), mask), flip);
        __m256i sum[kRegs];
#pragma GCC unroll 8
        for (int r = 0; r < kRegs; ++r)
            sum[r] = bias[r];
#pragma GCC unroll 6
        for (int u = 0; u < dwords; ++u) {
            const __m256i pair = _mm256_permutevar8x32_epi32(words, _mm256_set1_epi32(u));
#pragma GCC unroll 8
            for (int r = 0; r < kRegs; ++r) {
                sum[r] = _mm256_add_epi32(sum[r],
                                          _mm256_madd_epi16(pair, Load(&t.wordPowers[u][8 * r])));
            }
        }
        // Now 0 <= sum < 2^28; folding the bits above 16 with 65536 mod m brings it below 2^22.
#pragma GCC unroll 8
        for (int r = 0; r < kRegs; ++r) {
            sum[r] = _mm256_add_epi32(_mm256_and_si256(sum[r], lowHalf),
                                      _mm256_madd_epi16(_mm256_srli_epi32(sum[r], 16), fold[r]));
            sum[r] = Remainder(sum[r], reciprocal[r], modulus[r]);
        }
        const __m256i zero = _mm256_setzero_si256();
        const __m256i packed =
            PackBytes(sum[0], kRegs > 1 ? sum[1 % kRegs] : zero, kRegs > 2 ? sum[2 % kRegs] : zero,
                      kRegs > 3 ? sum[3 % kRegs] : zero);
        if constexpr (kRegs == 1) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
        } else if constexpr (kRegs == 2) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
        } else {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), packed);
        }
        if constexpr (kRegs == 5) {
            const __m256i fifth = PackBytes(sum[4 % kRegs], zero, zero, zero);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 32), _mm256_castsi256_si128(fifth));
        }
    }
}

// Columns c..c+3 of four bytes of 8 rows rowBytes apart, from at (the first row's byte 4c):
// lane b of column[k] holds bytes 4(c + k)..4(c + k) + 3 of row b. Loads and transposes in place
// of a gather per column, which costs several times as much; reads 16 bytes of each row.
KIV_AVX2 inline void LoadColumns(const std::uint8_t* at, std::size_t rowBytes, __m256i* column) {
    __m256i row[4];
#pragma GCC unroll 4
    for (std::size_t b = 0; b < 4; ++b) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + b * rowBytes));
        const __m128i high =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + (b + 4) * rowBytes));
        row[b] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
    // Rows b and b + 4 share a register, one per half: a 4 x 4 transpose in each half.
    const __m256i t0 = _mm256_unpacklo_epi32(row[0], row[1]);
    const __m256i t1 = _mm256_unpackhi_epi32(row[0], row[1]);
    const __m256i t2 = _mm256_unpacklo_epi32(row[2], row[3]);
    const __m256i t3 = _mm256_unpackhi_epi32(row[2], row[3]);
    column[0] = _mm256_unpacklo_epi64(t0, t2);
    column[1] = _mm256_unpackhi_epi64(t0, t2);
    column[2] = _mm256_unpacklo_epi64(t1, t3);
    column[3] = _mm256_unpackhi_epi64(t1, t3);
}

// Writes 8 blocks of L bytes from their words (lane b of word[w]: bytes 4w..4w+3 of block b),
// in block order, each block's stores spilling into the next one, which overwrites them. Writes
// 16 x ceil(words / 4) bytes from each block's start: less than 16 past the last block.
class BlockStores {
  public:
    static constexpr std::size_t kReach = 16;

    explicit BlockStores(int length) : length_(length), words_((length + 3) / 4) {
        // Blocks of one word: the first L bytes of each lane side by side, in each half.
        alignas(16) std::int8_t index[16];
        for (int k = 0; k < 16; ++k)
            index[k] =
                static_cast<std::int8_t>(k < 4 * length ? 4 * (k / length) + k % length : -1);
        std::memcpy(&pick_, index, sizeof pick_);
    }

    KIV_AVX2 void operator()(const __m256i* word, std::uint8_t* out) const {
        if (words_ == 1) {
            const __m256i packed = _mm256_shuffle_epi8(word[0], _mm256_broadcastsi128_si256(pick_));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * length_),
                             _mm256_extracti128_si256(packed, 1));
            return;
        }
        const __m256i zero = _mm256_setzero_si256();
        __m256i rows[2][4];
        for (int c = 0; c < words_; c += 4) {
            const __m256i w1 = c + 1 < words_ ? word[c + 1] : zero;
            const __m256i w2 = c + 2 < words_ ? word[c + 2] : zero;
            const __m256i w3 = c + 3 < words_ ? word[c + 3] : zero;
            const __m256i t0 = _mm256_unpacklo_epi32(word[c], w1);
            const __m256i t1 = _mm256_unpackhi_epi32(word[c], w1);
            const __m256i t2 = _mm256_unpacklo_epi32(w2, w3);
            const __m256i t3 = _mm256_unpackhi_epi32(w2, w3);
            rows[c / 4][0] = _mm256_unpacklo_epi64(t0, t2);
            rows[c / 4][1] = _mm256_unpackhi_epi64(t0, t2);
            rows[c / 4][2] = _mm256_unpacklo_epi64(t1, t3);
            rows[c / 4][3] = _mm256_unpackhi_epi64(t1, t3);
        }
        for (int b = 0; b < static_cast<int>(kLanes); ++b) {
            for (int c = 0; c < words_; c += 4) {
                const __m256i row = rows[c / 4][b % 4];
                const __m128i half =
                    b < 4 ? _mm256_castsi256_si128(row) : _mm256_extracti128_si256(row, 1);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b * length_ + 4 * c), half);
            }
        }
    }

  private:
    int length_;
    int words_;
    __m128i pick_;
};

inline constexpr std::size_t kDecodeReach = BlockStores::kReach;

// Decodes groups of kRegs x 8 blocks of Value residues (bytes or 16-bit values below 2^12,
// residues of them per block) into blocks of L bytes, and, with kCountZeros, the number of zero
// mixed-radix digits of each block into zeros. Loads may read, and stores may write,
// kDecodeReach bytes past a group's last block.
template <int kRegs, bool kCountZeros, class Value, ResidueLayout Tables>
KIV_AVX2 void DecodeGroups(const Tables& t, int residues, const Value* in, std::size_t groups,
                           std::uint8_t* out, std::uint8_t* zeros) {
    static_assert(sizeof(Value) == 1 || sizeof(Value) == 2);
    constexpr std::size_t kGroup = kRegs * kLanes;
    constexpr int kPerGather = 4 / sizeof(Value);
    constexpr int kBits = 8 * sizeof(Value);
    constexpr int kMaxWords = (Tables::kMaxBlock + 3) / 4;
    const int length = t.blockLength;
    const int pairs = (residues + 1) / 2;
    const int columns = (length + 1) / 2;
    const auto rowBytes = sizeof(Value) * static_cast<std::size_t>(residues);
    const __m256i valueMask = _mm256_set1_epi32((1 << kBits) - 1);
    const BlockStores store(length);
    // Digits 2q and 2q+1 of each block, as the two 16-bit halves of its lane.
    __m256i pair[Tables::kMaxPairs][kRegs];
    __m256i word[kRegs][kMaxWords];
    alignas(32) std::uint32_t zero[kRegs][kLanes];

    for (std::size_t g = 0; g < groups; ++g) {
        const auto* const rows = reinterpret_cast<const std::uint8_t*>(in);
        // Four columns of 4 bytes (kPerGather residues each) at a time.
        __m256i column[kRegs][4];
        __m256i raw[kRegs] = {};
        __m256i zeroCount[kRegs] = {};
        for (int i = 0; i < residues; ++i) {
            if (i % kPerGather == 0) {
                const int c = i / kPerGather;
                if (c % 4 == 0) {
#pragma GCC unroll 8
                    for (int h = 0; h < kRegs; ++h)
                        LoadColumns(rows + 8 * h * rowBytes + 4 * c, rowBytes, column[h]);
                }
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    raw[h] = column[h][c % 4];
            }
            const __m256i inverse = _mm256_set1_epi32(static_cast<std::int32_t>(t.inverse[i]));
            __m256i sum[kRegs];
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                sum[h] = _mm256_madd_epi16(_mm256_and_si256(raw[h], valueMask), inverse);
                raw[h] = _mm256_srli_epi32(raw[h], kBits);
            }
            // The pair holding the newest digit comes last, so the sums of the older ones are
            // ready before it is.
            const auto& factors = t.garnerPairs[i];
            // No unroll request here: its count varies, and under the sanitizers GCC drops
            // such a request with a warning.
            for (int q = 0; q < (i + 1) / 2; ++q) {
                const __m256i factor = _mm256_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    sum[h] = _mm256_add_epi32(sum[h], _mm256_madd_epi16(pair[q][h], factor));
            }
            const __m256 reciprocal = _mm256_set1_ps(t.reciprocal[i]);
            const __m256i modulus = _mm256_set1_epi32(t.modulus[i]);
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                const __m256i digit = Remainder(sum[h], reciprocal, modulus);
                if constexpr (kCountZeros) {
                    zeroCount[h] = _mm256_sub_epi32(
                        zeroCount[h], _mm256_cmpeq_epi32(digit, _mm256_setzero_si256()));
                }
                pair[i / 2][h] =
                    i % 2 == 0 ? digit
                               : _mm256_or_si256(pair[i / 2][h], _mm256_slli_epi32(digit, 16));
            }
        }
        // An odd count leaves the last pair's high digit 0, as the factors expect.

        // Columns of 16 bits, signed: their carries shift arithmetically. Two make a word.
        __m256i carry[kRegs] = {};
        __m256i low[kRegs] = {};
        for (int j = 0; j < columns; ++j) {
            __m256i column[kRegs] = {};
            const auto& factors = t.wordPairs[j];
#pragma GCC unroll 4
            for (int q = t.firstPair[j]; q < pairs; ++q) {
                const __m256i factor = _mm256_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    column[h] = _mm256_add_epi32(column[h], _mm256_madd_epi16(pair[q][h], factor));
            }
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                column[h] = _mm256_add_epi32(column[h], carry[h]);
                carry[h] = _mm256_srai_epi32(column[h], 16);
                if (j % 2 == 0) {
                    low[h] = column[h];
                } else {
                    low[h] = _mm256_blend_epi16(low[h], _mm256_slli_epi32(column[h], 16), 0xaa);
                }
                if (j % 2 == 1 || j == columns - 1) word[h][j / 2] = low[h];
            }
        }
        // In block order: each register's stores spill into the next one's blocks.
        for (int h = 0; h < kRegs; ++h)
            store(word[h], out + 8 * static_cast<std::size_t>(h * length));
        if constexpr (kCountZeros) {
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h)
                _mm256_store_si256(reinterpret_cast<__m256i*>(zero[h]), zeroCount[h]);
            for (std::size_t b = 0; b < kGroup; ++b)
                zeros[b] = static_cast<std::uint8_t>(zero[b / kLanes][b % kLanes]);
            zeros += kGroup;
        }
        in += kGroup * static_cast<std::size_t>(residues);
        out += kGroup * static_cast<std::size_t>(length);
    }
}

#else

inline bool Available() {
    return false;
}

#endif

}  // namespace kiv::avx2
