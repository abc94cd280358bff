#include "residue/VectorLayout.h"

#include "residue/internal/ModularTables.h"

namespace kiv {

VectorLayout::VectorLayout(const std::int32_t* values, int count, int length, bool distinctModuli)
    : blockLength(length), residues(count), distinct(distinctModuli) {
    modulus.fill(1);
    reciprocal.fill(1.0f);
    for (int k = 0; k < residues; ++k) {
        const std::int32_t m = values[k];
        if (m > kVectorModulusLimit) vectorFit = false;
        const auto p = static_cast<std::uint32_t>(m);
        moduli[k].value = p;
        moduli[k].magic = UINT64_MAX / p + 1;
        modulus[k] = m;
        reciprocal[k] = static_cast<float>(1.0 / m);
        const std::uint32_t power65536 = 65536 % p;
        fold[k] = static_cast<std::int32_t>(power65536);
        std::uint32_t wordPower = 1 % p, factors = 0;
        for (int w = 0; 2 * w < blockLength; ++w) {
            factors += wordPower;
            if (w % 2 == 0)
                wordPowers[w / 2][k] = static_cast<std::int32_t>(wordPower);
            else
                wordPowers[w / 2][k] |= static_cast<std::int32_t>(wordPower << 16);
            wordPower = wordPower * power65536 % p;
        }
        wordBias[k] = static_cast<std::int32_t>(32768 * factors);
    }
    for (int j = 0; j < blockLength; ++j)
        byteMask[j] = 0xff;
    if (!distinct) return;

    for (int i = 0; i < residues; ++i) {
        const std::uint32_t p = moduli[i].value;
        std::uint32_t product = 1 % p;
        for (int k = 0; k <= i; ++k) {
            weight[i][k] = product;
            product = product * moduli[k].value % p;
        }
        inverse[i] = InverseModulo(weight[i][i], p);
        auto factor = [&](int k) -> std::uint32_t {
            return k < i ? (p - inverse[i] * weight[i][k] % p) % p : 0;
        };
        for (int q = 0; 2 * q < i; ++q)
            garnerPairs[i][q] = Pair(factor(2 * q), factor(2 * q + 1));
    }

    // The products of the leading moduli modulo 256^24, little-endian, one row per digit.
    std::array<std::array<std::uint32_t, kMaxBlock>, kMaxResidues> bytes{};
    std::array<std::uint32_t, kMaxBlock> running{};
    running[0] = 1;
    for (int i = 0; i < residues; ++i) {
        bytes[i] = running;
        std::uint32_t carry = 0;
        for (std::uint32_t& byte : running) {
            const std::uint32_t t = byte * moduli[i].value + carry;
            byte = t & 0xff;
            carry = t >> 8;
        }
    }
    const int pairs = (residues + 1) / 2;
    const int columns = (blockLength + 1) / 2;
    std::array<std::array<std::uint32_t, kMaxColumns>, kMaxResidues + 1> words{};
    for (int i = 0; i < residues; ++i) {
        // Signed words, each carrying into the next; the carry out of the top word falls away
        // with everything above the block.
        std::int32_t carry = 0;
        for (int j = 0; j < columns; ++j) {
            std::int32_t word =
                static_cast<std::int32_t>(bytes[i][2 * j] | bytes[i][2 * j + 1] << 8) + carry;
            carry = word >= 32768 ? 1 : 0;
            word -= 65536 * carry;
            words[i][j] = static_cast<std::uint32_t>(word) & 0xffff;
        }
    }
    for (int j = 0; j < columns; ++j) {
        firstPair[j] = pairs;
        for (int q = pairs - 1; q >= 0; --q) {
            wordPairs[j][q] = Pair(words[2 * q][j], words[2 * q + 1][j]);
            if (wordPairs[j][q] != 0) firstPair[j] = q;
        }
    }
}

}  // namespace kiv
