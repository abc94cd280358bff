#include "filecrypt/Avx512BlockKernel.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "cipher/Avx512Residues.h"

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

void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                     std::uint8_t* out) {
    avx512::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr);
}

}  // namespace

bool Avx512BlockKernel::Available() {
    return avx512::Available();
}

void Avx512BlockKernel::Encode(const BlockTables& tables, const std::uint8_t* blocks,
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

void Avx512BlockKernel::Decode(const BlockTables& tables, const std::uint8_t* residues,
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

bool Avx512BlockKernel::Available() {
    return false;
}

void Avx512BlockKernel::Encode(const BlockTables&, const std::uint8_t*, std::size_t,
                               std::uint8_t*) {
    throw std::logic_error("no AVX-512 on this processor");
}

void Avx512BlockKernel::Decode(const BlockTables&, const std::uint8_t*, std::size_t,
                               std::uint8_t*) {
    throw std::logic_error("no AVX-512 on this processor");
}

#endif

}  // namespace kiv
