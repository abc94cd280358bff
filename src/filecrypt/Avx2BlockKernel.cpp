#include "filecrypt/Avx2BlockKernel.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KIV_AVX2 __attribute__((target("avx2")))
#define KIV_HAVE_AVX2_KERNEL 1
#endif

namespace kiv {

#ifdef KIV_HAVE_AVX2_KERNEL

namespace {

constexpr std::size_t kLanes = 8;
// Four registers of blocks per pass: Garner's digits form a chain of dependent steps per block,
// and independent chains keep the core busy while one waits.
constexpr int kDecodeRegisters = 4;
constexpr std::size_t kDecodeGroup = kDecodeRegisters * kLanes;
constexpr int kMaxWords = BlockTables::kMaxBlock / 4;
// How far a block's coding may load or store past the block: 32-byte loads of its bytes, up to
// 40 bytes of residues stored at once, 4-byte gathers and stores.
constexpr std::size_t kSlack = 40;
// Tails are coded in local buffers of this many blocks, so that no load or store leaves the
// caller's buffers.
constexpr std::size_t kTailBlocks = 2 * kDecodeGroup;

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

// Packs the low bytes of up to four registers into 32 bytes, in lane order.
KIV_AVX2 inline __m256i PackBytes(__m256i a, __m256i b, __m256i c, __m256i d) {
    const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(a, b), _mm256_packus_epi32(c, d));
    return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// Encodes count blocks whose loads may reach 32 bytes past a block's start and whose stores
// 8 x kRegs bytes past its residues' start.
template <int kRegs>
KIV_AVX2 void EncodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t count,
                              std::uint8_t* out) {
    const auto length = static_cast<std::size_t>(t.blockLength);
    const auto residues = static_cast<std::size_t>(t.residues);
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
    for (std::size_t b = 0; b < count; ++b, in += length, out += residues) {
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

// Decodes groups of 32 blocks whose gathers may read, and whose stores may write, 3 bytes past
// the group's last block.
KIV_AVX2 void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                              std::uint8_t* out) {
    const int length = t.blockLength;
    const int residues = t.residues;
    const int pairs = (residues + 1) / 2;
    const int columns = (length + 1) / 2;
    const int words = (length + 3) / 4;
    const __m256i stride =
        _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(residues));
    __m256i offset[kDecodeRegisters];
    for (int h = 0; h < kDecodeRegisters; ++h)
        offset[h] = _mm256_add_epi32(stride, _mm256_set1_epi32(8 * h * residues));
    const __m256i byteMask = _mm256_set1_epi32(0xff);
    // Digits 2q and 2q+1 of each block, as the two 16-bit halves of its lane.
    __m256i pair[BlockTables::kMaxPairs][kDecodeRegisters];
    alignas(32) std::uint32_t word[kDecodeRegisters][kMaxWords][kLanes];

    for (std::size_t g = 0; g < groups; ++g) {
        __m256i raw[kDecodeRegisters] = {};
        for (int i = 0; i < residues; ++i) {
            if (i % 4 == 0) {
#pragma GCC unroll 8
                for (int h = 0; h < kDecodeRegisters; ++h) {
                    raw[h] =
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(in + i), offset[h], 1);
                }
            }
            const __m256i inverse = _mm256_set1_epi32(static_cast<std::int32_t>(t.inverse[i]));
            __m256i sum[kDecodeRegisters];
#pragma GCC unroll 8
            for (int h = 0; h < kDecodeRegisters; ++h) {
                sum[h] = _mm256_madd_epi16(_mm256_and_si256(raw[h], byteMask), inverse);
                raw[h] = _mm256_srli_epi32(raw[h], 8);
            }
            // The pair holding the newest digit comes last, so the sums of the older ones are
            // ready before it is.
            const auto& factors = t.garnerPairs[i];
#pragma GCC unroll 4
            for (int q = 0; q < (i + 1) / 2; ++q) {
                const __m256i factor = _mm256_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kDecodeRegisters; ++h) {
                    sum[h] = _mm256_add_epi32(sum[h], _mm256_madd_epi16(pair[q][h], factor));
                }
            }
            const __m256 reciprocal = _mm256_set1_ps(t.reciprocal[i]);
            const __m256i modulus = _mm256_set1_epi32(t.modulus[i]);
#pragma GCC unroll 8
            for (int h = 0; h < kDecodeRegisters; ++h) {
                const __m256i digit = Remainder(sum[h], reciprocal, modulus);
                pair[i / 2][h] =
                    i % 2 == 0 ? digit
                               : _mm256_or_si256(pair[i / 2][h], _mm256_slli_epi32(digit, 16));
            }
        }

        // Columns of 16 bits, signed: their carries shift arithmetically. Two make a word.
        __m256i carry[kDecodeRegisters] = {};
        __m256i low[kDecodeRegisters] = {};
        for (int j = 0; j < columns; ++j) {
            __m256i column[kDecodeRegisters] = {};
            const auto& factors = t.wordPairs[j];
#pragma GCC unroll 4
            for (int q = t.firstPair[j]; q < pairs; ++q) {
                const __m256i factor = _mm256_set1_epi32(factors[q]);
#pragma GCC unroll 8
                for (int h = 0; h < kDecodeRegisters; ++h) {
                    column[h] = _mm256_add_epi32(column[h], _mm256_madd_epi16(pair[q][h], factor));
                }
            }
#pragma GCC unroll 8
            for (int h = 0; h < kDecodeRegisters; ++h) {
                column[h] = _mm256_add_epi32(column[h], carry[h]);
                carry[h] = _mm256_srai_epi32(column[h], 16);
                if (j % 2 == 0) {
                    low[h] = column[h];
                } else {
                    low[h] = _mm256_blend_epi16(low[h], _mm256_slli_epi32(column[h], 16), 0xaa);
                }
                if (j % 2 == 1 || j == columns - 1) {
                    _mm256_store_si256(reinterpret_cast<__m256i*>(word[h][j / 2]), low[h]);
                }
            }
        }
        // In block order: a block's last word spills into the next block, which overwrites it.
        for (std::size_t b = 0; b < kDecodeGroup; ++b) {
            for (int w = 0; w < words; ++w) {
                std::memcpy(
                    out + b * static_cast<std::size_t>(length) + 4 * static_cast<std::size_t>(w),
                    &word[b / kLanes][w][b % kLanes], 4);
            }
        }
        in += kDecodeGroup * static_cast<std::size_t>(residues);
        out += kDecodeGroup * static_cast<std::size_t>(length);
    }
}

template <int kRegs>
void EncodeAll(const BlockTables& t, const std::uint8_t* in, std::size_t count, std::uint8_t* out) {
    const auto length = static_cast<std::size_t>(t.blockLength);
    const auto residues = static_cast<std::size_t>(t.residues);
    const std::size_t reach =
        std::max<std::size_t>((32 + length - 1) / length, (8 * kRegs + residues - 1) / residues);
    const std::size_t direct = count > reach ? count - reach : 0;
    EncodeWithSlack<kRegs>(t, in, direct, out);
    std::uint8_t plain[kTailBlocks * BlockTables::kMaxBlock + kSlack];
    std::uint8_t coded[kTailBlocks * BlockTables::kMaxResidues + kSlack];
    for (std::size_t b = direct; b < count; b += kTailBlocks) {
        const std::size_t n = std::min(kTailBlocks, count - b);
        std::memset(plain, 0, sizeof plain);
        std::memcpy(plain, in + b * length, n * length);
        EncodeWithSlack<kRegs>(t, plain, n, coded);
        std::memcpy(out + b * residues, coded, n * residues);
    }
}

}  // namespace

bool Avx2BlockKernel::Available() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

void Avx2BlockKernel::Encode(const BlockTables& tables, const std::uint8_t* blocks,
                             std::size_t count, std::uint8_t* residues) {
    switch ((tables.residues + 7) / 8) {
        case 1:
            return EncodeAll<1>(tables, blocks, count, residues);
        case 2:
            return EncodeAll<2>(tables, blocks, count, residues);
        case 3:
            return EncodeAll<3>(tables, blocks, count, residues);
        case 4:
            return EncodeAll<4>(tables, blocks, count, residues);
        default:
            return EncodeAll<5>(tables, blocks, count, residues);
    }
}

void Avx2BlockKernel::Decode(const BlockTables& tables, const std::uint8_t* residues,
                             std::size_t count, std::uint8_t* blocks) {
    const auto length = static_cast<std::size_t>(tables.blockLength);
    const auto width = static_cast<std::size_t>(tables.residues);
    // Whole groups followed by enough blocks to take the 3 bytes they may reach past their end.
    const std::size_t spare = (3 + length - 1) / length;
    const std::size_t groups = count > spare ? (count - spare) / kDecodeGroup : 0;
    DecodeWithSlack(tables, residues, groups, blocks);
    std::uint8_t coded[kDecodeGroup * BlockTables::kMaxResidues + kSlack];
    std::uint8_t plain[kDecodeGroup * BlockTables::kMaxBlock + kSlack];
    for (std::size_t b = groups * kDecodeGroup; b < count; b += kDecodeGroup) {
        const std::size_t n = std::min(kDecodeGroup, count - b);
        std::memset(coded, 0, sizeof coded);
        std::memcpy(coded, residues + b * width, n * width);
        DecodeWithSlack(tables, coded, 1, plain);
        std::memcpy(blocks + b * length, plain, n * length);
    }
}

#else

bool Avx2BlockKernel::Available() {
    return false;
}

void Avx2BlockKernel::Encode(const BlockTables&, const std::uint8_t*, std::size_t, std::uint8_t*) {
    throw std::logic_error("no AVX2 on this processor");
}

void Avx2BlockKernel::Decode(const BlockTables&, const std::uint8_t*, std::size_t, std::uint8_t*) {
    throw std::logic_error("no AVX2 on this processor");
}

#endif

}  // namespace kiv
