#include "filecrypt/BlockCodec.h"

#include "residue/PortableBlockKernel.h"
#include "residue/ResidueDecoding.h"

namespace kiv {

BlockCodec::BlockCodec(CipherWorkspace& ws, const FileKey& key, InstructionSet set)
    : ws_(ws),
      tables_(&ws.Moduli[2], key.ResidueBytes(), key.blockLength, key.distinctModuli),
      kernel_(&KernelRegistry::For(set, tables_)) {
    if (!tables_.distinct) BuildWeightTable(ws, key.residueCount + 1);
}

void BlockCodec::Encode(const std::uint8_t* block, std::uint8_t* residues) const {
    PortableBlockKernel::Encode(tables_, block, 1, residues);
}

void BlockCodec::Decode(const std::uint8_t* residues, std::uint8_t* block) {
    if (!tables_.distinct) {
        DecodeLiteral(residues, block);
        return;
    }
    PortableBlockKernel::Decode(tables_, residues, 1, block);
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
    kernel_->encodeBlocks(tables_, blocks, count, residues);
}

void BlockCodec::DecodeBlocks(const std::uint8_t* residues, std::size_t count,
                              std::uint8_t* blocks) {
    if (tables_.distinct) {
        kernel_->decodeBlocks(tables_, residues, count, blocks);
        return;
    }
    for (std::size_t b = 0; b < count; ++b)
        DecodeLiteral(residues + b * static_cast<std::size_t>(tables_.residues),
                      blocks + b * static_cast<std::size_t>(tables_.blockLength));
}

}  // namespace kiv
