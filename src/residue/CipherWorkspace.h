#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "numeric/Clock.h"
#include "numeric/RandomGenerator.h"
#include "numeric/SystemClock.h"
#include "runtime/SecretWipe.h"

namespace kiv {

// The text cores' codec for the latest key: built at its first use and kept while the key stays.
// Held without its type (TextBlockCodec::Kept gives it), since the text cipher sits above the
// workspace. A copied workspace starts without one, so that no two workspaces share its scratch
// rows.
struct TextCodecSlot {
    TextCodecSlot() = default;
    TextCodecSlot(const TextCodecSlot&) {}
    TextCodecSlot& operator=(const TextCodecSlot&) {
        codec.reset();
        return *this;
    }
    std::shared_ptr<void> codec;
};

// The rows through which the engine's operations hand their results to each other. Rows are
// indexed from 0 and used from index 1 or 2; a count n means entries 2..n unless said otherwise.
// One workspace per concurrent operation: the window keeps one for its text actions, every file
// run gets its own. Rows that an operation does not clear keep what the previous one left, and
// some results depend on that (the noise chain above all), so a workspace is reused, not reset.
struct CipherWorkspace {
    static constexpr int kRow = 256;
    static constexpr int kWeightSize = 100;
    static constexpr int kNoiseChainSize = 100;
    static constexpr int kKeyTextSize = 200;
    static constexpr int kAuxTextSize = 100;

    using Row = std::array<std::int32_t, kRow>;

    explicit CipherWorkspace(const Clock& clock = SystemClock::Instance()) : clock(&clock) {}
    CipherWorkspace(const CipherWorkspace&) = default;
    CipherWorkspace& operator=(const CipherWorkspace&) = default;
    // The rows hold the key, what was derived from it and the bytes of the latest blocks.
    ~CipherWorkspace() { WipeRows(); }

    void WipeRows() noexcept {
        WipeBytes(ScratchA.data(), sizeof ScratchA);
        WipeBytes(ScratchB.data(), sizeof ScratchB);
        WipeBytes(ReducedResidues.data(), sizeof ReducedResidues);
        WipeBytes(GarnerSums.data(), sizeof GarnerSums);
        WipeBytes(NoiseChain.data(), sizeof NoiseChain);
        WipeBytes(KeyText.data(), sizeof KeyText);
        WipeBytes(AuxText.data(), sizeof AuxText);
        WipeBytes(MixedDigits.data(), sizeof MixedDigits);
        WipeBytes(Moduli.data(), sizeof Moduli);
        WipeBytes(BlockValues.data(), sizeof BlockValues);
        WipeBytes(ByteDigits.data(), sizeof ByteDigits);
        WipeBytes(Residues.data(), sizeof Residues);
        WipeBytes(NoiseDigits.data(), sizeof NoiseDigits);
        WipeBytes(WeightTable.data(), sizeof WeightTable);
    }

    // Once an operation is over, the key's text goes (and the password a file run keeps in
    // AuxText), with the codec built for it: the next operation copies its own key in anyway.
    void ForgetKey() noexcept {
        WipeBytes(KeyText.data(), sizeof KeyText);
        WipeBytes(AuxText.data(), sizeof AuxText);
        textCodec.codec.reset();
    }

    Row ScratchA{};
    Row ScratchB{};
    Row ReducedResidues{};
    Row GarnerSums{};
    std::int32_t ZeroDigitCount = 0;
    std::int32_t ByteDigitCount = 0;
    std::array<std::int32_t, kNoiseChainSize + 1> NoiseChain{};  // indexed from 1
    std::array<char, kKeyTextSize> KeyText{};                    // NUL-terminated
    std::array<char, kAuxTextSize> AuxText{};                    // NUL-terminated
    Row MixedDigits{};
    Row Moduli{};
    Row BlockValues{};
    Row ByteDigits{};
    Row Residues{};
    std::array<std::int32_t, 510> NoiseDigits{};
    std::array<std::array<std::int32_t, kWeightSize>, kWeightSize> WeightTable{};

    // The noise generator's state and the clock it is seeded from.
    RandomState random;
    const Clock* clock;

    TextCodecSlot textCodec;
};

// Copies text into a NUL-terminated row, cut to capacity - 1 bytes and at its first NUL.
template <std::size_t N>
void CopyText(std::array<char, N>& row, const char* data, std::size_t length) {
    std::size_t i = 0;
    for (; i < length && i + 1 < N && data[i] != '\0'; ++i)
        row[i] = data[i];
    row[i] = '\0';
}

}  // namespace kiv
