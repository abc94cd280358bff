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
// 40 bytes of residues stored at once, 4-byte gathers and stores.
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

// Decodes groups of 32 blocks whose gathers may read, and whose stores may write, 3 bytes past
// the group's last block.
void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                     std::uint8_t* out) {
    avx2::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr);
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

#endif

}  // namespace kiv
