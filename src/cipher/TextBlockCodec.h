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
#include "residue/TextBlockTables.h"

namespace kiv {

// Which code codes a text's blocks: the best the processor runs, the portable table code (which
// the tests compare the vector code against), or one vector kernel. A vector kernel the
// processor lacks gives way to the next one down: AVX-512 to AVX2, AVX2 to the portable code.
enum class TextKernel { Best, Portable, Avx2, Avx512 };

// A text codec built once per key: encrypts and decrypts whole texts with the results, to the
// character, of the workspace operations (ComputeResidues, AddNoise, ReduceResidues,
// ResiduesToMixedRadix, MixedRadixToBytes), without solving a congruence per digit and, where
// the processor has AVX2, with many blocks side by side. Keys whose moduli repeat (or fall
// outside what the tables hold) get no codec and keep the workspace operations.
class TextBlockCodec {
  public:
    // The codec for key, whose schedule ws holds with n moduli Moduli[2..n]; nullptr when the
    // moduli are not pairwise distinct, not within 1..181, or more than 32.
    static std::unique_ptr<TextBlockCodec> Create(const CipherWorkspace& ws, std::string_view key,
                                                  int n, const CharacterOrder& order,
                                                  TextKernel kernel);

    // Wipes the key and the plain bytes the scratch rows still hold.
    ~TextBlockCodec();
    TextBlockCodec(const TextBlockCodec&) = delete;
    TextBlockCodec& operator=(const TextBlockCodec&) = delete;

    // Whether this codec was built for key (cut as the text cores cut it), order and kernel.
    bool Serves(std::string_view key, const CharacterOrder& order, TextKernel kernel) const;

    int BlockLength() const { return tables_.blockLength; }
    int BlockChars() const { return 2 * tables_.residues; }
    bool Vectorised() const { return vector_; }
    // Whether the residues, pair values and digits go through the AVX-512 kernel (the noise
    // then takes the AVX2 one).
    bool Wide() const { return wide_; }
    // Whether this processor runs kernel, and the kernel Best stands for on it.
    static bool Runs(TextKernel kernel);
    static TextKernel BestKernel();

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
                   const CharacterOrder& order, TextKernel kernel);

    void PrepareNoise(std::int32_t seed, std::int32_t stamp);
    void EncodeResidues(const std::uint8_t* text, std::size_t count, std::uint8_t* residues) const;
    // The pair values of the first blocks x (n - 1) pairs of chars; false when a character lies
    // outside the alphabet (values of such blocks are reduced modulo their moduli, which keeps
    // every sum of the decoding in range and changes no digit).
    bool PairValues(const char* chars, std::size_t blocks, std::uint16_t* values) const;
    void DecodeBlocks(const std::uint16_t* values, std::size_t count, std::uint8_t* bytes,
                      std::uint8_t* zeros) const;
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
    TextKernel kernel_;
    bool vector_;
    bool wide_;

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
    // The noise of the latest seed and stamp: noise_[k][c] = modulus k x u for the chain value
    // c, where u = (m x ((r + c + 7 + stamp) mod 71) + c) mod 19 with the seed's draw r for
    // modulus k; and the generator as the seed's n - 1 draws leave it.
    static constexpr int kChainValues = 64;  // the chain holds 0..61
    bool noiseReady_ = false;
    std::int32_t noiseSeed_ = 0;
    std::int32_t noiseStamp_ = 0;
    std::array<std::uint16_t, TextBlockTables::kMaxModuli * kChainValues> noise_{};
    // (r + 7 + stamp) mod 71 for each modulus: the vector code's start.
    alignas(32) std::array<std::uint16_t, TextBlockTables::kMaxModuli> noiseBase_{};
    RandomState drawn_;
};

}  // namespace kiv
