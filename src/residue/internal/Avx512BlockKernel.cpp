#include "residue/internal/Avx512BlockKernel.h"

#include <algorithm>
#include <cstring>

#include "residue/internal/Avx512Residues.h"
#include "residue/internal/SmallBlockResidues.h"

namespace kiv {

#ifdef KIV_HAVE_AVX512_RESIDUES

namespace {

using avx512::kLanes;
// Four registers of blocks per pass: Garner's digits form a chain of dependent steps per block
// (a remainder's latency per digit), and four independent chains keep both vector ports busy.
constexpr int kDecodeRegisters = 4;
constexpr std::size_t kDecodeGroup = kDecodeRegisters * kLanes;
// How far a block's coding may load or store past the block (as in Avx2BlockKernel).
constexpr std::size_t kSlack = 40;
constexpr std::size_t kTailBlocks = 2 * kDecodeGroup;

template <int kRegs>
void EncodeAll(const BlockTables& t, const std::uint8_t* in, std::size_t count, std::uint8_t* out) {
    const auto length = static_cast<std::size_t>(t.blockLength);
    const auto residues = static_cast<std::size_t>(t.residues);
    // The blocks whose 32-byte loads and 8 x kRegs-byte stores stay inside the buffers.
    const std::size_t reach =
        std::max<std::size_t>((32 + length - 1) / length, (8 * kRegs + residues - 1) / residues);
    const std::size_t direct = count > reach ? count - reach : 0;
    avx512::EncodeResidues<kRegs>(t, in, direct, out, residues);
    std::uint8_t plain[kTailBlocks * BlockTables::kMaxBlock + kSlack];
    std::uint8_t coded[kTailBlocks * BlockTables::kMaxResidues + kSlack];
    for (std::size_t b = direct; b < count; b += kTailBlocks) {
        const std::size_t n = std::min(kTailBlocks, count - b);
        std::memset(plain, 0, sizeof plain);
        std::memcpy(plain, in + b * length, n * length);
        avx512::EncodeResidues<kRegs>(t, plain, n, coded, residues);
        std::memcpy(out + b * residues, coded, n * residues);
    }
}

using avx512::FirstBytes;
using avx512::SmallBlockResidues;
using avx512::VbmiAvailable;

// Blocks of at most 8 bytes (passwords of 3 to 8 bytes, whose many small blocks make the coding
// the larger part of a run), 16 at a time.
template <int kDwords>
KIV_AVX512_VBMI void EncodeSmall(const BlockTables& t, const std::uint8_t* in, std::size_t count,
                                 std::uint8_t* out) {
    using Coder = SmallBlockResidues<kDwords>;
    constexpr int kRows = Coder::kRows;
    constexpr int kOut = (16 * Coder::kMaxResidues + 63) / 64;
    static_assert(kOut <= SmallBlockFactors::kOutRegisters);
    const int length = t.blockLength;
    const int residues = t.residues;
    const SmallBlockFactors& f = t.smallBlocks;
    const Coder coder(f);
    __m512i pairs[kOut], thirds[kOut];
    for (int o = 0; o < kOut; ++o) {
        pairs[o] = _mm512_load_si512(f.pairIndex[o].data());
        thirds[o] = _mm512_load_si512(f.thirdIndex[o].data());
    }

    for (std::size_t b = 0; b < count; b += kLanes) {
        const std::size_t n = std::min(kLanes, count - b);
        // Masked loads and stores touch nothing past the blocks.
        __m512i rows[kRows];
        coder.Rows(in + b * static_cast<std::size_t>(length), n, rows);
        const std::size_t total = n * static_cast<std::size_t>(residues);
        std::uint8_t* const to = out + b * static_cast<std::size_t>(residues);
        for (int o = 0; o < kOut && 64 * static_cast<std::size_t>(o) < total; ++o) {
            __m512i bytes = _mm512_permutex2var_epi8(rows[0], pairs[o], rows[1]);
            if constexpr (kRows > 2)
                bytes = _mm512_mask_permutexvar_epi8(bytes, f.thirdMask[o], thirds[o], rows[2]);
            _mm512_mask_storeu_epi8(to + 64 * o, FirstBytes(total - 64 * o), bytes);
        }
    }
}

constexpr int kShuffledBlock = 8;

// Lays decoded words out as blocks with byte shuffles (VBMI) and whole-register stores, where
// scattering them took a store per word and block: byte x of output register o of 16 blocks is
// byte index[o][x] of the word register that mask[o][w] marks for it.
class ShuffleWords {
  public:
    static constexpr int kMaxWords = (BlockTables::kMaxBlock + 3) / 4;
    static constexpr int kMaxRegisters = (kLanes * BlockTables::kMaxBlock + 63) / 64;

    explicit ShuffleWords(const BlockTables& t)
        : words_((t.blockLength + 3) / 4),
          registers_((static_cast<int>(kLanes) * t.blockLength + 63) / 64),
          bytes_(static_cast<int>(kLanes) * t.blockLength) {
        // Made for every piece of a run: no divisions by the block length.
        for (int block = 0, at = 0; block < static_cast<int>(kLanes); ++block) {
            for (int byte = 0; byte < t.blockLength; ++byte, ++at) {
                index_[at / 64][at % 64] = static_cast<std::uint8_t>(4 * block + byte % 4);
                mask_[at / 64][byte / 4] |= std::uint64_t{1} << (at % 64);
            }
        }
    }

    template <int kRegs, ResidueLayout Tables>
    KIV_AVX512_VBMI void operator()(const Tables& /*tables: laid out at construction*/,
                                    const avx512::DecodedWords<kRegs, Tables>& word,
                                    std::uint8_t* out) const {
        for (int h = 0; h < kRegs; ++h, out += bytes_) {
            __m512i w[kMaxWords];
            for (int k = 0; k < words_; ++k)
                w[k] = _mm512_load_si512(word[h][k]);
            for (int o = 0; o < registers_; ++o) {
                const __m512i index = _mm512_load_si512(index_[o]);
                __m512i bytes = _mm512_permutexvar_epi8(index, w[0]);
                for (int k = 1; k < words_; ++k)
                    bytes = _mm512_mask_permutexvar_epi8(bytes, mask_[o][k], index, w[k]);
                _mm512_mask_storeu_epi8(
                    out + 64 * o, FirstBytes(static_cast<std::size_t>(bytes_ - 64 * o)), bytes);
            }
        }
    }

  private:
    int words_;
    int registers_;
    int bytes_;  // of 16 blocks
    alignas(64) std::uint8_t index_[kMaxRegisters][64] = {};
    std::uint64_t mask_[kMaxRegisters][kMaxWords] = {};
};

// Residue rows to blocks by recombination (RecombinationTables): per 16 blocks, one gather per
// four residues, then a handful of four-byte multiply-adds per column, all columns independent
// but for their carries, where Garner's digits form a chain of remainders per block. Same
// reach as avx2::DecodeGroups: gathers may read 3 bytes past a group's last block, the sink may
// write 3 bytes past it.
template <int kRegs, int kQuads, class Sink>
KIV_AVX512 void DecodeRecombined(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                                 std::uint8_t* out, const Sink& sink) {
    constexpr std::size_t kGroup = kRegs * kLanes;
    const RecombinationTables& r = t.recombination;
    const int length = t.blockLength;
    const int words = (length + 3) / 4;
    const int last = r.columns - 1;
    // Whole words of columns: those past W have zero factors and only pass the carry on.
    const int columns = 4 * ((r.columns + 3) / 4);
    const int rowBytes = t.residues;
    __m512i offset[kRegs];
    avx512::RowOffsets<kRegs>(rowBytes, offset);
    const __m512i nearLimit = _mm512_set1_epi32(r.nearLimit);
    const __m512i signBit = _mm512_set1_epi32(0x80);
    alignas(64) avx512::DecodedWords<kRegs, BlockTables> word;

    for (std::size_t g = 0; g < groups; ++g) {
        __m512i quad[kRegs][kQuads];
#pragma GCC unroll 16
        for (int q = 0; q < kQuads; ++q) {
#pragma GCC unroll 4
            for (int h = 0; h < kRegs; ++h)
                quad[h][q] = _mm512_i32gather_epi32(offset[h], in + 4 * q, 1);
        }
        // The fractions' sum X plus nearLimit: k from above its 30th bit, and its lower bits.
        __m512i carry[kRegs] = {}, below[kRegs] = {}, multiple[kRegs];
#pragma GCC unroll 4
        for (int f = 0; f < RecombinationTables::kFractionDigits; ++f) {
#pragma GCC unroll 4
            for (int h = 0; h < kRegs; ++h) {
                __m512i sum = f == 0 ? nearLimit : _mm512_setzero_si512();
#pragma GCC unroll 16
                for (int q = 0; q < kQuads; ++q)
                    sum = _mm512_dpbusd_epi32(sum, quad[h][q], _mm512_set1_epi32(r.fraction[f][q]));
                sum = _mm512_add_epi32(sum, carry[h]);
                carry[h] = _mm512_srai_epi32(sum, 8);
                // The top digit keeps 6 bits below the point, the others all 8.
                const bool top = f == RecombinationTables::kFractionDigits - 1;
                const int bits = top ? 0x3f : 0xff;
                // below |= (sum & bits) << 8f
                below[h] = _mm512_ternarylogic_epi32(below[h], _mm512_slli_epi32(sum, 8 * f),
                                                     _mm512_set1_epi32(bits << (8 * f)), 0xf8);
                if (top)
                    multiple[h] =
                        _mm512_add_epi32(_mm512_srai_epi32(sum, 6), _mm512_set1_epi32(32768));
            }
        }
        __mmask16 near[kRegs], negative[kRegs] = {};
#pragma GCC unroll 4
        for (int h = 0; h < kRegs; ++h) {
            near[h] = _mm512_cmplt_epu32_mask(below[h], nearLimit);
            carry[h] = _mm512_setzero_si512();
        }
        // Columns of S - kM modulo 256^W; the low byte of each is a byte of the blocks.
        for (int w = 0; 4 * w < columns; ++w) {
            __m512i packed[kRegs];
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) {
                const int j = 4 * w + b;
                const __m512i correction = _mm512_set1_epi32(r.correction[j]);
                const __m512i start = _mm512_set1_epi32(r.offset[j]);
#pragma GCC unroll 4
                for (int h = 0; h < kRegs; ++h) {
                    __m512i sum = _mm512_dpbusd_epi32(start, multiple[h], correction);
#pragma GCC unroll 16
                    for (int q = 0; q < kQuads; ++q)
                        sum =
                            _mm512_dpbusd_epi32(sum, quad[h][q], _mm512_set1_epi32(r.digits[j][q]));
                    sum = _mm512_add_epi32(sum, carry[h]);
                    carry[h] = _mm512_srai_epi32(sum, 8);
                    packed[h] = b == 0
                                    ? sum
                                    : _mm512_mask_blend_epi8(0x1111111111111111ull << b, packed[h],
                                                             _mm512_slli_epi32(sum, 8 * b));
                    if (j == last) negative[h] = _mm512_test_epi32_mask(sum, signBit);
                }
            }
            if (w < words) {
#pragma GCC unroll 4
                for (int h = 0; h < kRegs; ++h)
                    _mm512_store_si512(word[h][w], packed[h]);
            }
        }
        // Lanes whose S lay just below a multiple of M: their column value is D - M.
        for (int h = 0; h < kRegs; ++h) {
            for (unsigned lanes = near[h] & negative[h]; lanes != 0; lanes &= lanes - 1) {
                const int i = __builtin_ctz(lanes);
                unsigned carried = 0;
                for (int j = 0; j < length; ++j) {
                    std::uint32_t& w = word[h][j / 4][i];
                    const int shift = 8 * (j % 4);
                    carried += ((w >> shift) & 0xff) + r.product[j];
                    w = (w & ~(0xffu << shift)) | (carried & 0xff) << shift;
                    carried >>= 8;
                }
            }
        }
        sink.template operator()<kRegs>(t, word, out);
        in += kGroup * static_cast<std::size_t>(rowBytes);
        out += kGroup * static_cast<std::size_t>(length);
    }
}

// Registers of blocks per pass: the columns are independent, so two or three suffice to fill
// the multiply-add port; three while the residues of three registers leave room in the 32
// vector registers (up to 5 groups of 4 residues), two beyond that.
constexpr int kFewQuads = 5;

int RecombinedRegisters(const BlockTables& t) {
    return t.recombination.quads <= kFewQuads ? 3 : 2;
}

std::size_t GroupBlocks(const BlockTables& t) {
    return t.recombination.fit ? static_cast<std::size_t>(RecombinedRegisters(t)) * kLanes
                               : kDecodeGroup;
}

// The one instance of DecodeRecombined for the key's residue groups and RecombinedRegisters.
template <class Sink>
void DecodeRecombinedWith(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                          std::uint8_t* out, const Sink& sink) {
    switch (t.recombination.quads) {
        case 1:
        case 2:
            return DecodeRecombined<3, 2>(t, in, groups, out, sink);
        case 3:
            return DecodeRecombined<3, 3>(t, in, groups, out, sink);
        case 4:
            return DecodeRecombined<3, 4>(t, in, groups, out, sink);
        case kFewQuads:
            return DecodeRecombined<3, kFewQuads>(t, in, groups, out, sink);
        case 6:
            return DecodeRecombined<2, 6>(t, in, groups, out, sink);
        case 7:
            return DecodeRecombined<2, 7>(t, in, groups, out, sink);
        case 8:
            return DecodeRecombined<2, 8>(t, in, groups, out, sink);
        case 9:
            return DecodeRecombined<2, 9>(t, in, groups, out, sink);
        default:
            return DecodeRecombined<2, RecombinationTables::kMaxQuads>(t, in, groups, out, sink);
    }
}

void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                     std::uint8_t* out) {
    // Past two words a block, the shuffles cost more than the scatters they replace.
    const bool shuffled = VbmiAvailable() && t.blockLength <= kShuffledBlock;
    if (t.recombination.fit) {
        if (shuffled) return DecodeRecombinedWith(t, in, groups, out, ShuffleWords(t));
        return DecodeRecombinedWith(t, in, groups, out, avx512::ScatterWords{});
    }
    if (shuffled) {
        avx512::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr,
                                                      ShuffleWords(t));
        return;
    }
    avx512::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr);
}

}  // namespace

void Avx512BlockKernel::Encode(const BlockTables& tables, const std::uint8_t* blocks,
                               std::size_t count, std::uint8_t* residues) {
    if (SmallBlockResidues<1>::Fits(tables.smallBlocks))
        return EncodeSmall<1>(tables, blocks, count, residues);
    if (SmallBlockResidues<2>::Fits(tables.smallBlocks))
        return EncodeSmall<2>(tables, blocks, count, residues);
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

void Avx512BlockKernel::Decode(const BlockTables& tables, const std::uint8_t* residues,
                               std::size_t count, std::uint8_t* blocks) {
    const auto length = static_cast<std::size_t>(tables.blockLength);
    const auto width = static_cast<std::size_t>(tables.residues);
    // Whole groups followed by enough blocks to take the 3 bytes they may reach past their end.
    const std::size_t spare = (3 + length - 1) / length;
    const std::size_t group = GroupBlocks(tables);
    const std::size_t groups = count > spare ? (count - spare) / group : 0;
    DecodeWithSlack(tables, residues, groups, blocks);
    std::uint8_t coded[kDecodeGroup * BlockTables::kMaxResidues + kSlack];
    std::uint8_t plain[kDecodeGroup * BlockTables::kMaxBlock + kSlack];
    for (std::size_t b = groups * group; b < count; b += group) {
        const std::size_t n = std::min(group, count - b);
        std::memset(coded, 0, sizeof coded);
        std::memcpy(coded, residues + b * width, n * width);
        DecodeWithSlack(tables, coded, 1, plain);
        std::memcpy(blocks + b * length, plain, n * length);
    }
}

#endif

}  // namespace kiv
