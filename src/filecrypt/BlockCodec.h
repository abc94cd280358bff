#pragma once

#include <cstddef>
#include <cstdint>

#include "filecrypt/FileKey.h"
#include "residue/BlockTables.h"
#include "residue/CipherWorkspace.h"
#include "residue/InstructionSet.h"
#include "residue/KernelRegistry.h"
#include "residue/ResidueKernel.h"

namespace kiv {

// Encodes and decodes the blocks of a file run. Everything that depends only on the password is
// computed once: the powers of 256 modulo each modulus, the Garner weights and their inverses.
// The results are those of the workspace operations: encoding gives ComputeResidues' residues,
// decoding gives the bytes the workspace decoding gives, and all L of them exactly where the
// workspace's digit count leaves the top byte to chance. Keys whose moduli repeat decode through
// the workspace operations themselves.
class BlockCodec {
  public:
    static constexpr int kMaxResidues = BlockTables::kMaxResidues;
    static constexpr int kMaxBlock = BlockTables::kMaxBlock;

    // ws holds the schedule of key (PrepareFileKey) and stays in use for the fallback. set: the
    // instruction set asked for, which KernelRegistry turns into the kernel of the many-block
    // calls.
    BlockCodec(CipherWorkspace& ws, const FileKey& key,
               InstructionSet set = KernelRegistry::Best());

    int BlockLength() const { return tables_.blockLength; }
    int ResidueBytes() const { return tables_.residues; }
    // The instruction set whose kernel codes the many-block calls.
    InstructionSet Kernel() const { return kernel_->set; }
    // Whether DecodeBlocks may run on several threads at once: it then never touches the
    // workspace. EncodeBlocks always may.
    bool ConcurrentDecoding() const { return tables_.distinct; }

    // block: L bytes; residues: d - 1 bytes. The portable code, whatever the kernel.
    void Encode(const std::uint8_t* block, std::uint8_t* residues) const;
    void Decode(const std::uint8_t* residues, std::uint8_t* block);

    // count consecutive blocks.
    void EncodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* residues) const;
    void DecodeBlocks(const std::uint8_t* residues, std::size_t count, std::uint8_t* blocks);

  private:
    void DecodeLiteral(const std::uint8_t* residues, std::uint8_t* block);

    CipherWorkspace& ws_;
    BlockTables tables_;
    const ResidueKernel* kernel_;
};

}  // namespace kiv
