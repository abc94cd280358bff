#include "cipher/Avx512TextKernel.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "cipher/Avx512Residues.h"

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
    avx512::DecodeGroups<kRegs, true>(t, t.moduliCount, in, groups, out, zeros);
}

// The last count < kRegs x 16 blocks, through buffers that hold the gathers' and stores' reach.
template <int kRegs>
void DecodeTail(const TextBlockTables& t, const std::uint16_t* in, std::size_t count,
                std::uint8_t* out, std::uint8_t* zeros) {
    constexpr std::size_t kGroup = kRegs * kLanes;
    const auto moduli = static_cast<std::size_t>(t.moduliCount);
    const auto length = static_cast<std::size_t>(t.blockLength);
    std::uint16_t values[kGroup * TextBlockTables::kMaxModuli + 2] = {};
    std::uint8_t bytes[kGroup * TextBlockTables::kMaxBlock + 4];
    std::uint8_t counts[kGroup];
    std::memcpy(values, in, count * moduli * sizeof(std::uint16_t));
    DecodeGroups<kRegs>(t, values, 1, bytes, counts);
    std::memcpy(out, bytes, count * length);
    std::memcpy(zeros, counts, count);
}

}  // namespace

bool Avx512TextKernel::Available() {
    return avx512::Available();
}

void Avx512TextKernel::Residues(const TextBlockTables& tables, const std::uint8_t* text,
                                std::size_t count, std::uint8_t* residues) {
    switch ((tables.moduliCount + 7) / 8) {
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
    const auto moduli = static_cast<std::size_t>(tables.moduliCount);
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

#else

bool Avx512TextKernel::Available() {
    return false;
}

void Avx512TextKernel::Residues(const TextBlockTables&, const std::uint8_t*, std::size_t,
                                std::uint8_t*) {
    throw std::logic_error("no AVX-512 on this processor");
}

bool Avx512TextKernel::PairValues(const TextBlockTables&, const char*, std::size_t,
                                  std::uint16_t*) {
    throw std::logic_error("no AVX-512 on this processor");
}

void Avx512TextKernel::Decode(const TextBlockTables&, const std::uint16_t*, std::size_t,
                              std::uint8_t*, std::uint8_t*) {
    throw std::logic_error("no AVX-512 on this processor");
}

#endif

}  // namespace kiv
