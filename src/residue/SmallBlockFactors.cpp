#include "residue/SmallBlockFactors.h"

namespace kiv {

SmallBlockFactors::SmallBlockFactors(const std::uint32_t* moduli, int count, int blockLength)
    : residues(count), length(blockLength) {
    if (count < 1 || count > kMaxResidues || blockLength < 1 || blockLength > kMaxBlock) return;
    for (int k = 0; k < count; ++k) {
        const auto m = static_cast<std::int32_t>(moduli[k]);
        std::uint32_t packed[kMaxDwords] = {};
        std::int32_t power = 1;
        for (int j = 0; j < length; ++j, power = power * 256 % m) {
            const std::int32_t centred = 2 * power > m ? power - m : power;
            packed[j / 4] |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(centred))
                             << (8 * (j % 4));
        }
        for (int d = 0; d < kMaxDwords; ++d)
            factor[d][k] = static_cast<std::int32_t>(packed[d]);
        bias[k] = (4 * kMaxDwords * 255 * 128 / m + 1) * m;
        modulus[k] = m;
        reciprocal[k] = static_cast<float>(1.0 / m);
    }
    for (int d = 0; d < kMaxDwords; ++d) {
        for (int b = 0; b < 64; ++b) {
            const int i = b / 4, j = 4 * d + b % 4;
            spread[d][b] = static_cast<std::uint8_t>(i * length + (j < length ? j : 0));
        }
    }
    for (int o = 0; o < kOutRegisters; ++o) {
        for (int b = 0; b < 64; ++b) {
            const int at = 64 * o + b, i = at / count, k = at % count;
            const int row = k / 4, local = 16 * (k % 4) + (i % 16);
            if (row < 2) {
                pairIndex[o][b] = static_cast<std::uint8_t>(64 * row + local);
            } else {
                thirdIndex[o][b] = static_cast<std::uint8_t>(local);
                thirdMask[o] |= std::uint64_t{1} << b;
            }
        }
    }
    fit = true;
}

}  // namespace kiv
