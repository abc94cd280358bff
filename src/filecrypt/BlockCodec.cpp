#include "filecrypt/BlockCodec.h"

#include "residue/Avx2BlockKernel.h"
#include "residue/Avx512BlockKernel.h"
#include "residue/ResidueDecoding.h"

namespace kiv {

namespace {

// The kernel that codes with tables: the one asked for, or the best below it that runs here.
CodecKernel Chosen(CodecKernel asked, const BlockTables& tables) {
    if (asked == CodecKernel::Portable || !tables.vectorFit) return CodecKernel::Portable;
    if (asked != CodecKernel::Avx2 && Avx512BlockKernel::Available()) return CodecKernel::Avx512;
    if (Avx2BlockKernel::Available()) return CodecKernel::Avx2;
    return CodecKernel::Portable;
}

}  // namespace

const char* KernelName(CodecKernel kernel) {
    switch (kernel) {
        case CodecKernel::Best:
            return "best";
        case CodecKernel::Portable:
            return "portable";
        case CodecKernel::Avx2:
            return "avx2";
        case CodecKernel::Avx512:
            return "avx512";
    }
    return "?";
}

bool BlockCodec::Runs(CodecKernel kernel) {
    switch (kernel) {
        case CodecKernel::Avx2:
            return Avx2BlockKernel::Available();
        case CodecKernel::Avx512:
            return Avx512BlockKernel::Available();
        default:
            return true;
    }
}

CodecKernel BlockCodec::BestKernel() {
    if (Avx512BlockKernel::Available()) return CodecKernel::Avx512;
    if (Avx2BlockKernel::Available()) return CodecKernel::Avx2;
    return CodecKernel::Portable;
}

BlockCodec::BlockCodec(CipherWorkspace& ws, const FileKey& key, CodecKernel kernel)
    : ws_(ws),
      tables_(&ws.Moduli[2], key.ResidueBytes(), key.blockLength, key.distinctModuli),
      kernel_(Chosen(kernel, tables_)) {
    if (!tables_.distinct) BuildWeightTable(ws, key.residueCount + 1);
}

void BlockCodec::Encode(const std::uint8_t* block, std::uint8_t* residues) const {
    // At most 24 terms below 256 x 263: the sum stays far below 2^32.
    std::uint32_t sum[kMaxResidues] = {};
    const int count = tables_.residues;
    for (int j = 0; j < tables_.blockLength; ++j) {
        const std::uint32_t byte = block[j];
        const auto& row = tables_.power[j];
        for (int k = 0; k < count; ++k)
            sum[k] += byte * row[k];
    }
    for (int k = 0; k < count; ++k)
        residues[k] = static_cast<std::uint8_t>(tables_.moduli[k].Reduce(sum[k]));
}

void BlockCodec::Decode(const std::uint8_t* residues, std::uint8_t* block) {
    if (!tables_.distinct) {
        DecodeLiteral(residues, block);
        return;
    }
    // Garner's mixed-radix digits, then the number they stand for by Horner's rule, kept modulo
    // 2^192: the block's L <= 24 bytes are its lowest digits in base 256.
    const int count = tables_.residues;
    std::uint32_t digit[kMaxResidues] = {};
    for (int i = 0; i < count; ++i) {
        const BlockTables::Modulus& p = tables_.moduli[i];
        std::uint32_t known = 0;
        for (int k = 0; k < i; ++k)
            known += digit[k] * tables_.weight[i][k];
        const std::uint32_t target = p.Reduce(residues[i]) + p.value - p.Reduce(known);
        digit[i] = p.Reduce(p.Reduce(target) * tables_.inverse[i]);
    }
    std::uint64_t limb[3] = {digit[count - 1], 0, 0};
    for (int i = count - 2; i >= 0; --i) {
        unsigned __int128 carry = digit[i];
        for (std::uint64_t& part : limb) {
            const unsigned __int128 t =
                static_cast<unsigned __int128>(part) * tables_.moduli[i].value + carry;
            part = static_cast<std::uint64_t>(t);
            carry = t >> 64;
        }
    }
    for (int j = 0; j < tables_.blockLength; ++j)
        block[j] = static_cast<std::uint8_t>(limb[j / 8] >> (8 * (j % 8)));
}

void BlockCodec::DecodeLiteral(const std::uint8_t* residues, std::uint8_t* block) {
    const int d = tables_.residues + 1;
    for (int i = 0; i < tables_.residues; ++i)
        ws_.Residues[i + 2] = residues[i];
    ws_.ZeroDigitCount = 0;
    ReduceResidues(ws_, d + 1);
    ResiduesToMixedRadix(ws_, d + 1);
    MixedRadixToBytes(ws_, 256, d, tables_.blockLength);
    for (int j = 0; j < tables_.blockLength; ++j)
        block[j] = static_cast<std::uint8_t>(ws_.ByteDigits[j + 2]);
}

void BlockCodec::EncodeBlocks(const std::uint8_t* blocks, std::size_t count,
                              std::uint8_t* residues) const {
    if (kernel_ == CodecKernel::Avx512) {
        Avx512BlockKernel::Encode(tables_, blocks, count, residues);
        return;
    }
    if (kernel_ == CodecKernel::Avx2) {
        Avx2BlockKernel::Encode(tables_, blocks, count, residues);
        return;
    }
    for (std::size_t b = 0; b < count; ++b)
        Encode(blocks + b * static_cast<std::size_t>(tables_.blockLength),
               residues + b * static_cast<std::size_t>(tables_.residues));
}

void BlockCodec::DecodeBlocks(const std::uint8_t* residues, std::size_t count,
                              std::uint8_t* blocks) {
    if (kernel_ == CodecKernel::Avx512 && tables_.distinct) {
        Avx512BlockKernel::Decode(tables_, residues, count, blocks);
        return;
    }
    if (kernel_ == CodecKernel::Avx2 && tables_.distinct) {
        Avx2BlockKernel::Decode(tables_, residues, count, blocks);
        return;
    }
    for (std::size_t b = 0; b < count; ++b)
        Decode(residues + b * static_cast<std::size_t>(tables_.residues),
               blocks + b * static_cast<std::size_t>(tables_.blockLength));
}

}  // namespace kiv
