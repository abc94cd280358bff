#pragma once

#include <array>
#include <cstdint>

#include "residue/TextBlockTables.h"

namespace kiv {

// The noise of one seed and stamp, which every text block coded within one second of the clock
// shares (the generator is reseeded from the clock's seconds at every block): for each modulus,
// the start of its noise, and, for the kernels that look the noise up, the noise of every chain
// value.
struct TextNoise {
    static constexpr int kChainValues = 64;  // the chain holds 0..61

    // Starts anew from base: the lookup rows are made again at their next use.
    void Reset() { rowsReady = false; }

    // base[k] = (r + 7 + stamp) mod 71 for the seed's draw r of modulus k.
    alignas(32) std::array<std::uint16_t, TextBlockTables::kMaxModuli> base{};
    // rows[k][c] = modulus k x u for the chain value c, where u = (m x ((base[k] + c) mod 71)
    // + c) mod 19; made from base by the kernel that reads them, once per seed and stamp.
    bool rowsReady = false;
    std::array<std::uint16_t, TextBlockTables::kMaxModuli * kChainValues> rows{};
};

}  // namespace kiv
