#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <vector>

#include "numeric/FloatingPointEnvironment.h"
#include "numeric/NumericServices.h"
#include "numeric/RandomGenerator.h"
#include "support/FixedClock.h"

namespace kiv {
namespace {

std::vector<std::int32_t> Draws(std::uint32_t seed, int count) {
    RandomState random;
    SeedGenerator(random, seed);
    std::vector<std::int32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(NextRandom(random));
    return out;
}

TEST(RandomGenerator, KnownDrawsForSeedsZeroAndOne) {
    EXPECT_EQ(Draws(0, 5),
              (std::vector<std::int32_t>{346, 13854878, 1621890440, 816282396, 1778554774}));
    EXPECT_EQ(Draws(1, 5),
              (std::vector<std::int32_t>{1410184549, 672584604, 1915668986, 576821944, 167078712}));
}

TEST(RandomGenerator, RandomBelowReducesDrawsAndZeroDrawsNothing) {
    RandomState random;
    SeedGenerator(random, 0);
    const std::uint64_t before = random.state;
    EXPECT_EQ(RandomBelow(random, 0), 0);
    EXPECT_EQ(random.state, before);
    std::vector<std::int32_t> got;
    for (int i = 0; i < 5; ++i)
        got.push_back(RandomBelow(random, 213));
    EXPECT_EQ(got, (std::vector<std::int32_t>{133, 80, 23, 153, 88}));
}

TEST(RandomGenerator, SeedingInTheSameSecondRestartsTheSequence) {
    FixedClock clock(1700000000, LocalTime{});
    RandomState a, b;
    SeedRandom(a, clock);
    const std::int32_t first = NextRandom(a);
    SeedRandom(b, clock);
    EXPECT_EQ(NextRandom(b), first);
    FixedClock broken(-1, LocalTime{});
    SeedRandom(a, broken);
    SeedGenerator(b, 4294967295u);
    EXPECT_EQ(a.state, b.state);
}

TEST(NumericServices, TruncateToIntTruncatesTowardZeroAndWraps) {
    EXPECT_EQ(TruncateToInt(2.9L), 2);
    EXPECT_EQ(TruncateToInt(-2.9L), -2);
    EXPECT_EQ(TruncateToInt(-0.5L), 0);
    EXPECT_EQ(TruncateToInt(999999999.9L), 999999999);
    EXPECT_EQ(TruncateToInt(4294967296.0L + 5.0L), 5);
    EXPECT_EQ(TruncateToInt(1e30L), 0);
}

TEST(NumericServices, NaturalLogIsExtendedPrecisionAndQuietAtZero) {
    // The process's environment, not the one the test runner happened to start with, is what
    // keeps the 64-bit significand.
    SetFloatingPointEnvironment();
    // Sums and quotients of logarithms keep 64 bits: 1 + 2^-63 is not rounded back to 1.
    volatile Extended one = 1.0L;
    EXPECT_NE(one + std::ldexp(one, -63), one);
    EXPECT_EQ(static_cast<double>(NaturalLog(1.0)), 0.0);
    EXPECT_NEAR(static_cast<double>(NaturalLog(256.0)), 5.545177444479562, 1e-15);
    // ln 256 = 8 ln 2 to the last bit of the 64-bit significand.
    EXPECT_EQ(NaturalLog(256.0), 8 * NaturalLog(2.0));
    EXPECT_TRUE(std::isinf(NaturalLog(0.0)) && NaturalLog(0.0) < 0);
    EXPECT_TRUE(std::isnan(NaturalLog(-1.0)));
    EXPECT_NO_THROW(RaiseTrappedFloatingPoint());
}

TEST(NumericServices, TrappedConditionsCarryTheirTexts) {
    volatile double zero = 0.0;
    volatile double one = 1.0;
    volatile double big = 1e308;
    SetFloatingPointEnvironment();
    volatile double r = one / zero;
    (void)r;
    try {
        RaiseTrappedFloatingPoint();
        FAIL();
    } catch (const FloatingPointError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    r = big * big;
    EXPECT_THROW(RaiseTrappedFloatingPoint(), FloatingPointError);
    r = zero / zero;
    try {
        RaiseTrappedFloatingPoint();
        FAIL();
    } catch (const FloatingPointError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    r = big * big;
    try {
        RaiseTrappedFloatingPoint();
        FAIL();
    } catch (const FloatingPointError& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
}

TEST(NumericServices, TimeOfDayAndStamp) {
    FixedClock noon(0, LocalTime{2026, 12, 7, 12, 0, 0, 0});
    EXPECT_EQ(TimeOfDayFraction(noon), 0.5);
    EXPECT_EQ(TimeStampOf(0.5), 500000000);
    FixedClock late(0, LocalTime{2026, 12, 7, 23, 59, 59, 999});
    const double fraction = TimeOfDayFraction(late);
    EXPECT_LT(fraction, 1.0);
    EXPECT_EQ(TimeStampOf(fraction), 999999988);
    FixedClock oneMs(0, LocalTime{2026, 12, 7, 0, 0, 0, 1});
    EXPECT_EQ(TimeStampOf(TimeOfDayFraction(oneMs)), 11);
}

TEST(NumericServices, DateTimeTextPicksDateTimeOrBoth) {
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(DateTimeText(1.0), "12/31/99");
    EXPECT_EQ(DateTimeText(0.5), "12:00:00");
    EXPECT_EQ(DateTimeText(1.75), "12/31/99 18:00:00");
    EXPECT_EQ(DateTimeValue(LocalTime{1899, 12, 31, 0, 0, 0, 0}), 1.0);
    EXPECT_EQ(DateTimeValue(LocalTime{2026, 12, 7, 6, 0, 0, 0}), 46363.25);
    EXPECT_EQ(DateTimeText(46363.0), "12/07/26");
}

}  // namespace
}  // namespace kiv
