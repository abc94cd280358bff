#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "CipherWorkspace.h"
#include "FileKey.h"

namespace kiv {

// Encodes and decodes the blocks of a file run. Everything that depends only on the password is
// computed once: the powers of 256 modulo each modulus, the Garner weights and their inverses.
// The results are those of the workspace operations: encoding gives ComputeResidues' residues,
// decoding gives the bytes the workspace decoding gives, and all L of them exactly where the
// workspace's digit count leaves the top byte to chance. Keys whose moduli repeat decode through
// the workspace operations themselves.
class BlockCodec {
  public:
    static constexpr int kMaxResidues = 40;
    static constexpr int kMaxBlock = 24;

    // ws holds the schedule of key (PrepareFileKey) and stays in use for the fallback.
    BlockCodec(CipherWorkspace& ws, const FileKey& key);

    int BlockLength() const { return blockLength_; }
    int ResidueBytes() const { return residues_; }

    // block: L bytes; residues: d - 1 bytes.
    void Encode(const std::uint8_t* block, std::uint8_t* residues) const;
    void Decode(const std::uint8_t* residues, std::uint8_t* block);

    // count consecutive blocks.
    void EncodeBlocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* residues) const;
    void DecodeBlocks(const std::uint8_t* residues, std::size_t count, std::uint8_t* blocks);

  private:
    struct Modulus {
        std::uint32_t value = 1;
        std::uint64_t magic = 0;  // for a division-free remainder of 32-bit values
        std::uint32_t Reduce(std::uint32_t x) const {
            const std::uint64_t low = magic * x;
            return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * value) >> 64);
        }
    };

    void DecodeLiteral(const std::uint8_t* residues, std::uint8_t* block);

    CipherWorkspace& ws_;
    int blockLength_;
    int residues_;
    bool fast_;
    std::array<Modulus, kMaxResidues> moduli_{};
    // power_[j][k] = 256^j mod modulus k, laid out for a loop over k.
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxBlock> power_{};
    // weight_[i][k] = product of moduli 0..k-1 mod modulus i; inverse_[i] = weight_[i][i]^-1.
    std::array<std::array<std::uint32_t, kMaxResidues>, kMaxResidues> weight_{};
    std::array<std::uint32_t, kMaxResidues> inverse_{};
};

}  // namespace kiv
