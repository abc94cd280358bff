#include "residue/PortableBlockKernel.h"

namespace kiv {

namespace {

void EncodeOne(const BlockTables& t, const std::uint8_t* block, std::uint8_t* residues) {
    // At most 24 terms below 256 x 263: the sum stays far below 2^32.
    std::uint32_t sum[BlockTables::kMaxResidues] = {};
    const int count = t.residues;
    for (int j = 0; j < t.blockLength; ++j) {
        const std::uint32_t byte = block[j];
        const auto& row = t.power[j];
        for (int k = 0; k < count; ++k)
            sum[k] += byte * row[k];
    }
    for (int k = 0; k < count; ++k)
        residues[k] = static_cast<std::uint8_t>(t.moduli[k].Reduce(sum[k]));
}

void DecodeOne(const BlockTables& t, const std::uint8_t* residues, std::uint8_t* block) {
    // Garner's mixed-radix digits, then the number they stand for by Horner's rule, kept modulo
    // 2^192: the block's L <= 24 bytes are its lowest digits in base 256.
    const int count = t.residues;
    std::uint32_t digit[BlockTables::kMaxResidues] = {};
    for (int i = 0; i < count; ++i) {
        const BlockTables::Modulus& p = t.moduli[i];
        std::uint32_t known = 0;
        for (int k = 0; k < i; ++k)
            known += digit[k] * t.weight[i][k];
        const std::uint32_t target = p.Reduce(residues[i]) + p.value - p.Reduce(known);
        digit[i] = p.Reduce(p.Reduce(target) * t.inverse[i]);
    }
    std::uint64_t limb[3] = {digit[count - 1], 0, 0};
    for (int i = count - 2; i >= 0; --i) {
        unsigned __int128 carry = digit[i];
        for (std::uint64_t& part : limb) {
            const unsigned __int128 product =
                static_cast<unsigned __int128>(part) * t.moduli[i].value + carry;
            part = static_cast<std::uint64_t>(product);
            carry = product >> 64;
        }
    }
    for (int j = 0; j < t.blockLength; ++j)
        block[j] = static_cast<std::uint8_t>(limb[j / 8] >> (8 * (j % 8)));
}

}  // namespace

void PortableBlockKernel::Encode(const BlockTables& tables, const std::uint8_t* blocks,
                                 std::size_t count, std::uint8_t* residues) {
    for (std::size_t b = 0; b < count; ++b)
        EncodeOne(tables, blocks + b * static_cast<std::size_t>(tables.blockLength),
                  residues + b * static_cast<std::size_t>(tables.residues));
}

void PortableBlockKernel::Decode(const BlockTables& tables, const std::uint8_t* residues,
                                 std::size_t count, std::uint8_t* blocks) {
    for (std::size_t b = 0; b < count; ++b)
        DecodeOne(tables, residues + b * static_cast<std::size_t>(tables.residues),
                  blocks + b * static_cast<std::size_t>(tables.blockLength));
}

}  // namespace kiv
