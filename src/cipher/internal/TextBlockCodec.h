#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cipher/CharacterOrder.h"
#include "cipher/CipherMessages.h"
#include "numeric/RandomGenerator.h"
#include "residue/CipherWorkspace.h"
#include "residue/InstructionSet.h"
#include "residue/ResidueKernel.h"
#include "residue/TextBlockTables.h"
#include "residue/TextNoise.h"

namespace kiv {

// A text codec built once per key: encrypts and decrypts whole texts with the results, to the
// character, of the workspace operations (ComputeResidues, AddNoise, ReduceResidues,
// ResiduesToMixedRadix, MixedRadixToBytes), without solving a congruence per digit and, where
// the processor has AVX2, with many blocks side by side (the kernel KernelRegistry picks). Keys
// whose moduli repeat (or fall outside what the tables hold) get no codec and keep the workspace
// operations.
class TextBlockCodec {
  public:
    // The codec for key, whose schedule ws holds with n moduli Moduli[2..n]; nullptr when the
    // moduli are not pairwise distinct, not within 1..181, or more than 32. set: the instruction
    // set asked for.
    static std::unique_ptr<TextBlockCodec> Create(const CipherWorkspace& ws, std::string_view key,
                                                  int n, const CharacterOrder& order,
                                                  InstructionSet set);

    // The codec the text cores keep in ws for its latest key; nullptr before the first.
    static TextBlockCodec* Kept(const CipherWorkspace& ws) {
        return static_cast<TextBlockCodec*>(ws.textCodec.codec.get());
    }

    // Wipes the key and the plain bytes the scratch rows still hold.
    ~TextBlockCodec();
    TextBlockCodec(const TextBlockCodec&) = delete;
    TextBlockCodec& operator=(const TextBlockCodec&) = delete;

    // Whether this codec was built for key (cut as the text cores cut it), order and set.
    bool Serves(std::string_view key, const CharacterOrder& order, InstructionSet set) const;

    int BlockLength() const { return tables_.blockLength; }
    int BlockChars() const { return 2 * tables_.residues; }
    // The instruction set whose kernel codes the blocks.
    InstructionSet Kernel() const { return kernel_->set; }

    // Appends the cipher text of text to out: for each block, in order, the generator reseeded
    // from ws.clock and n - 1 draws, the noise chain in ws.NoiseChain carried from block to
    // block, and the stamp. The clock is read once per run of up to kClockBlocks blocks (a fixed
    // clock gives the workspace operations' result to the character). Leaves ws.NoiseChain and
    // ws.random as the workspace operations leave them.
    void Encrypt(std::string_view text, std::int32_t stamp, CipherWorkspace& ws, std::string& out);

    // Appends the cipher texts of texts[0..count-1], each followed by after, to out: what
    // Encrypt gives them one after the other with the same stamp, the noise chain running on
    // from each text's last block into the next text's first. The texts' blocks are coded side
    // by side, up to kClockBlocks of them per reading of the clock.
    void Encrypt(const std::string_view* texts, std::size_t count, std::string_view after,
                 std::int32_t stamp, CipherWorkspace& ws, std::string& out);

    // What decrypting one cipher text found.
    struct Verdict {
        bool lastFailed = false;  // the last block failed the zero-digit test or was cut
        bool cutAtNul = false;    // the decryption ended at a NUL byte before its last block
    };

    // Decrypts texts[0..count-1], all blocks side by side. Shows each block's message (at most
    // one per block) in text order before anything is decoded. plain[t] receives the bytes of
    // text t's accepted blocks up to the first NUL among them.
    void Decrypt(const std::string_view* texts, std::size_t count, CipherMessages& messages,
                 std::string* plain, Verdict* verdicts);

    // Blocks of encryption between two readings of the clock.
    static constexpr std::size_t kClockBlocks = 1024;

    // The blocks a text of bytes bytes is cut into: bytes / L rounded up. A multiplication
    // rather than a division, which cost as much as the rest of a short line's bookkeeping.
    std::size_t BlocksOf(std::size_t bytes) const {
        if (bytes >= kExactBelow) return bytes / blockLength_ + (bytes % blockLength_ != 0);
        const std::uint64_t sum = bytes + blockLength_ - 1;
        return static_cast<std::size_t>((static_cast<unsigned __int128>(sum) * blockMagic_) >> 64);
    }

  private:
    TextBlockCodec(const std::int32_t* moduli, int count, std::string_view key,
                   const CharacterOrder& order, InstructionSet set);

    void PrepareNoise(std::int32_t seed, std::int32_t stamp);
    // At most one message per block, the first character outside the alphabet (or the first
    // missing one of a cut block) choosing its text.
    void ShowMessages(std::string_view text, std::size_t readChars, bool cut,
                      CipherMessages& messages) const;

    TextBlockTables tables_;
    // 2^64 / L rounded up, which is at most L - 1 too large: the quotient of any sum below
    // 2^58 by L is then exact.
    static constexpr std::size_t kExactBelow = std::size_t{1} << 58;
    std::size_t blockLength_;
    std::uint64_t blockMagic_;
    std::string key_;
    CharacterOrder order_;
    InstructionSet asked_;
    const ResidueKernel* kernel_;

    // Scratch reused from call to call.
    std::vector<std::uint8_t> residues_;
    std::vector<std::uint16_t> values_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> zeros_;
    std::vector<std::size_t> firstBlock_;
    std::string padded_;
    // Where each block's characters go, from the start of its run of blocks, and where the runs'
    // texts end.
    std::vector<std::uint32_t> at_;
    std::vector<std::size_t> ends_;
    // The noise of the latest seed and stamp, and the generator as the seed's n - 1 draws leave
    // it.
    bool noiseReady_ = false;
    std::int32_t noiseSeed_ = 0;
    std::int32_t noiseStamp_ = 0;
    TextNoise noise_;
    RandomState drawn_;
};

}  // namespace kiv
