#pragma once

// The residue steps of Avx2Residues.h in 512-bit registers (AVX-512 F, BW, VL and VNNI), with
// exactly their results: the same tables, the same sums, the same quotients. Encoding codes two
// blocks per register, each half holding the AVX2 lanes of one block; decoding holds one block
// per lane, 16 per register. VNNI's multiply-add into a sum does in one instruction what takes
// two in AVX2; processors with AVX-512 but without it (the first ones) gain little over AVX2 and
// keep the AVX2 kernels. Every function carries the avx512 target attribute and may be called
// only from code that has checked the processor (Available()).
//
// IFMA is left out on purpose: its 52-bit products fill 8 lanes per register where the 16-bit
// multiply-adds below fill 32 products, and no sum here comes near 52 bits.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "residue/internal/Avx2Residues.h"

#ifdef KIV_HAVE_AVX2_RESIDUES
#define KIV_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vnni")))
#define KIV_HAVE_AVX512_RESIDUES 1
#endif

namespace kiv::avx512 {

#ifdef KIV_HAVE_AVX512_RESIDUES

inline constexpr std::size_t kLanes = 16;

inline bool Available() {
    // libgcc also checks that the system saves the 512-bit registers.
    static const bool available = __builtin_cpu_supports("avx512f") &&
                                  __builtin_cpu_supports("avx512bw") &&
                                  __builtin_cpu_supports("avx512vl") &&
                                  __builtin_cpu_supports("avx512vnni") && avx2::Available();
    return available;
}

// sum + a x b in pairs of 16-bit lanes, as _mm512_add_epi32(sum, _mm512_madd_epi16(a, b)) (both
// wrap modulo 2^32), in one instruction.
KIV_AVX512 inline __m512i MulAdd(__m512i sum, __m512i a, __m512i b) {
    return _mm512_dpwssd_epi32(sum, a, b);
}

// avx2::Remainder in 16 lanes, one step shorter: v and v + 0.5 are exact floats below 2^22, and
// so is reciprocal / 2, so v x reciprocal + reciprocal / 2 rounded once is the rounded product
// (v + 0.5) x reciprocal of avx2::Remainder, and the quotients are the same.
KIV_AVX512 inline __m512i Remainder(__m512i v, __m512 reciprocal, __m512i modulus) {
    const __m512 half = _mm512_mul_ps(reciprocal, _mm512_set1_ps(0.5f));
    const __m512i q = _mm512_cvttps_epi32(_mm512_fmadd_ps(_mm512_cvtepi32_ps(v), reciprocal, half));
    return _mm512_sub_epi32(v, _mm512_mullo_epi32(q, modulus));
}

// Eight 32-bit table lanes in both halves of a register.
KIV_AVX512 inline __m512i Both(const std::int32_t* p) {
    return _mm512_broadcast_i64x4(_mm256_load_si256(reinterpret_cast<const __m256i*>(p)));
}

KIV_AVX512 inline __m512 Both(const float* p) {
    return _mm512_castsi512_ps(_mm512_broadcast_i64x4(_mm256_castps_si256(_mm256_load_ps(p))));
}

// The byte offsets of kRegs x 16 rows of rowBytes bytes, rows 16h..16h+15 in offset[h]: the
// indexes of the gathers and scatters that take one row to a lane.
template <int kRegs>
KIV_AVX512 inline void RowOffsets(int rowBytes, __m512i* offset) {
    const __m512i stride =
        _mm512_mullo_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                           _mm512_set1_epi32(rowBytes));
    for (int h = 0; h < kRegs; ++h)
        offset[h] = _mm512_add_epi32(stride, _mm512_set1_epi32(16 * h * rowBytes));
}

// avx2::EncodeResidues with the same reach: loads 32 bytes from a block's start, stores of
// 8 x kRegs bytes from a row's start (32 for 3 or 4 registers, 40 for 5), a block's stores
// before the next one's.
template <int kRegs, ResidueLayout Tables>
KIV_AVX512 void EncodeResidues(const Tables& t, const std::uint8_t* in, std::size_t count,
                               std::uint8_t* out, std::size_t outStride) {
    const auto length = static_cast<std::size_t>(t.blockLength);
    const int dwords = (t.blockLength + 3) / 4;
    const __m512i mask = _mm512_broadcast_i64x4(
        _mm256_load_si256(reinterpret_cast<const __m256i*>(t.byteMask.data())));
    const __m512i flip = _mm512_set1_epi16(static_cast<short>(0x8000));
    const __m512i lowHalf = _mm512_set1_epi32(0xffff);
    // Dword u of the lower block in the lower half, of the upper block in the upper half.
    const __m512i halves = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 8, 8, 8, 8, 8, 8, 8, 8);
    __m512i modulus[kRegs], bias[kRegs], fold[kRegs];
    __m512 reciprocal[kRegs];
#pragma GCC unroll 8
    for (int r = 0; r < kRegs; ++r) {
        modulus[r] = Both(&t.modulus[8 * r]);
        bias[r] = Both(&t.wordBias[8 * r]);
        fold[r] = Both(&t.fold[8 * r]);
        reciprocal[r] = Both(&t.reciprocal[8 * r]);
    }
    std::size_t b = 0;
    for (; b + 2 <= count; b += 2, in += 2 * length, out += 2 * outStride) {
        const __m512i bytes = _mm512_inserti64x4(
            _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + length)), 1);
        const __m512i words = _mm512_xor_si512(_mm512_and_si512(bytes, mask), flip);
        __m512i sum[kRegs];
#pragma GCC unroll 8
        for (int r = 0; r < kRegs; ++r)
            sum[r] = bias[r];
#pragma GCC unroll 6
        for (int u = 0; u < dwords; ++u) {
            const __m512i pair =
                _mm512_permutexvar_epi32(_mm512_add_epi32(halves, _mm512_set1_epi32(u)), words);
#pragma GCC unroll 8
            for (int r = 0; r < kRegs; ++r) {
                sum[r] = MulAdd(sum[r], pair, Both(&t.wordPowers[u][8 * r]));
            }
        }
        // Each register's bytes: the lower block's 8 in the low quadword, the upper block's in
        // the high one.
        __m128i packed[kRegs];
#pragma GCC unroll 8
        for (int r = 0; r < kRegs; ++r) {
            sum[r] =
                MulAdd(_mm512_and_si512(sum[r], lowHalf), _mm512_srli_epi32(sum[r], 16), fold[r]);
            packed[r] = _mm512_cvtepi32_epi8(Remainder(sum[r], reciprocal[r], modulus[r]));
        }
        std::uint8_t* row = out;
        for (int half = 0; half < 2; ++half, row += outStride) {
            [[maybe_unused]] const auto quad = [&](int r) {
                return half == 0 ? packed[r] : _mm_unpackhi_epi64(packed[r], packed[r]);
            };
            [[maybe_unused]] const auto two = [&](int r) {
                const __m128i second =
                    r + 1 < kRegs ? packed[(r + 1) % kRegs] : _mm_setzero_si128();
                return half == 0 ? _mm_unpacklo_epi64(packed[r], second)
                                 : _mm_unpackhi_epi64(packed[r], second);
            };
            if constexpr (kRegs == 1) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(row), quad(0));
            } else {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row), two(0));
                if constexpr (kRegs >= 3)
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 16), two(2));
                if constexpr (kRegs == 5)
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(row + 32), quad(4 % kRegs));
            }
        }
    }
    if (b < count) avx2::EncodeResidues<kRegs>(t, in, count - b, out, outStride);
}

// avx2::DecodeGroups with 16 lanes: groups of kRegs x 16 blocks of Value residues (bytes or
// 16-bit values below 2^12, residues of them per block) into blocks of L bytes, and, with
// kCountZeros, the number of zero mixed-radix digits of each block into zeros. Gathers may read
// 3 bytes past a group's last block and stores may write 3 bytes past it.
// The blocks' words after decoding: word w of block 16h + i in word[h][w][i].
template <int kRegs, ResidueLayout Tables>
using DecodedWords = std::uint32_t[kRegs][(Tables::kMaxBlock + 3) / 4][kLanes];

// Writes a group's decoded words out as its blocks of L bytes, one scatter per word and register.
// A block's last word spills into the next block, which must overwrite it: scatters write their
// lanes in order, and each block's first word goes after the words of the blocks before it
// (registers in order, a register's words from the last one).
struct ScatterWords {
    template <int kRegs, ResidueLayout Tables>
    KIV_AVX512 void operator()(const Tables& t, const DecodedWords<kRegs, Tables>& word,
                               std::uint8_t* out) const {
        const int length = t.blockLength;
        __m512i offset[kRegs];
        RowOffsets<kRegs>(length, offset);
        for (int h = 0; h < kRegs; ++h) {
            for (int w = (length + 3) / 4 - 1; w >= 0; --w)
                _mm512_i32scatter_epi32(out + 4 * w, offset[h], _mm512_load_si512(word[h][w]), 1);
        }
    }
};

template <int kRegs, bool kCountZeros, class Value, ResidueLayout Tables, class Sink = ScatterWords>
KIV_AVX512 void DecodeGroups(const Tables& t, int residues, const Value* in, std::size_t groups,
                             std::uint8_t* out, std::uint8_t* zeros, const Sink& sink = {}) {
    static_assert(sizeof(Value) == 1 || sizeof(Value) == 2);
    constexpr std::size_t kGroup = kRegs * kLanes;
    constexpr int kPerGather = 4 / sizeof(Value);
    constexpr int kBits = 8 * sizeof(Value);
    const int length = t.blockLength;
    const int pairs = (residues + 1) / 2;
    const int columns = (length + 1) / 2;
    const auto rowBytes = static_cast<int>(sizeof(Value)) * residues;
    // The gathers' offsets of the residue rows.
    __m512i offset[kRegs];
    RowOffsets<kRegs>(rowBytes, offset);
    const __m512i valueMask = _mm512_set1_epi32((1 << kBits) - 1);
    // Digits 2q and 2q+1 of each block, as the two 16-bit halves of its lane.
    __m512i pair[Tables::kMaxPairs][kRegs];
    alignas(64) DecodedWords<kRegs, Tables> word;

    for (std::size_t g = 0; g < groups; ++g) {
        __m512i raw[kRegs] = {};
        __m512i zeroCount[kRegs] = {};
        for (int i = 0; i < residues; ++i) {
            if (i % kPerGather == 0) {
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    raw[h] = _mm512_i32gather_epi32(offset[h], in + i, 1);
            }
            const __m512i inverse = _mm512_set1_epi32(static_cast<std::int32_t>(t.inverse[i]));
            __m512i sum[kRegs];
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                sum[h] = _mm512_madd_epi16(_mm512_and_si512(raw[h], valueMask), inverse);
                raw[h] = _mm512_srli_epi32(raw[h], kBits);
            }
            // The pair holding the newest digit comes last, so the sums of the older ones are
            // ready before it is. No unroll request: the count varies (see avx2::DecodeGroups).
            const auto& factors = t.garnerPairs[i];
            for (int q = 0; q < (i + 1) / 2; ++q) {
                const __m512i factor = _mm512_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    sum[h] = MulAdd(sum[h], pair[q][h], factor);
            }
            const __m512 reciprocal = _mm512_set1_ps(t.reciprocal[i]);
            const __m512i modulus = _mm512_set1_epi32(t.modulus[i]);
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                const __m512i digit = Remainder(sum[h], reciprocal, modulus);
                if constexpr (kCountZeros) {
                    zeroCount[h] = _mm512_mask_add_epi32(
                        zeroCount[h], _mm512_cmpeq_epi32_mask(digit, _mm512_setzero_si512()),
                        zeroCount[h], _mm512_set1_epi32(1));
                }
                pair[i / 2][h] =
                    i % 2 == 0 ? digit
                               : _mm512_or_si512(pair[i / 2][h], _mm512_slli_epi32(digit, 16));
            }
        }
        // An odd count leaves the last pair's high digit 0, as the factors expect.

        // Columns of 16 bits, signed: their carries shift arithmetically. Two make a word.
        __m512i carry[kRegs] = {};
        __m512i low[kRegs] = {};
        for (int j = 0; j < columns; ++j) {
            __m512i column[kRegs] = {};
            const auto& factors = t.wordPairs[j];
#pragma GCC unroll 4
            for (int q = t.firstPair[j]; q < pairs; ++q) {
                const __m512i factor = _mm512_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kRegs; ++h)
                    column[h] = MulAdd(column[h], pair[q][h], factor);
            }
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h) {
                column[h] = _mm512_add_epi32(column[h], carry[h]);
                carry[h] = _mm512_srai_epi32(column[h], 16);
                if (j % 2 == 0) {
                    low[h] = column[h];
                } else {
                    low[h] = _mm512_mask_blend_epi16(0xaaaaaaaau, low[h],
                                                     _mm512_slli_epi32(column[h], 16));
                }
                if (j % 2 == 1 || j == columns - 1) _mm512_store_si512(word[h][j / 2], low[h]);
            }
        }
        sink.template operator()<kRegs>(t, word, out);
        if constexpr (kCountZeros) {
#pragma GCC unroll 8
            for (int h = 0; h < kRegs; ++h)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(zeros + 16 * h),
                                 _mm512_cvtepi32_epi8(zeroCount[h]));
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

}  // namespace kiv::avx512
