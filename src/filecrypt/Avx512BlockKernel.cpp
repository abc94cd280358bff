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

// Blocks of at most 4 bytes, 16 at a time, one block to a 32-bit lane: a byte shuffle (VBMI) lays
// the blocks' bytes out from one load, and one four-byte multiply-add per modulus gives all 16
// sums, where the layout of EncodeResidues fills a register with two blocks. Taken for passwords
// of 3 and 4 bytes, whose many small blocks make the coding the larger part of a run.
#define KIV_AVX512_VBMI \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vnni,avx512vbmi")))

constexpr int kSmallBlock = 4;
// Two registers of 64 bytes hold 16 blocks' residues.
constexpr int kSmallResidues = 8;

bool VbmiAvailable() {
    static const bool vbmi = __builtin_cpu_supports("avx512vbmi");
    return vbmi;
}

bool SmallBlocksFit(const BlockTables& t) {
    return VbmiAvailable() && t.blockLength <= kSmallBlock && t.residues <= kSmallResidues;
}

KIV_AVX512_VBMI __mmask64 FirstBytes(std::size_t n) {
    return n >= 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1;
}

KIV_AVX512_VBMI void EncodeSmall(const BlockTables& t, const std::uint8_t* in, std::size_t count,
                                 std::uint8_t* out) {
    const int length = t.blockLength;
    const int residues = t.residues;
    // Per modulus m: 256^j mod m for the block's bytes j as signed bytes between -m/2 and m/2
    // (0 beyond the block), and a multiple of m above 4 x 255 x 128, so that the sum of the
    // products plus it lies in 0..2^22, where the float remainder is exact.
    __m512i factor[kSmallResidues], bias[kSmallResidues], modulus[kSmallResidues];
    __m512 reciprocal[kSmallResidues];
    for (int k = 0; k < residues; ++k) {
        const std::int32_t m = t.modulus[k];
        std::uint32_t packed = 0;
        for (int j = 0; j < length; ++j) {
            const auto p = static_cast<std::int32_t>(t.power[j][k]);
            const std::int32_t centred = 2 * p > m ? p - m : p;
            packed |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(centred)) << (8 * j);
        }
        factor[k] = _mm512_set1_epi32(static_cast<std::int32_t>(packed));
        bias[k] = _mm512_set1_epi32((4 * 255 * 128 / m + 1) * m);
        modulus[k] = _mm512_set1_epi32(m);
        reciprocal[k] = _mm512_set1_ps(t.reciprocal[k]);
    }
    // Byte j of block i to byte j of lane i (bytes past the block meet a factor of 0); and
    // residue k of block i, byte 16k + i of the two rows, to byte i x residues + k of the output.
    alignas(64) std::uint8_t spread[64];
    alignas(64) std::uint8_t gather[2][64];
    for (int b = 0; b < 64; ++b) {
        const int i = b / 4, j = b % 4;
        spread[b] = static_cast<std::uint8_t>(i * length + (j < length ? j : 0));
        for (int half = 0; half < 2; ++half) {
            const int at = 64 * half + b;
            gather[half][b] = static_cast<std::uint8_t>(16 * (at % residues) + at / residues);
        }
    }
    const __m512i spreadIndex = _mm512_load_si512(spread);
    const __m512i gatherIndex[2] = {_mm512_load_si512(gather[0]), _mm512_load_si512(gather[1])};

    for (std::size_t b = 0; b < count; b += kLanes) {
        const std::size_t n = std::min(kLanes, count - b);
        // Masked loads and stores touch nothing past the blocks.
        const __m512i bytes =
            _mm512_maskz_loadu_epi8(FirstBytes(n * static_cast<std::size_t>(length)),
                                    in + b * static_cast<std::size_t>(length));
        const __m512i lanes = _mm512_permutexvar_epi8(spreadIndex, bytes);
        __m512i rows[2] = {_mm512_setzero_si512(), _mm512_setzero_si512()};
        for (int k = 0; k < residues; ++k) {
            const __m512i sum = _mm512_dpbusd_epi32(bias[k], lanes, factor[k]);
            const __m128i row =
                _mm512_cvtepi32_epi8(avx512::Remainder(sum, reciprocal[k], modulus[k]));
            rows[k / 4] = _mm512_mask_broadcast_i32x4(
                rows[k / 4], static_cast<__mmask16>(0xf << (4 * (k % 4))), row);
        }
        const std::size_t total = n * static_cast<std::size_t>(residues);
        std::uint8_t* const to = out + b * static_cast<std::size_t>(residues);
        _mm512_mask_storeu_epi8(to, FirstBytes(total),
                                _mm512_permutex2var_epi8(rows[0], gatherIndex[0], rows[1]));
        if (total > 64)
            _mm512_mask_storeu_epi8(to + 64, FirstBytes(total - 64),
                                    _mm512_permutex2var_epi8(rows[0], gatherIndex[1], rows[1]));
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
        for (int at = 0; at < bytes_; ++at) {
            const int block = at / t.blockLength, byte = at % t.blockLength;
            index_[at / 64][at % 64] = static_cast<std::uint8_t>(4 * block + byte % 4);
            mask_[at / 64][byte / 4] |= std::uint64_t{1} << (at % 64);
        }
    }

    template <int kRegs, class Tables>
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

void DecodeWithSlack(const BlockTables& t, const std::uint8_t* in, std::size_t groups,
                     std::uint8_t* out) {
    // Past two words a block, the shuffles cost more than the scatters they replace.
    if (VbmiAvailable() && t.blockLength <= kShuffledBlock) {
        avx512::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr,
                                                      ShuffleWords(t));
        return;
    }
    avx512::DecodeGroups<kDecodeRegisters, false>(t, t.residues, in, groups, out, nullptr);
}

}  // namespace

bool Avx512BlockKernel::Available() {
    return avx512::Available();
}

void Avx512BlockKernel::Encode(const BlockTables& tables, const std::uint8_t* blocks,
                               std::size_t count, std::uint8_t* residues) {
    if (SmallBlocksFit(tables)) return EncodeSmall(tables, blocks, count, residues);
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
