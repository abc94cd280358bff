#include "residue/TextBlockTables.h"

namespace kiv {

namespace {

// The digit a letter or digit character stands for in the standard order; -1 for the others.
int StandardDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}

using Limbs = std::array<std::uint64_t, 3>;

}  // namespace

TextBlockTables::TextBlockTables(const std::int32_t* values, int count, int length,
                                 const std::array<std::uint8_t, 256>& charOrder,
                                 const std::array<std::uint8_t, 256>& charIndex)
    : VectorLayout(values, count, length, true) {
    const int words = (blockLength + 1) / 2;
    for (int k = 0; k < residues; ++k) {
        const std::uint32_t p = moduli[k].value;
        const std::uint32_t power65536 = 65536 % p;
        std::uint32_t power = 1 % p;
        for (int w = 0; w < words; ++w) {
            wordPower[w][k] = power;
            power = power * power65536 % p;
        }
    }
    for (int k = 0; k < kMaxModuli; ++k) {
        const bool used = k < residues;
        noiseModulus[k] = static_cast<std::uint16_t>(used ? moduli[k].value : 1);
        noiseModulus19[k] = static_cast<std::uint16_t>(used ? moduli[k].value % 19 : 1);
        noiseLastLanes[k] = static_cast<std::uint16_t>(k + 1 < residues ? 0 : 0xffff);
    }

    for (int v = 0; v < kNoisedValues; ++v) {
        const int low = v % 61;
        noised[v] =
            charOrder[low] | charOrder[v / 61] << 8 | static_cast<std::uint32_t>(low + 1) << 16;
    }
    standardOrder = true;
    for (int c = 0; c < 256; ++c) {
        charDigit[c] = charIndex[c];
        const int digit = StandardDigit(c);
        if (digit >= 0 ? charIndex[c] != digit : charIndex[c] <= 61) standardOrder = false;
    }

    for (int k = 0; k < residues; ++k) {
        const std::uint32_t p = moduli[k].value;
        for (int j = 0; j < k; ++j)
            factor[k][j] = (p - inverse[k] * weight[k][j] % p) % p;
    }

    Limbs running{1, 0, 0};
    for (int k = 0; k < residues; ++k) {
        product[k] = running;
        unsigned __int128 carry = 0;
        for (std::uint64_t& limb : running) {
            const unsigned __int128 t =
                static_cast<unsigned __int128>(limb) * moduli[k].value + carry;
            limb = static_cast<std::uint64_t>(t);
            carry = t >> 64;
        }
    }
}

}  // namespace kiv
