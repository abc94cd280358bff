#include "residue/internal/Avx2TextKernel.h"

#include <algorithm>
#include <cstring>

#include "residue/internal/Avx2Residues.h"

namespace kiv {

#ifdef KIV_HAVE_AVX2_RESIDUES

namespace {

using avx2::kLanes;

// 0xff in the bytes from first to last (all below 128; bytes of 128 and more compare negative).
KIV_AVX2 inline __m256i Between(__m256i c, char first, char last) {
    return _mm256_and_si256(_mm256_cmpgt_epi8(c, _mm256_set1_epi8(static_cast<char>(first - 1))),
                            _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(last + 1)), c));
}

// The characters of digits 0..60 in bytes: "0"-"9", "A"-"Z", "a"-"y".
KIV_AVX2 inline __m256i DigitCharacters(__m256i d) {
    const __m256i past9 =
        _mm256_and_si256(_mm256_cmpgt_epi8(d, _mm256_set1_epi8(9)), _mm256_set1_epi8(7));
    const __m256i past35 =
        _mm256_and_si256(_mm256_cmpgt_epi8(d, _mm256_set1_epi8(35)), _mm256_set1_epi8(6));
    return _mm256_add_epi8(_mm256_add_epi8(d, _mm256_set1_epi8('0')),
                           _mm256_add_epi8(past9, past35));
}

// Register r of a row of 16-bit lanes.
KIV_AVX2 inline __m256i LoadLanes(const std::uint16_t* row, int r) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(row) + r);
}

// Lane k of the result is lane k + 1 of a (lane 15 is lane 0 of next).
KIV_AVX2 inline __m256i ShiftDown(__m256i a, __m256i next) {
    return _mm256_alignr_epi8(_mm256_permute2x128_si256(a, next, 0x21), a, 2);
}

// One block's noise in 16-bit lanes, modulus k in lane k: t mod 71 from the chain value c,
// u = (m mod 19 x (t mod 71) + c) mod 19, v = m x u + residue, and v's two base-61 digits.
// Returns the next chain values (low digit + 1) and the characters, two per lane.
KIV_AVX2 inline __m256i NoiseLanes(__m256i c, __m256i base, __m256i m, __m256i m19, __m256i residue,
                                   __m256i& characters) {
    __m256i r71 = _mm256_add_epi16(base, c);  // below 71 + 62
    r71 = _mm256_min_epu16(r71, _mm256_sub_epi16(r71, _mm256_set1_epi16(71)));
    const __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(m19, r71), c);  // at most 1321
    // x / 19 = x x 3450 / 2^16 and v / 61 = v x 34380 / 2^21, exact over these ranges.
    const __m256i u = _mm256_sub_epi16(
        x,
        _mm256_mullo_epi16(_mm256_mulhi_epu16(x, _mm256_set1_epi16(3450)), _mm256_set1_epi16(19)));
    const __m256i v = _mm256_add_epi16(_mm256_mullo_epi16(m, u), residue);  // at most 3438
    const __m256i high =
        _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(static_cast<short>(34380))), 5);
    // The low digit in the low byte and the high one above it: v - 61 high + 256 high.
    const __m256i digits = _mm256_add_epi16(v, _mm256_mullo_epi16(high, _mm256_set1_epi16(195)));
    characters = DigitCharacters(digits);
    return _mm256_add_epi16(_mm256_and_si256(digits, _mm256_set1_epi16(0xff)),
                            _mm256_set1_epi16(1));
}

// The per-key constants of the noise, and one block's step: from the chain values the previous
// block left, this block's characters and chain values.
template <int kRegs>
struct NoiseStep {
    KIV_AVX2 NoiseStep(const TextBlockTables& t, const std::uint16_t* baseRow,
                       std::uint32_t fixedChain)
        : fixed(_mm256_set1_epi16(static_cast<short>(fixedChain))) {
        for (int r = 0; r < kRegs; ++r) {
            base[r] = LoadLanes(baseRow, r);
            m[r] = LoadLanes(t.noiseModulus.data(), r);
            m19[r] = LoadLanes(t.noiseModulus19.data(), r);
            fixedMask[r] = LoadLanes(t.noiseLastLanes.data(), r);
        }
    }

    KIV_AVX2 void Block(__m256i* chain, const std::uint8_t* residues, char* out) const {
        __m256i c[kRegs];
        if constexpr (kRegs == 1) {
            c[0] = ShiftDown(chain[0], _mm256_setzero_si256());
        } else {
            c[0] = ShiftDown(chain[0], chain[1]);
            c[1] = ShiftDown(chain[1], _mm256_setzero_si256());
        }
#pragma GCC unroll 2
        for (int r = 0; r < kRegs; ++r) {
            c[r] = _mm256_blendv_epi8(c[r], fixed, fixedMask[r]);
            const __m256i residue = _mm256_cvtepu8_epi16(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(residues + 16 * r)));
            __m256i characters;
            chain[r] = NoiseLanes(c[r], base[r], m[r], m19[r], residue, characters);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * r), characters);
        }
    }

    __m256i fixed;
    __m256i base[kRegs], m[kRegs], m19[kRegs], fixedMask[kRegs];
};

// Streams of blocks coded side by side. Block b's chain value of modulus k comes from modulus
// k + 1 of block b - 1, and the last modulus takes the fixed entry, so a block's characters
// depend on the n - 2 blocks before it and nothing earlier: a stream that starts n - 2 blocks
// early from any chain values (whose characters are thrown away) codes its blocks exactly.
// Independent streams keep the core busy where one block would wait for the block before.
// Four streams of one register, two of two.
template <int kRegs>
constexpr int kStreams = 4 / kRegs;
// Streams pay off once each has this many blocks of its own.
constexpr std::size_t kStreamBlocks = 16;

template <int kRegs>
KIV_AVX2 void NoiseOf(const TextBlockTables& t, const std::uint16_t* baseRow,
                      const std::uint8_t* residues, std::size_t count, std::uint32_t* chainRow,
                      char* out, const std::uint32_t* at) {
    const int moduli = t.residues;
    const auto chars = 2 * static_cast<std::size_t>(moduli);
    const NoiseStep<kRegs> step(t, baseRow, chainRow[moduli]);
    alignas(32) std::uint16_t start[32];
    for (int k = 0; k < 16 * kRegs; ++k)
        start[k] = static_cast<std::uint16_t>(chainRow[k]);
    __m256i chain[kRegs];
    for (int r = 0; r < kRegs; ++r)
        chain[r] = LoadLanes(start, r);
    // Where a stream's thrown-away and last characters go.
    alignas(32) char scratch[64];

    std::size_t done = 0;
    const auto warm = static_cast<std::size_t>(moduli - 1);
    if (count >= kStreams<kRegs> * (warm + kStreamBlocks)) {
        // Each stream takes `steps` blocks: the first from block 0 with the true chain, the
        // others from `warm` blocks before their own first one.
        const std::size_t steps = (count + (kStreams<kRegs> - 1) * warm) / kStreams<kRegs>;
        __m256i lanes[kStreams<kRegs>][kRegs] = {};
        std::size_t first[kStreams<kRegs>];
        for (int r = 0; r < kRegs; ++r)
            lanes[0][r] = chain[r];
        for (int s = 0; s < kStreams<kRegs>; ++s)
            first[s] = s == 0 ? 0 : steps + (s - 1) * (steps - warm) - warm;
        // A block's stores reach over the blocks after it: a stream's last blocks go through
        // the scratch, so that they leave the next stream's first ones alone.
        const std::size_t late = std::min(steps, (32 * kRegs + chars - 1) / chars);
        for (std::size_t i = 0; i < steps - late; ++i) {
#pragma GCC unroll 4
            for (int s = 0; s < kStreams<kRegs>; ++s) {
                const std::size_t b = first[s] + i;
                char* to = s > 0 && i < warm ? scratch : out + at[b];
                step.Block(lanes[s], residues + 32 * b, to);
            }
        }
        for (std::size_t i = steps - late; i < steps; ++i) {
            for (int s = 0; s < kStreams<kRegs>; ++s) {
                const std::size_t b = first[s] + i;
                step.Block(lanes[s], residues + 32 * b, scratch);
                if (s == 0 || i >= warm) std::memcpy(out + at[b], scratch, chars);
            }
        }
        for (int r = 0; r < kRegs; ++r)
            chain[r] = lanes[kStreams<kRegs> - 1][r];
        done = first[kStreams<kRegs> - 1] + steps;
    }
    for (std::size_t b = done; b < count; ++b)
        step.Block(chain, residues + 32 * b, out + at[b]);

    alignas(32) std::uint16_t end[32];
    for (int r = 0; r < kRegs; ++r)
        _mm256_store_si256(reinterpret_cast<__m256i*>(end) + r, chain[r]);
    for (int k = 0; k < moduli; ++k)
        chainRow[k] = end[k];
}

// Keys of at most 8 moduli, two blocks to a register: each 128-bit half holds one stream's block
// in its 8 16-bit lanes, so one pass of the noise steps serves two streams where the code above
// fills 7 of 16 lanes with one block.
constexpr int kHalfModuli = 8;

// An 8-lane row of the tables in both halves of a register.
KIV_AVX2 inline __m256i Halves(const std::uint16_t* row) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)));
}

// The per-key constants of the noise in both halves, and one block of each of two streams.
struct HalfNoise {
    KIV_AVX2 HalfNoise(const TextBlockTables& t, const std::uint16_t* baseRow,
                       std::uint32_t fixedChain)
        : fixed(_mm256_set1_epi16(static_cast<short>(fixedChain))),
          base(Halves(baseRow)),
          m(Halves(t.noiseModulus.data())),
          m19(Halves(t.noiseModulus19.data())),
          last(Halves(t.noiseLastLanes.data())) {}

    // The next blocks of the streams in the low and high half of chain, whose residues start
    // at low and high; returns their characters, each stream's 16 in its half.
    KIV_AVX2 __m256i operator()(__m256i& chain, const std::uint8_t* low,
                                const std::uint8_t* high) const {
        // Lane k takes the chain of lane k + 1 of the stream's previous block; the last
        // modulus takes the fixed entry.
        const __m256i c = _mm256_blendv_epi8(_mm256_srli_si256(chain, 2), fixed, last);
        const __m256i residue = _mm256_cvtepu8_epi16(
            _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(low)),
                               _mm_loadl_epi64(reinterpret_cast<const __m128i*>(high))));
        __m256i characters;
        chain = NoiseLanes(c, base, m, m19, residue, characters);
        return characters;
    }

    __m256i fixed, base, m, m19, last;
};

// As QuarterStreams of the AVX-512 code: stream s > 0 starts n - 2 blocks before its first own
// block from any chain values, and those blocks' characters are thrown away. Stream s takes the
// blocks from s x span on, span = steps - (n - 2), so that its first n - 2 are the previous
// stream's last ones; stream s runs in half s % 2 of register s / 2.
template <int kRegs>
KIV_AVX2 void HalfStreams(const TextBlockTables& t, const std::uint16_t* baseRow,
                          const std::uint8_t* residues, std::size_t count, std::uint32_t* chainRow,
                          char* out, const std::uint32_t* at) {
    constexpr int kStreams = 2 * kRegs;
    const int moduli = t.residues;
    const auto chars = 2 * static_cast<std::size_t>(moduli);
    const HalfNoise step(t, baseRow, chainRow[moduli]);
    const auto warm = static_cast<std::size_t>(moduli - 1);
    const std::size_t steps = (count + (kStreams - 1) * warm) / kStreams;
    const std::size_t span = steps - warm;
    alignas(16) std::uint16_t start[kHalfModuli] = {};
    for (int k = 0; k < moduli; ++k)
        start[k] = static_cast<std::uint16_t>(chainRow[k]);
    __m256i chain[kRegs] = {};
    chain[0] = _mm256_castsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(start)));
    // A block's 16-byte store reaches over the blocks after it: a stream's last blocks go
    // through the scratch, so that they leave the next stream's first ones alone.
    const std::size_t late = std::min(steps, (16 + chars - 1) / chars);
    alignas(16) char scratch[16];
    for (std::size_t i = 0; i < steps; ++i) {
        __m256i text[kRegs];
        const std::uint8_t* const row = residues + 32 * i;
#pragma GCC unroll 4
        for (int r = 0; r < kRegs; ++r)
            text[r] = step(chain[r], row + 32 * 2 * r * span, row + 32 * (2 * r + 1) * span);
        const bool warming = i < warm, ending = i >= steps - late;
        const std::uint32_t* atRow = at + i;
#pragma GCC unroll 8
        for (int s = 0; s < kStreams; ++s) {
            if (s > 0 && warming) continue;
            const __m128i part = s % 2 == 0 ? _mm256_castsi256_si128(text[s / 2])
                                            : _mm256_extracti128_si256(text[s / 2], 1);
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
    __m256i one = _mm256_permute2x128_si256(chain[kRegs - 1], chain[kRegs - 1], 0x11);
    for (std::size_t b = (kStreams - 1) * span + steps; b < count; ++b) {
        const __m256i text = step(one, residues + 32 * b, residues + 32 * b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at[b]), _mm256_castsi256_si128(text));
    }
    alignas(16) std::uint16_t end[kHalfModuli];
    _mm_store_si128(reinterpret_cast<__m128i*>(end), _mm256_castsi256_si128(one));
    for (int k = 0; k < moduli; ++k)
        chainRow[k] = end[k];
}

// Blocks of at most 3 bytes (3-byte keys, whose blocks are many and short) take their residues 8
// at a time, one block per lane, where the code above takes a register per block: the block's
// number N < 2^24 is lo + 65536 hi with hi < 256, so lo + hi x (65536 mod m) < 2^17 lies within
// the float remainder's range. For keys of up to 16 moduli; reads 32 bytes from the start of
// each 8 blocks, within what a block-by-block reading of them reads.
constexpr int kShortBlock = 3;
constexpr int kShortBlockModuli = 16;

template <int kQuads>
KIV_AVX2 void ShortBlockResidues(const TextBlockTables& t, const std::uint8_t* text,
                                 std::size_t count, std::uint8_t* residues) {
    const int length = t.blockLength;
    const auto stride = static_cast<std::size_t>(length);
    // Blocks 0..3 from the first 16 bytes, blocks 4..7 from byte 4L on; lane i of each half
    // takes its block's bytes, zero above them.
    const __m256i halves =
        _mm256_setr_epi32(0, 1, 2, 3, length, length + 1, length + 2, length + 3);
    alignas(16) std::int8_t index[16];
    for (int k = 0; k < 16; ++k)
        index[k] = static_cast<std::int8_t>(k % 4 < length ? k / 4 * length + k % 4 : -1);
    const __m256i pick =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(index)));
    // A 4 x 4 byte transpose in each dword group: moduli by blocks into blocks by moduli.
    const __m256i transpose = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
    const __m256i lowHalf = _mm256_set1_epi32(0xffff);
    for (std::size_t b = 0; b < count; b += kLanes) {
        const __m256i bytes = _mm256_permutevar8x32_epi32(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + b * stride)), halves);
        const __m256i number = _mm256_shuffle_epi8(bytes, pick);
        // Four moduli at a time into bytes: in each half, modulus 4q + j of block i at 4j + i.
        __m256i quad[4] = {};
#pragma GCC unroll 4
        for (int q = 0; q < kQuads; ++q) {
            __m256i r[4];
#pragma GCC unroll 4
            for (int j = 0; j < 4; ++j) {
                const int k = 4 * q + j;
                // lo x 1 and hi x (65536 mod m) in the two halves of each lane, both below 2^16.
                const __m256i parts =
                    _mm256_mullo_epi16(number, _mm256_set1_epi32(t.fold[k] << 16 | 1));
                const __m256i v = _mm256_add_epi32(_mm256_and_si256(parts, lowHalf),
                                                   _mm256_srli_epi32(parts, 16));
                r[j] = avx2::Remainder(v, _mm256_set1_ps(t.reciprocal[k]),
                                       _mm256_set1_epi32(t.modulus[k]));
            }
            const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(r[0], r[1]),
                                                       _mm256_packus_epi32(r[2], r[3]));
            quad[q] = _mm256_shuffle_epi8(packed, transpose);
        }
        // Each block's 16 moduli: block i in the low half of row[i], block i + 4 in the high.
        const __m256i a0 = _mm256_unpacklo_epi32(quad[0], quad[1]);
        const __m256i a1 = _mm256_unpackhi_epi32(quad[0], quad[1]);
        const __m256i c0 = _mm256_unpacklo_epi32(quad[2], quad[3]);
        const __m256i c1 = _mm256_unpackhi_epi32(quad[2], quad[3]);
        const __m256i row[4] = {_mm256_unpacklo_epi64(a0, c0), _mm256_unpackhi_epi64(a0, c0),
                                _mm256_unpacklo_epi64(a1, c1), _mm256_unpackhi_epi64(a1, c1)};
        const std::size_t blocks = std::min(kLanes, count - b);
#pragma GCC unroll 8
        for (std::size_t i = 0; i < blocks; ++i) {
            const __m128i moduli =
                i < 4 ? _mm256_castsi256_si128(row[i]) : _mm256_extracti128_si256(row[i - 4], 1);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(residues + 32 * (b + i)), moduli);
        }
    }
}

// Decodes groups of kRegs x 8 blocks whose loads may read, and whose stores may write,
// avx2::kDecodeReach bytes past the group's last block.
template <int kRegs>
void DecodeGroups(const TextBlockTables& t, const std::uint16_t* in, std::size_t groups,
                  std::uint8_t* out, std::uint8_t* zeros) {
    avx2::DecodeGroups<kRegs, true>(t, t.residues, in, groups, out, zeros);
}

// The last count < kRegs x 8 blocks, through buffers that hold the loads' and stores' reach.
template <int kRegs>
void DecodeTail(const TextBlockTables& t, const std::uint16_t* in, std::size_t count,
                std::uint8_t* out, std::uint8_t* zeros) {
    constexpr std::size_t kGroup = kRegs * kLanes;
    const auto moduli = static_cast<std::size_t>(t.residues);
    const auto length = static_cast<std::size_t>(t.blockLength);
    std::uint16_t values[kGroup * TextBlockTables::kMaxModuli + avx2::kDecodeReach / 2] = {};
    std::uint8_t bytes[kGroup * TextBlockTables::kMaxBlock + avx2::kDecodeReach];
    std::uint8_t counts[kGroup];
    std::memcpy(values, in, count * moduli * sizeof(std::uint16_t));
    DecodeGroups<kRegs>(t, values, 1, bytes, counts);
    std::memcpy(out, bytes, count * length);
    std::memcpy(zeros, counts, count);
}

}  // namespace

void Avx2TextKernel::Residues(const TextBlockTables& tables, const std::uint8_t* text,
                              std::size_t count, std::uint8_t* residues) {
    if (tables.blockLength <= kShortBlock && tables.residues <= kShortBlockModuli) {
        switch ((tables.residues + 3) / 4) {
            case 1:
            case 2:
                return ShortBlockResidues<2>(tables, text, count, residues);
            case 3:
                return ShortBlockResidues<3>(tables, text, count, residues);
            default:
                return ShortBlockResidues<4>(tables, text, count, residues);
        }
    }
    switch ((tables.residues + 7) / 8) {
        case 1:
            return avx2::EncodeResidues<1>(tables, text, count, residues, 32);
        case 2:
            return avx2::EncodeResidues<2>(tables, text, count, residues, 32);
        case 3:
            return avx2::EncodeResidues<3>(tables, text, count, residues, 32);
        default:
            return avx2::EncodeResidues<4>(tables, text, count, residues, 32);
    }
}

void Avx2TextKernel::Noise(const TextBlockTables& tables, const std::uint16_t* base,
                           const std::uint8_t* residues, std::size_t count, std::uint32_t* chain,
                           char* out, const std::uint32_t* at) {
    const auto warm = static_cast<std::size_t>(tables.residues - 1);
    if (tables.residues <= kHalfModuli && count >= 8 * (warm + kStreamBlocks)) {
        HalfStreams<4>(tables, base, residues, count, chain, out, at);
    } else if (tables.residues <= 16) {
        NoiseOf<1>(tables, base, residues, count, chain, out, at);
    } else {
        NoiseOf<2>(tables, base, residues, count, chain, out, at);
    }
}

KIV_AVX2 bool Avx2TextKernel::PairValues(const TextBlockTables& tables, const char* chars,
                                         std::size_t pairs, std::uint16_t* values) {
    // Low digit x 1 + high digit x 61 in each 16-bit lane.
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(1 | 61 << 8));
    std::size_t p = 0;
    for (std::size_t next = 0; next < pairs && pairs >= 16; next += 16) {
        // The last 16 pairs end the row, the values before them made twice.
        p = std::min(next, pairs - 16);
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars + 2 * p));
        const __m256i upper = Between(c, 'A', 'Z');
        const __m256i lower = Between(c, 'a', 'z');
        const __m256i letter = _mm256_or_si256(upper, lower);
        const __m256i valid = _mm256_or_si256(Between(c, '0', '9'), letter);
        if (_mm256_movemask_epi8(valid) != -1) return false;
        __m256i digit = _mm256_sub_epi8(c, _mm256_set1_epi8('0'));
        digit = _mm256_sub_epi8(digit, _mm256_and_si256(letter, _mm256_set1_epi8(7)));
        digit = _mm256_sub_epi8(digit, _mm256_and_si256(lower, _mm256_set1_epi8(6)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(values + p),
                            _mm256_maddubs_epi16(digit, weights));
        p += 16;
    }
    for (; p < pairs; ++p) {
        const std::uint16_t low = tables.charDigit[static_cast<std::uint8_t>(chars[2 * p])];
        const std::uint16_t high = tables.charDigit[static_cast<std::uint8_t>(chars[2 * p + 1])];
        if (std::max(low, high) > 61) return false;
        values[p] = static_cast<std::uint16_t>(low + 61 * high);
    }
    return true;
}

void Avx2TextKernel::Decode(const TextBlockTables& tables, const std::uint16_t* values,
                            std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros) {
    const auto moduli = static_cast<std::size_t>(tables.residues);
    const auto length = static_cast<std::size_t>(tables.blockLength);
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
