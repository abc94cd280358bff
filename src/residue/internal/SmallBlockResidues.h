#pragma once

// Residues of blocks of at most 4 x kDwords bytes, 16 at a time, one block to a 32-bit lane of
// kDwords registers (AVX-512 with VBMI): byte shuffles lay the blocks' bytes out from one or two
// loads, and kDwords four-byte multiply-adds per modulus give all 16 sums, where the
// two-blocks-a-register layout of EncodeResidues spends a register's worth of work on every
// pair of blocks whatever their length. The file runs' coder, apart from the file kernel so that
// its per-key numbers (SmallBlockFactors) can be built without AVX-512.

#include <cstddef>
#include <cstdint>

#include "residue/SmallBlockFactors.h"
#include "residue/internal/Avx512Residues.h"

#ifdef KIV_HAVE_AVX512_RESIDUES

#define KIV_AVX512_VBMI \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vnni,avx512vbmi")))

namespace kiv::avx512 {

inline bool VbmiAvailable() {
    static const bool vbmi = __builtin_cpu_supports("avx512vbmi");
    return vbmi;
}

// The first n bytes of a register (all of them from 64 on).
KIV_AVX512_VBMI inline __mmask64 FirstBytes(std::size_t n) {
    return n >= 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1;
}

template <int kDwords>
class SmallBlockResidues {
  public:
    static_assert(kDwords == 1 || kDwords == 2);
    static constexpr int kMaxBlock = 4 * kDwords;
    // Rows of 64 bytes, 4 residues of 16 blocks each: two for 4-byte blocks (8 residues at
    // most), three for 8-byte ones (up to 12, which covers them unless the key's leading moduli
    // are small).
    static constexpr int kRows = kDwords + 1;
    static constexpr int kMaxResidues = 4 * kRows;

    // Whether the key's blocks go this way on this processor (which must have passed
    // avx512::Available()).
    static bool Fits(const SmallBlockFactors& f) {
        return f.fit && VbmiAvailable() && f.length <= kMaxBlock && f.residues <= kMaxResidues;
    }

    // The key's factors, which must fit (Fits).
    KIV_AVX512_VBMI explicit SmallBlockResidues(const SmallBlockFactors& f)
        : residues_(f.residues), length_(f.length) {
        for (int k = 0; k < residues_; ++k) {
            for (int d = 0; d < kDwords; ++d)
                factor_[d][k] = _mm512_set1_epi32(f.factor[d][k]);
            bias_[k] = _mm512_set1_epi32(f.bias[k]);
            modulus_[k] = _mm512_set1_epi32(f.modulus[k]);
            reciprocal_[k] = _mm512_set1_ps(f.reciprocal[k]);
        }
        for (int d = 0; d < kDwords; ++d)
            spread_[d] = _mm512_load_si512(f.spread[d].data());
    }

    // The residues of the n <= 16 blocks at in, reading only their bytes: residue k of block i
    // in byte 16(k mod 4) + i of rows[k / 4]; 0 for the residues past the last one.
    KIV_AVX512_VBMI void Rows(const std::uint8_t* in, std::size_t n, __m512i* rows) const {
        const std::size_t total = n * static_cast<std::size_t>(length_);
        const __m512i low = _mm512_maskz_loadu_epi8(FirstBytes(total), in);
        __m512i lanes[kDwords];
        if constexpr (kDwords == 1) {
            lanes[0] = _mm512_permutexvar_epi8(spread_[0], low);
        } else {
            const __m512i high = total > 64
                                     ? _mm512_maskz_loadu_epi8(FirstBytes(total - 64), in + 64)
                                     : _mm512_setzero_si512();
            for (int d = 0; d < kDwords; ++d)
                lanes[d] = _mm512_permutex2var_epi8(low, spread_[d], high);
        }
        for (int r = 0; r < kRows; ++r)
            rows[r] = _mm512_setzero_si512();
        for (int k = 0; k < residues_; ++k) {
            __m512i sum = bias_[k];
            for (int d = 0; d < kDwords; ++d)
                sum = _mm512_dpbusd_epi32(sum, lanes[d], factor_[d][k]);
            const __m128i row = _mm512_cvtepi32_epi8(Remainder(sum, reciprocal_[k], modulus_[k]));
            rows[k / 4] = _mm512_mask_broadcast_i32x4(
                rows[k / 4], static_cast<__mmask16>(0xf << (4 * (k % 4))), row);
        }
    }

  private:
    int residues_;
    int length_;
    __m512i factor_[kDwords][kMaxResidues], bias_[kMaxResidues], modulus_[kMaxResidues];
    __m512 reciprocal_[kMaxResidues];
    __m512i spread_[kDwords];
};

}  // namespace kiv::avx512

#endif
