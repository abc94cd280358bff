#pragma once

#include <cstdint>

#include "numeric/Clock.h"

namespace kiv {

// The program's own pseudo-random generator: a 64-bit linear congruential recurrence with a
// 31-bit output. Every draw the cipher makes follows a seeding from the clock, so the state
// before the first seeding is never observed. One state per concurrent operation.
struct RandomState {
    std::uint64_t state = 0;
};

// Low word = (seed * 22695477 + 1) mod 2^32, high word = 0.
void SeedGenerator(RandomState& random, std::uint32_t seed);

// Advances the state and returns bits 32..62 of it: 0..2147483647.
std::int32_t NextRandom(RandomState& random);

// Seeds with the clock's whole seconds; two seedings within one second restart one sequence.
void SeedRandom(RandomState& random, const Clock& clock);

// 0 when limit is 0 (nothing is drawn), else NextRandom modulo limit.
std::int32_t RandomBelow(RandomState& random, std::int32_t limit);

}  // namespace kiv
