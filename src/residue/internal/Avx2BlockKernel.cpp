#include "residue/internal/Avx2BlockKernel.h"

#include <algorithm>
#include <cstring>

#include "residue/internal/Avx2Residues.h"

namespace kiv {

#ifdef KIV_HAVE_AVX2_RESIDUES

namespace {

using avx2::kLanes;
// Four registers of blocks per pass: Garner's digits form a chain of dependent steps per block,
// and independent chains keep the core busy while one waits.
constexpr int kDecodeRegisters = 4;
constexpr std::size_t kDecodeGroup = kDecodeRegisters * kLanes;
// How far a block's coding may load or store past the block: 32-byte loads of its bytes, up to
// 40 bytes of residues stored at once, 16-byte loads and stores of rows and blocks.
constexpr std::size_t kSlack = 40;
// Tails are coded in local buffers of this many blocks, so that no load or store leaves the
// caller's buffers.
constexpr std::size_t kTailBlocks = 2 * kDecodeGroup;

// Encodes count blocks whose loads may reach 32 bytes past a block's start and whose stores
// 8 x kRegs bytes past its residues' start.
template <int kRegs>
void EncodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t count,
                     std::uint8_t* out) {
    avx2::EncodeResidues<kRegs>(t, in, count, out, static_cast<std::size_t>(t.residues));
}

using avx2::BlockStores;
using avx2::kDecodeReach;

// Residue rows to blocks by recombination (the 16-bit form of RecombinationTables): per 8 blocks
// a column of four residues at a time, split into two registers of 16-bit pairs, then one
// multiply-add per pair and 16-bit column. The columns depend on each other only through their
// carries, where Garner's digits form a chain of remainders per block. The columns above the
// block's words only tell the sign of lanes near a multiple of M, and are left out when no lane
// is. Like DecodeGroups, reads and writes up to kDecodeReach bytes past a group's last block.
template <int kQuads>
KIV_AVX2 void DecodeRecombined(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                               std::uint8_t* out) {
    constexpr int kPairs = 2 * kQuads;
    constexpr int kMaxWords = (BlockTables::kMaxBlock + 3) / 4;
    const RecombinationTables& r = t.recombination;
    const int length = t.blockLength;
    const int words = (length + 3) / 4;
    const int blockColumns = 2 * words;
    const int signColumn = r.wideColumns - 1;
    const auto rowBytes = static_cast<std::size_t>(t.residues);
    const __m256i nearLimit = _mm256_set1_epi32(r.nearLimit);
    const __m256i evenBytes = _mm256_set1_epi32(0x00ff00ff);
    const __m256i lowHalf = _mm256_set1_epi32(0xffff);
    const BlockStores store(length);

    for (std::size_t g = 0; g < groups; ++g) {
        __m256i pair[kPairs];
        {
            __m256i quad[4 * ((kQuads + 3) / 4)];
#pragma GCC unroll 3
            for (int c = 0; c < kQuads; c += 4)
                avx2::LoadColumns(in + 4 * c, rowBytes, quad + c);
#pragma GCC unroll 10
            for (int q = 0; q < kQuads; ++q) {
                pair[2 * q] = _mm256_and_si256(quad[q], evenBytes);
                pair[2 * q + 1] = _mm256_srli_epi16(quad[q], 8);
            }
        }
        // The fractions' sum X plus nearLimit: k from its bits above the 30th, "near" from the
        // bits below.
        __m256i low = nearLimit, high = _mm256_setzero_si256();
#pragma GCC unroll 20
        for (int p = 0; p < kPairs; ++p) {
            low = _mm256_add_epi32(
                low, _mm256_madd_epi16(pair[p], _mm256_set1_epi32(r.wideFraction[0][p])));
            high = _mm256_add_epi32(
                high, _mm256_madd_epi16(pair[p], _mm256_set1_epi32(r.wideFraction[1][p])));
        }
        high = _mm256_add_epi32(high, _mm256_srai_epi32(low, 16));
        const __m256i multiple = _mm256_and_si256(_mm256_srai_epi32(high, 14), lowHalf);
        // X's 30 bits below the point: the low sum's 16, then the high sum's lowest 14.
        const __m256i below = _mm256_or_si256(_mm256_and_si256(low, lowHalf),
                                              _mm256_srli_epi32(_mm256_slli_epi32(high, 18), 2));
        const __m256i near = _mm256_cmpgt_epi32(nearLimit, below);
        const int nearLanes = _mm256_movemask_ps(_mm256_castsi256_ps(near));

        // Columns of S - kM modulo 2^(16C), two at a time; the low 16 bits of each are two bytes
        // of the blocks, and each two make a word.
        __m256i carry = _mm256_setzero_si256(), sign = carry;
        __m256i word[kMaxWords + 1];
        const int columns = nearLanes != 0 ? std::max(blockColumns, r.wideColumns) : blockColumns;
        for (int j = 0; j < columns; j += 2) {
            __m256i even = _mm256_madd_epi16(multiple, _mm256_set1_epi32(r.wideCorrection[j]));
            __m256i odd = _mm256_madd_epi16(multiple, _mm256_set1_epi32(r.wideCorrection[j + 1]));
            const auto& evenDigits = r.wideDigits[j];
            const auto& oddDigits = r.wideDigits[j + 1];
#pragma GCC unroll 20
            for (int p = 0; p < kPairs; ++p) {
                even = _mm256_add_epi32(
                    even, _mm256_madd_epi16(pair[p], _mm256_set1_epi32(evenDigits[p])));
                odd = _mm256_add_epi32(odd,
                                       _mm256_madd_epi16(pair[p], _mm256_set1_epi32(oddDigits[p])));
            }
            even = _mm256_add_epi32(even, carry);
            odd = _mm256_add_epi32(odd, _mm256_srai_epi32(even, 16));
            carry = _mm256_srai_epi32(odd, 16);
            if (j == signColumn) sign = _mm256_slli_epi32(even, 16);
            if (j + 1 == signColumn) sign = _mm256_slli_epi32(odd, 16);
            word[j / 2] = _mm256_blend_epi16(even, _mm256_slli_epi32(odd, 16), 0xaa);
        }
        // Lanes whose S lay just below a multiple of M: their column value is D - M.
        if (const auto mend = static_cast<unsigned>(
                nearLanes & _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_and_si256(near, sign))));
            mend != 0) {
            alignas(32) std::uint32_t lanes[kMaxWords][kLanes];
            for (int w = 0; w < words; ++w)
                _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[w]), word[w]);
            for (unsigned left = mend; left != 0; left &= left - 1) {
                const int i = __builtin_ctz(left);
                unsigned carried = 0;
                for (int j = 0; j < length; ++j) {
                    std::uint32_t& w = lanes[j / 4][i];
                    const int shift = 8 * (j % 4);
                    carried += ((w >> shift) & 0xff) + r.product[j];
                    w = (w & ~(0xffu << shift)) | (carried & 0xff) << shift;
                    carried >>= 8;
                }
            }
            for (int w = 0; w < words; ++w)
                word[w] = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes[w]));
        }
        store(word, out);
        in += kLanes * rowBytes;
        out += kLanes * static_cast<std::size_t>(length);
    }
}

std::size_t GroupBlocks(const BlockTables& t) {
    return t.recombination.fit ? kLanes : kDecodeGroup;
}

// Decodes groups of GroupBlocks(t) blocks whose loads may read, and whose stores may write,
// kDecodeReach bytes past the group's last block.
void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                     std::uint8_t* out) {
    if (!t.recombination.fit) {
        avx2::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr);
        return;
    }
    switch (t.recombination.quads) {
        case 1:
        case 2:
            return DecodeRecombined<2>(t, in, groups, out);
        case 3:
            return DecodeRecombined<3>(t, in, groups, out);
        case 4:
            return DecodeRecombined<4>(t, in, groups, out);
        case 5:
            return DecodeRecombined<5>(t, in, groups, out);
        case 6:
            return DecodeRecombined<6>(t, in, groups, out);
        case 7:
            return DecodeRecombined<7>(t, in, groups, out);
        case 8:
            return DecodeRecombined<8>(t, in, groups, out);
        case 9:
            return DecodeRecombined<9>(t, in, groups, out);
        default:
            return DecodeRecombined<RecombinationTables::kMaxQuads>(t, in, groups, out);
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
    // Whole groups followed by enough blocks to take the bytes they may reach past their end
    // (rows are at least as long as blocks).
    const std::size_t spare = (kDecodeReach + length - 1) / length;
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
