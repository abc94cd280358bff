#pragma once

#include <cstddef>
#include <cstdint>

#include "filecrypt/FileKey.h"
#include "residue/BlockTables.h"
#include "residue/CipherWorkspace.h"

namespace kiv {

// Which code codes the blocks: the best the processor runs, the portable scalar code (which the
// tests compare the vector code against), or one vector kernel. A vector kernel the processor
// lacks gives way to the next one down: AVX-512 to AVX2, AVX2 to the portable code.
enum class CodecKernel { Best, Portable, Avx2, Avx512 };

// "avx512", "avx2", "portable" (and "best").
const char* KernelName(CodecKernel kernel);

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

    // ws holds the schedule of key (PrepareFileKey) and stays in use for the fallback.
    BlockCodec(CipherWorkspace& ws, const FileKey& key, CodecKernel kernel = CodecKernel::Best);

    int BlockLength() const { return tables_.blockLength; }
    int ResidueBytes() const { return tables_.residues; }
    // Whether the many-block calls use the vector code, and which code they use.
    bool Vectorised() const { return kernel_ != CodecKernel::Portable; }
    CodecKernel Kernel() const { return kernel_; }
    // Whether this processor runs kernel; and the kernel Best stands for on it (for keys whose
    // moduli the vector code takes).
    static bool Runs(CodecKernel kernel);
    static CodecKernel BestKernel();
    // Whether DecodeBlocks may run on several threads at once: it then never touches the
    // workspace. EncodeBlocks always may.
    bool ConcurrentDecoding() const { return tables_.distinct; }

    // block: L bytes; residues: d - 1 bytes.
    void Encode(const std::uint8_t* block, std::uint8_t* residues) const;
    void Decode(const std::uint8_t* residues, std::uint8_t* block);

    // count consecutive blocks.
    void EncodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* residues) const;
    void DecodeBlocks(const std::uint8_t* residues, std::size_t count, std::uint8_t* blocks);

  private:
    void DecodeLiteral(const std::uint8_t* residues, std::uint8_t* block);

    CipherWorkspace& ws_;
    BlockTables tables_;
    CodecKernel kernel_;
};

}  // namespace kiv
