#include "residue/internal/PortableTextKernel.h"

#include <algorithm>
#include <array>

namespace kiv {

namespace {

using Limbs = std::array<std::uint64_t, 3>;

// acc += digit x factor, modulo 2^(64 kLimbs).
template <int kLimbs>
inline void AddProduct(Limbs& acc, std::uint64_t digit, const Limbs& factor) {
    if constexpr (kLimbs == 1) {
        acc[0] += digit * factor[0];
    } else {
        unsigned __int128 carry = 0;
        for (int l = 0; l < kLimbs; ++l) {
            const unsigned __int128 t =
                static_cast<unsigned __int128>(digit) * factor[l] + acc[l] + carry;
            acc[l] = static_cast<std::uint64_t>(t);
            carry = t >> 64;
        }
    }
}

template <int kLimbs>
void DecodePortable(const TextBlockTables& t, const std::uint16_t* values, std::size_t count,
                    std::uint8_t* bytes, std::uint8_t* zeros) {
    const int moduli = t.residues;
    const auto length = static_cast<std::size_t>(t.blockLength);
    for (std::size_t b = 0; b < count; ++b, values += moduli, bytes += length) {
        // Sums stay below 180 x 2^14 + 31 x 180 x 180 < 2^23.
        std::uint32_t digit[TextBlockTables::kMaxModuli];
        int zero = 0;
        Limbs acc{};
        for (int k = 0; k < moduli; ++k) {
            std::uint32_t sum = t.inverse[k] * values[k];
            const auto& factor = t.factor[k];
            for (int j = 0; j < k; ++j)
                sum += factor[j] * digit[j];
            digit[k] = t.moduli[k].Reduce(sum);
            zero += digit[k] == 0 ? 1 : 0;
            AddProduct<kLimbs>(acc, digit[k], t.product[k]);
        }
        zeros[b] = static_cast<std::uint8_t>(zero);
        for (std::size_t j = 0; j < length; ++j)
            bytes[j] = static_cast<std::uint8_t>(acc[j / 8] >> (8 * (j % 8)));
    }
}

// The noise of every chain value, from the starts: what a block's lookup reads.
void MakeRows(const TextBlockTables& tables, TextNoise& noise) {
    for (int k = 0; k < tables.residues; ++k) {
        const auto m = static_cast<std::int32_t>(tables.moduli[k].value);
        for (std::int32_t c = 0; c < TextNoise::kChainValues; ++c) {
            const std::int32_t u = (m * ((noise.base[k] + c) % 71) + c) % 19;
            noise.rows[k * TextNoise::kChainValues + c] = static_cast<std::uint16_t>(m * u);
        }
    }
    noise.rowsReady = true;
}

}  // namespace

void PortableTextKernel::Residues(const TextBlockTables& tables, const std::uint8_t* text,
                                  std::size_t count, std::uint8_t* residues) {
    const int moduli = tables.residues;
    const int length = tables.blockLength;
    const int words = length / 2;
    for (std::size_t b = 0; b < count; ++b, text += length, residues += 32) {
        // At most 9 words below 2^16 times factors below 181: far below 2^32.
        std::uint32_t sum[TextBlockTables::kMaxModuli] = {};
        for (int w = 0; w < words; ++w) {
            const std::uint32_t word = text[2 * w] | text[2 * w + 1] << 8;
            const auto& power = tables.wordPower[w];
            for (int k = 0; k < moduli; ++k)
                sum[k] += word * power[k];
        }
        if (length % 2 == 1) {
            const std::uint32_t word = text[length - 1];
            const auto& power = tables.wordPower[words];
            for (int k = 0; k < moduli; ++k)
                sum[k] += word * power[k];
        }
        for (int k = 0; k < moduli; ++k)
            residues[k] = static_cast<std::uint8_t>(tables.moduli[k].Reduce(sum[k]));
    }
}

void PortableTextKernel::Noise(const TextBlockTables& tables, TextNoise& noise,
                               const std::uint8_t* residues, std::size_t count,
                               std::uint32_t* chain, char* out, const std::uint32_t* at) {
    if (!noise.rowsReady) MakeRows(tables, noise);
    const int moduli = tables.residues;
    const std::uint8_t* residue = residues;
    for (std::size_t b = 0; b < count; ++b, residue += 32) {
        char* to = out + at[b];
        const std::uint16_t* row = noise.rows.data();
        for (int k = 0; k < moduli; ++k, row += TextNoise::kChainValues) {
            const std::uint32_t c = chain[k + 1];  // still the previous block's value
            const std::uint32_t entry = tables.noised[row[c] + residue[k]];
            to[0] = static_cast<char>(entry);
            to[1] = static_cast<char>(entry >> 8);
            to += 2;
            chain[k] = entry >> 16;
        }
    }
}

bool PortableTextKernel::PairValues(const TextBlockTables& tables, const char* chars,
                                    std::size_t pairs, std::uint16_t* values) {
    const auto* c = reinterpret_cast<const std::uint8_t*>(chars);
    std::uint32_t foreign = 0;
    for (std::size_t p = 0; p < pairs; ++p) {
        const std::uint16_t low = tables.charDigit[c[2 * p]];
        const std::uint16_t high = tables.charDigit[c[2 * p + 1]];
        foreign |= std::max(low, high) > 61 ? 1u : 0u;
        values[p] = static_cast<std::uint16_t>(low + 61 * high);
    }
    if (foreign == 0) return true;
    const auto moduli = static_cast<std::size_t>(tables.residues);
    for (std::size_t p = 0; p < pairs; ++p)
        values[p] = static_cast<std::uint16_t>(tables.moduli[p % moduli].Reduce(values[p]));
    return false;
}

void PortableTextKernel::Decode(const TextBlockTables& tables, const std::uint16_t* values,
                                std::size_t count, std::uint8_t* bytes, std::uint8_t* zeros) {
    if (tables.blockLength <= 8) {
        DecodePortable<1>(tables, values, count, bytes, zeros);
    } else if (tables.blockLength <= 16) {
        DecodePortable<2>(tables, values, count, bytes, zeros);
    } else {
        DecodePortable<3>(tables, values, count, bytes, zeros);
    }
}

}  // namespace kiv
