#include "numeric/RandomGenerator.h"

namespace kiv {

void SeedGenerator(RandomState& random, std::uint32_t seed) {
    random.state = static_cast<std::uint32_t>(seed * 22695477u + 1u);
}

std::int32_t NextRandom(RandomState& random) {
    random.state = random.state * 1486058704437ull + 1ull;
    return static_cast<std::int32_t>((random.state >> 32) & 0x7FFFFFFFu);
}

void SeedRandom(RandomState& random, const Clock& clock) {
    SeedGenerator(random, static_cast<std::uint32_t>(clock.ClockSeconds()));
}

std::int32_t RandomBelow(RandomState& random, std::int32_t limit) {
    if (limit == 0) return 0;
    return NextRandom(random) % limit;
}

}  // namespace kiv
