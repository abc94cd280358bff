#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "residue/KeySchedule.h"
#include "support/RandomInput.h"
#include "support/WorkspaceRow.h"

namespace kiv {
namespace {

using testing::Row;

TEST(GeneratePrimes, TextTableReversed) {
    CipherWorkspace ws;
    GeneratePrimes(ws, 44, 0);
    EXPECT_EQ(Row(ws.Moduli, 1, 46),
              (std::vector<int>{191, 181, 179, 173, 167, 163, 157, 151, 149, 139, 137, 131,
                                127, 113, 109, 107, 103, 101, 97,  89,  83,  79,  73,  71,
                                67,  61,  59,  53,  47,  43,  41,  37,  31,  29,  23,  19,
                                17,  13,  11,  7,   5,   3,   2,   1,   193, 197}));
}

TEST(GeneratePrimes, TextTableInOrderAndFileTable) {
    CipherWorkspace ws;
    GeneratePrimes(ws, 44, 1);
    EXPECT_EQ(Row(ws.Moduli, 1, 6), (std::vector<int>{1, 2, 3, 5, 7, 11}));
    EXPECT_EQ(ws.Moduli[44], 191);
    EXPECT_EQ(ws.Moduli[46], 197);
    GeneratePrimes(ws, 55, 0);
    EXPECT_EQ(Row(ws.Moduli, 1, 4), (std::vector<int>{251, 241, 239, 233}));
    EXPECT_EQ(Row(ws.Moduli, 53, 57), (std::vector<int>{3, 2, 1, 257, 263}));
}

struct Range {
    int low, high;
};
// n for each key length 3..17, from the slowest to the fastest order of the moduli.
const Range kRanges[] = {{8, 12},  {9, 14},  {10, 15}, {11, 17}, {12, 18},
                         {13, 20}, {14, 21}, {16, 22}, {17, 24}, {18, 25},
                         {19, 26}, {20, 27}, {22, 29}, {23, 30}, {24, 31}};

int Schedule(CipherWorkspace& ws, const std::string& key) {
    CopyText(ws.KeyText, key.data(), key.size());
    GeneratePrimes(ws, kTextPrimeCount, 0);
    DerivePasswordPermutation(ws, kTextPrimeCount);
    return BlockPrimeCount(ws, static_cast<int>(std::min<std::size_t>(key.size(), 17))) + 3;
}

TEST(KeySchedule, AsciiKeysPermuteTheOddPrimes) {
    std::mt19937 rng(2026);
    std::vector<int> odd;
    for (int p : {3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,  41,  43,  47,
                  53,  59,  61,  67,  71,  73,  79,  83,  89,  97,  101, 103, 107, 109,
                  113, 127, 131, 137, 139, 149, 151, 157, 163, 167, 173, 179})
        odd.push_back(p);
    std::vector<bool> lowSeen(18), highSeen(18);
    for (int trial = 0; trial < 4000; ++trial) {
        const std::string key = testing::RandomPassword(rng, 17, false);
        const int length = static_cast<int>(key.size());
        CipherWorkspace ws;
        const int n = Schedule(ws, key);
        EXPECT_EQ(ws.ByteDigits[1], 42);
        EXPECT_EQ(ws.ByteDigits[2], 41);
        std::vector<int> moduli = Row(ws.Moduli, 2, 41);
        std::sort(moduli.begin(), moduli.end());
        ASSERT_EQ(moduli, odd) << key;
        EXPECT_EQ(ws.Moduli[42], static_cast<unsigned char>(key[0]) % 2);
        EXPECT_EQ(ws.Moduli[43], 0);
        EXPECT_EQ(ws.Moduli[44], 1);
        EXPECT_EQ(ws.Moduli[45], 193);
        EXPECT_EQ(ws.Moduli[46], 197);
        const Range r = kRanges[length - 3];
        EXPECT_GE(n, r.low) << key;
        EXPECT_LE(n, r.high) << key;
        for (int i = length + 1; i <= 44; ++i)
            EXPECT_EQ(ws.BlockValues[i], 0);
        // The same key always gives the same schedule.
        CipherWorkspace again;
        EXPECT_EQ(Schedule(again, key), n);
        EXPECT_EQ(again.Moduli, ws.Moduli);
    }
}

TEST(KeySchedule, RangeEndsComeFromTheExtremeOrders) {
    for (int length = 3; length <= 17; ++length) {
        CipherWorkspace ws;
        GeneratePrimes(ws, kTextPrimeCount, 0);
        // Moduli[3..42] now run 179 down to 3: the largest first gives the fewest moduli.
        for (int i = 2; i <= 41; ++i)
            ws.Moduli[i] = ws.Moduli[i + 1];
        EXPECT_EQ(BlockPrimeCount(ws, length) + 3, kRanges[length - 3].low) << length;
        std::reverse(ws.Moduli.begin() + 2, ws.Moduli.begin() + 42);
        EXPECT_EQ(BlockPrimeCount(ws, length) + 3, kRanges[length - 3].high) << length;
    }
}

TEST(KeySchedule, SignedBytesMayRepeatAModulus) {
    // A negative factorial digit parks its value in slot 0; the free slot then selects 181.
    int repeated = 0;
    std::mt19937 rng(7);
    for (int trial = 0; trial < 500; ++trial) {
        std::string key;
        for (int i = 0; i < 6; ++i)
            key.push_back(static_cast<char>(rng() % 256 | 1));
        CipherWorkspace ws;
        const int n = Schedule(ws, key);
        if (!ModuliDistinct(ws, 2, n)) {
            ++repeated;
            EXPECT_NE(std::count(ws.Moduli.begin() + 2, ws.Moduli.begin() + n + 1, 181), 0);
        }
    }
    EXPECT_GT(repeated, 0);
}

TEST(KeySchedule, TwentyByteKeyIsCappedAtSeventeen) {
    CipherWorkspace ws;
    const std::string key = "abcdefghijklmnopqrst";
    CopyText(ws.KeyText, key.data(), key.size());
    GeneratePrimes(ws, kTextPrimeCount, 0);
    EXPECT_EQ(DerivePasswordPermutation(ws, kTextPrimeCount), 20);
}

}  // namespace
}  // namespace kiv
