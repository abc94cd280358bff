#include "BlockCodec.h"

#include <stdexcept>

#include "ResidueDecoding.h"

namespace kiv {

namespace {

std::uint32_t InverseModulo(std::uint32_t a, std::uint32_t p) {
    for (std::uint32_t x = 1; x < p; ++x)
        if (a * x % p == 1) return x;
    return 0;
}

}  // namespace

BlockCodec::BlockCodec(CipherWorkspace& ws, const FileKey& key)
    : ws_(ws),
      blockLength_(key.blockLength),
      residues_(key.ResidueBytes()),
      fast_(key.distinctModuli) {
    if (blockLength_ < 1 || blockLength_ > kMaxBlock || residues_ < blockLength_ ||
        residues_ > kMaxResidues)
        throw std::invalid_argument("block geometry out of range");
    for (int k = 0; k < residues_; ++k) {
        const std::int32_t m = ws.Moduli[k + 2];
        if (m <= 1) throw std::domain_error("Division by zero");
        moduli_[k].value = static_cast<std::uint32_t>(m);
        moduli_[k].magic = UINT64_MAX / static_cast<std::uint32_t>(m) + 1;
        std::uint32_t power = 1;
        for (int j = 0; j < blockLength_; ++j) {
            power_[j][k] = power;
            power = power * 256 % static_cast<std::uint32_t>(m);
        }
    }
    if (!fast_) {
        BuildWeightTable(ws, key.residueCount + 1);
        return;
    }
    for (int i = 0; i < residues_; ++i) {
        const std::uint32_t p = moduli_[i].value;
        std::uint32_t product = 1;
        for (int k = 0; k <= i; ++k) {
            weight_[i][k] = product;
            product = product * moduli_[k].value % p;
        }
        inverse_[i] = InverseModulo(weight_[i][i], p);
    }
}

void BlockCodec::Encode(const std::uint8_t* block, std::uint8_t* residues) const {
    // At most 24 terms below 256 x 263: the sum stays far below 2^32.
    std::array<std::uint32_t, kMaxResidues> sum{};
    for (int j = 0; j < blockLength_; ++j) {
        const std::uint32_t byte = block[j];
        const auto& row = power_[j];
        for (int k = 0; k < residues_; ++k)
            sum[k] += byte * row[k];
    }
    for (int k = 0; k < residues_; ++k)
        residues[k] = static_cast<std::uint8_t>(moduli_[k].Reduce(sum[k]));
}

void BlockCodec::Decode(const std::uint8_t* residues, std::uint8_t* block) {
    if (!fast_) {
        DecodeLiteral(residues, block);
        return;
    }
    // Garner's mixed-radix digits, then the number they stand for by Horner's rule, kept modulo
    // 2^192: the block's L <= 24 bytes are its lowest digits in base 256.
    std::array<std::uint32_t, kMaxResidues> digit{};
    for (int i = 0; i < residues_; ++i) {
        const Modulus& p = moduli_[i];
        std::uint32_t known = 0;
        for (int k = 0; k < i; ++k)
            known += digit[k] * weight_[i][k];
        const std::uint32_t target = p.Reduce(residues[i]) + p.value - p.Reduce(known);
        digit[i] = p.Reduce(p.Reduce(target) * inverse_[i]);
    }
    std::uint64_t limb[3] = {digit[residues_ - 1], 0, 0};
    for (int i = residues_ - 2; i >= 0; --i) {
        unsigned __int128 carry = digit[i];
        for (std::uint64_t& part : limb) {
            const unsigned __int128 t =
                static_cast<unsigned __int128>(part) * moduli_[i].value + carry;
            part = static_cast<std::uint64_t>(t);
            carry = t >> 64;
        }
    }
    for (int j = 0; j < blockLength_; ++j)
        block[j] = static_cast<std::uint8_t>(limb[j / 8] >> (8 * (j % 8)));
}

void BlockCodec::DecodeLiteral(const std::uint8_t* residues, std::uint8_t* block) {
    const int d = residues_ + 1;
    for (int i = 0; i < residues_; ++i)
        ws_.Residues[i + 2] = residues[i];
    ws_.ZeroDigitCount = 0;
    ReduceResidues(ws_, d + 1);
    ResiduesToMixedRadix(ws_, d + 1);
    MixedRadixToBytes(ws_, 256, d, blockLength_);
    for (int j = 0; j < blockLength_; ++j)
        block[j] = static_cast<std::uint8_t>(ws_.ByteDigits[j + 2]);
}

void BlockCodec::EncodeBlocks(const std::uint8_t* blocks, std::size_t count,
                              std::uint8_t* residues) const {
    for (std::size_t b = 0; b < count; ++b)
        Encode(blocks + b * static_cast<std::size_t>(blockLength_),
               residues + b * static_cast<std::size_t>(residues_));
}

void BlockCodec::DecodeBlocks(const std::uint8_t* residues, std::size_t count,
                              std::uint8_t* blocks) {
    for (std::size_t b = 0; b < count; ++b)
        Decode(residues + b * static_cast<std::size_t>(residues_),
               blocks + b * static_cast<std::size_t>(blockLength_));
}

}  // namespace kiv
