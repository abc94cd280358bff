#pragma once

#include <cstdint>

namespace kiv {

// Small helpers for the per-key tables of the block codecs (texts and files).

// x with a * x = 1 (mod p), for p > 1 and a not divisible by p; 0 when there is none. Tables are
// built once per key from moduli below 256, so a plain search is cheap enough.
inline std::uint32_t InverseModulo(std::uint32_t a, std::uint32_t p) {
    for (std::uint32_t x = 1; x < p; ++x)
        if (a * x % p == 1) return x;
    return 0;
}

// Two 16-bit factors in one 32-bit lane, the low one first, as the AVX2 multiply-add takes them.
inline std::int32_t Pair(std::uint32_t low, std::uint32_t high) {
    return static_cast<std::int32_t>(low | high << 16);
}

}  // namespace kiv
