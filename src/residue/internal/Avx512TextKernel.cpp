#include "residue/internal/Avx512TextKernel.h"

#include <algorithm>
#include <cstring>

#include "residue/internal/Avx512Residues.h"

namespace kiv {

#ifdef KIV_HAVE_AVX512_RESIDUES

namespace {

using avx512::kLanes;

// Bits set for the bytes from first to last (bytes of 128 and more compare above them).
KIV_AVX512 inline __mmask64 Between(__m512i c, char first, char last) {
    return _mm512_mask_cmple_epu8_mask(_mm512_cmpge_epu8_mask(c, _mm512_set1_epi8(first)), c,
                                       _mm512_set1_epi8(last));
}

// Decodes groups of kRegs x 16 blocks whose gathers may read 2 values past the group's last
// block and whose stores may write 3 bytes past it.
template <int kRegs>
void DecodeGroups(const TextBlockTables& t, const std::uint16_t* in, std::size_t groups,
                  std::uint8_t* out, std::uint8_t* zeros) {
    avx512::DecodeGroups<kRegs, true>(t, t.residues, in, groups, out, zeros);
}

// The last count < kRegs x 16 blocks, through buffers that hold the gathers' and stores' reach.
template <int kRegs>
void DecodeTail(const TextBlockTables& t, const std::uint16_t* in, std::size_t count,
                std::uint8_t* out, std::uint8_t* zeros) {
    constexpr std::size_t kGroup = kRegs * kLanes;
    const auto moduli = static_cast<std::size_t>(t.residues);
    const auto length = static_cast<std::size_t>(t.blockLength);
    std::uint16_t values[kGroup * TextBlockTables::kMaxModuli + 2] = {};
    std::uint8_t bytes[kGroup * TextBlockTables::kMaxBlock + 4];
    std::uint8_t counts[kGroup];
    std::memcpy(values, in, count * moduli * sizeof(std::uint16_t));
    DecodeGroups<kRegs>(t, values, 1, bytes, counts);
    std::memcpy(out, bytes, count * length);
    std::memcpy(zeros, counts, count);
}

// The noise of Avx2TextKernel::Noise for keys of at most 8 moduli, four blocks to a register:
// each 128-bit quarter holds one stream's block in its 8 16-bit lanes, so one pass of the noise
// steps serves four streams where the 256-bit code fills 7 of 16 lanes with one block.
constexpr int kQuarterModuli = 8;
// Streams pay off once each has this many blocks of its own (as in the 256-bit code).
constexpr std::size_t kStreamBlocks = 16;

// The characters of digits 0..60 in bytes: "0"-"9", "A"-"Z", "a"-"y".
KIV_AVX512 inline __m512i DigitCharacters(__m512i d) {
    const __m512i seven =
        _mm512_maskz_mov_epi8(_mm512_cmpgt_epu8_mask(d, _mm512_set1_epi8(9)), _mm512_set1_epi8(7));
    const __m512i shifted = _mm512_mask_add_epi8(_mm512_add_epi8(d, seven),
                                                 _mm512_cmpgt_epu8_mask(d, _mm512_set1_epi8(35)),
                                                 _mm512_add_epi8(d, seven), _mm512_set1_epi8(6));
    return _mm512_add_epi8(shifted, _mm512_set1_epi8('0'));
}

// An 8-lane row of the tables in every quarter of a register.
KIV_AVX512 inline __m512i Quarters(const std::uint16_t* row) {
    return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)));
}

template <int kRegs>
struct QuarterNoise {
    static constexpr int kStreams = 4 * kRegs;

    KIV_AVX512 QuarterNoise(const TextBlockTables& t, const std::uint16_t* baseRow,
                            std::uint32_t fixedChain)
        : fixed(_mm512_set1_epi16(static_cast<short>(fixedChain))),
          base(Quarters(baseRow)),
          m(Quarters(t.noiseModulus.data())),
          m19(Quarters(t.noiseModulus19.data())),
          last(_mm512_movepi16_mask(Quarters(t.noiseLastLanes.data()))) {}

    // One block of each stream: the chain of stream s in quarter s % 4 of chain[s / 4], the
    // block's residues (16-bit) in the same quarter of residue[s / 4]. Returns the characters,
    // stream s's 16 in quarter s % 4 of register s / 4.
    KIV_AVX512 void Step(__m512i* chain, const __m512i* residue, __m512i* chars) const {
#pragma GCC unroll 4
        for (int r = 0; r < kRegs; ++r) {
            // Lane k takes the chain of lane k + 1 of the stream's previous block; the last
            // modulus takes the fixed entry.
            const __m512i c =
                _mm512_mask_blend_epi16(last, _mm512_bsrli_epi128(chain[r], 2), fixed);
            __m512i r71 = _mm512_add_epi16(base, c);  // below 71 + 62
            r71 = _mm512_min_epu16(r71, _mm512_sub_epi16(r71, _mm512_set1_epi16(71)));
            const __m512i x = _mm512_add_epi16(_mm512_mullo_epi16(m19, r71), c);  // at most 1321
            // x / 19 = x x 3450 / 2^16 and v / 61 = v x 34380 / 2^21, exact over these ranges.
            const __m512i u = _mm512_sub_epi16(
                x, _mm512_mullo_epi16(_mm512_mulhi_epu16(x, _mm512_set1_epi16(3450)),
                                      _mm512_set1_epi16(19)));
            const __m512i v = _mm512_add_epi16(_mm512_mullo_epi16(m, u), residue[r]);  // <= 3438
            const __m512i high = _mm512_srli_epi16(
                _mm512_mulhi_epu16(v, _mm512_set1_epi16(static_cast<short>(34380))), 5);
            // The low digit in the low byte and the high one above it: v - 61 high + 256 high.
            const __m512i digits =
                _mm512_add_epi16(v, _mm512_mullo_epi16(high, _mm512_set1_epi16(195)));
            chars[r] = DigitCharacters(digits);
            chain[r] = _mm512_add_epi16(_mm512_and_si512(digits, _mm512_set1_epi16(0xff)),
                                        _mm512_set1_epi16(1));
        }
    }

    __m512i fixed, base, m, m19;
    __mmask32 last;
};

KIV_AVX512 inline __m128i Quarter(__m512i x, int q) {
    switch (q) {
        case 0:
            return _mm512_castsi512_si128(x);
        case 1:
            return _mm512_extracti32x4_epi32(x, 1);
        case 2:
            return _mm512_extracti32x4_epi32(x, 2);
        default:
            return _mm512_extracti32x4_epi32(x, 3);
    }
}

// As the 256-bit code's streams: stream s > 0 starts n - 2 blocks before its first own block
// from any chain values, and those blocks' characters are thrown away. Stream s takes the
// blocks from s x span on, span = steps - (n - 2), so that its first n - 2 are the previous
// stream's last ones.
template <int kRegs>
KIV_AVX512 void QuarterStreams(const TextBlockTables& t, const std::uint16_t* baseRow,
                               const std::uint8_t* residues, std::size_t count,
                               std::uint32_t* chainRow, char* out, const std::uint32_t* at) {
    static_assert(kRegs == 2 || kRegs == 4);
    constexpr int kStreams = QuarterNoise<kRegs>::kStreams;
    const int moduli = t.residues;
    const auto chars = 2 * static_cast<std::size_t>(moduli);
    const QuarterNoise<kRegs> step(t, baseRow, chainRow[moduli]);
    const auto warm = static_cast<std::size_t>(moduli - 1);
    const std::size_t steps = (count + (kStreams - 1) * warm) / kStreams;
    const std::size_t span = steps - warm;
    // The residue rows of eight streams' blocks, 32 x span bytes apart, in one gather.
    const auto row = static_cast<long long>(32 * span);
    const __m512i rowOffsets =
        _mm512_setr_epi64(0, row, 2 * row, 3 * row, 4 * row, 5 * row, 6 * row, 7 * row);
    alignas(16) std::uint16_t start[kQuarterModuli] = {};
    for (int k = 0; k < moduli; ++k)
        start[k] = static_cast<std::uint16_t>(chainRow[k]);
    __m512i chain[kRegs];
    for (int r = 0; r < kRegs; ++r)
        chain[r] = _mm512_setzero_si512();
    chain[0] = _mm512_castsi128_si512(_mm_load_si128(reinterpret_cast<const __m128i*>(start)));
    // A block's 16-byte store reaches over the blocks after it: a stream's last blocks go
    // through the scratch, so that they leave the next stream's first ones alone.
    const std::size_t late = std::min(steps, (16 + chars - 1) / chars);
    alignas(16) char scratch[16];
    __m512i text[kRegs], residue[kRegs];
    for (std::size_t i = 0; i < steps; ++i) {
#pragma GCC unroll 2
        for (int g = 0; g < kRegs / 2; ++g) {
            const __m512i rows =
                _mm512_i64gather_epi64(rowOffsets, residues + 32 * (i + 8 * g * span), 1);
            residue[2 * g] = _mm512_cvtepu8_epi16(_mm512_castsi512_si256(rows));
            residue[2 * g + 1] = _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(rows, 1));
        }
        step.Step(chain, residue, text);
        const bool warming = i < warm, ending = i >= steps - late;
        const std::uint32_t* atRow = at + i;
#pragma GCC unroll 16
        for (int s = 0; s < kStreams; ++s) {
            if (s > 0 && warming) continue;
            const __m128i part = Quarter(text[s / 4], s % 4);
            char* to = out + atRow[s * span];
            if (ending) {
                _mm_store_si128(reinterpret_cast<__m128i*>(scratch), part);
                std::memcpy(to, scratch, chars);
            } else {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(to), part);
            }
        }
    }
    // The last stream's chain goes on, one block at a time, to the end.
    const QuarterNoise<1> single(t, baseRow, chainRow[moduli]);
    __m512i one[1] = {_mm512_castsi128_si512(Quarter(chain[kRegs - 1], 3))};
    for (std::size_t b = (kStreams - 1) * span + steps; b < count; ++b) {
        const __m512i row[1] = {_mm512_cvtepu8_epi16(_mm256_castsi128_si256(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(residues + 32 * b))))};
        __m512i c[1];
        single.Step(one, row, c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at[b]), _mm512_castsi512_si128(c[0]));
    }
    alignas(16) std::uint16_t end[kQuarterModuli];
    _mm_store_si128(reinterpret_cast<__m128i*>(end), _mm512_castsi512_si128(one[0]));
    for (int k = 0; k < moduli; ++k)
        chainRow[k] = end[k];
}

}  // namespace

void Avx512TextKernel::Residues(const TextBlockTables& tables, const std::uint8_t* text,
                                std::size_t count, std::uint8_t* residues) {
    switch ((tables.residues + 7) / 8) {
        case 1:
            return avx512::EncodeResidues<1>(tables, text, count, residues, 32);
        case 2:
            return avx512::EncodeResidues<2>(tables, text, count, residues, 32);
        case 3:
            return avx512::EncodeResidues<3>(tables, text, count, residues, 32);
        default:
            return avx512::EncodeResidues<4>(tables, text, count, residues, 32);
    }
}

bool Avx512TextKernel::Noise(const TextBlockTables& tables, const std::uint16_t* base,
                             const std::uint8_t* residues, std::size_t count, std::uint32_t* chain,
                             char* out, const std::uint32_t* at) {
    const auto warm = static_cast<std::size_t>(tables.residues - 1);
    const auto enough = [&](std::size_t streams) {
        return count >= streams * (warm + kStreamBlocks);
    };
    if (tables.residues <= kQuarterModuli) {
        if (enough(16)) {
            QuarterStreams<4>(tables, base, residues, count, chain, out, at);
            return true;
        }
        if (enough(8)) {
            QuarterStreams<2>(tables, base, residues, count, chain, out, at);
            return true;
        }
    }
    return false;
}

KIV_AVX512 bool Avx512TextKernel::PairValues(const TextBlockTables&, const char* chars,
                                             std::size_t pairs, std::uint16_t* values) {
    // Low digit x 1 + high digit x 61 in each 16-bit lane.
    const __m512i weights = _mm512_set1_epi16(static_cast<short>(1 | 61 << 8));
    for (std::size_t p = 0; p < pairs; p += 32) {
        // The last pairs through masks: masked-off bytes are neither read nor written.
        const std::size_t n = std::min<std::size_t>(32, pairs - p);
        const __mmask32 lanes = n == 32 ? ~__mmask32{0} : (__mmask32{1} << n) - 1;
        const __mmask64 bytes = n == 32 ? ~__mmask64{0} : (__mmask64{1} << (2 * n)) - 1;
        const __m512i c = _mm512_maskz_loadu_epi8(bytes, chars + 2 * p);
        const __mmask64 lower = Between(c, 'a', 'z');
        const __mmask64 letter = Between(c, 'A', 'Z') | lower;
        if (((Between(c, '0', '9') | letter) & bytes) != bytes) return false;
        __m512i digit = _mm512_sub_epi8(c, _mm512_set1_epi8('0'));
        digit = _mm512_mask_sub_epi8(digit, letter, digit, _mm512_set1_epi8(7));
        digit = _mm512_mask_sub_epi8(digit, lower, digit, _mm512_set1_epi8(6));
        _mm512_mask_storeu_epi16(values + p, lanes, _mm512_maddubs_epi16(digit, weights));
    }
    return true;
}

void Avx512TextKernel::Decode(const TextBlockTables& tables, const std::uint16_t* values,
                              std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros) {
    const auto moduli = static_cast<std::size_t>(tables.residues);
    const auto length = static_cast<std::size_t>(tables.blockLength);
    // Four registers of blocks: Garner's digits form a chain of dependent steps per block, and
    // independent chains keep the core busy while one waits.
    constexpr std::size_t kGroup = 4 * kLanes;
    const std::size_t groups = count / kGroup;
    DecodeGroups<4>(tables, values, groups, bytes, zeros);
    const std::size_t done = groups * kGroup;
    const std::size_t rest = count - done;
    if (rest == 0) return;
    values += done * moduli;
    bytes += done * length;
    zeros += done;
    if (rest <= kLanes) {
        DecodeTail<1>(tables, values, rest, bytes, zeros);
    } else if (rest <= 2 * kLanes) {
        DecodeTail<2>(tables, values, rest, bytes, zeros);
    } else {
        DecodeTail<4>(tables, values, rest, bytes, zeros);
    }
}

#endif

}  // namespace kiv
