#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "residue/KeySchedule.h"
#include "residue/ResidueDecoding.h"
#include "residue/ResidueEncoding.h"
#include "support/FixedClock.h"
#include "support/WorkspaceRow.h"

namespace kiv {
namespace {

using testing::Row;

void SetModuli(CipherWorkspace& ws, const std::vector<int>& moduli) {
    for (std::size_t i = 0; i < moduli.size(); ++i)
        ws.Moduli[i + 2] = moduli[i];
}

const std::vector<int> kExampleModuli = {179, 173, 167, 163, 157, 151, 149, 139, 137};

TEST(ComputeResidues, ExampleBlock) {
    CipherWorkspace ws;
    SetModuli(ws, kExampleModuli);
    ws.BlockValues[1] = 1;
    ws.BlockValues[2] = 2;
    ws.BlockValues[3] = 3;
    ComputeResidues(ws, 256, 8);
    EXPECT_EQ(Row(ws.Residues, 2, 8), (std::vector<int>{42, 74, 61, 54, 86, 66, 143}));
}

TEST(AddNoise, NoisedValuesStayCongruentAndChain) {
    FixedClock clock(1700000000, LocalTime{});
    CipherWorkspace ws(clock);
    SetModuli(ws, kExampleModuli);
    std::mt19937 rng(3);
    for (int block = 0; block < 200; ++block) {
        for (int j = 1; j <= 3; ++j)
            ws.BlockValues[j] = static_cast<int>(rng() % 256);
        const int number = ws.BlockValues[1] + 256 * ws.BlockValues[2] + 65536 * ws.BlockValues[3];
        ComputeResidues(ws, 256, 8);
        AddNoise(ws, 8, static_cast<std::int32_t>(rng() % 1000000000));
        for (int i = 2; i <= 8; ++i) {
            const int low = ws.NoiseDigits[2 * (i - 1)];
            const int high = ws.NoiseDigits[2 * (i - 1) + 1];
            ASSERT_LT(low, 61);
            ASSERT_LE(high, 55);  // 19 x 179 - 1 = 3400 < 56 x 61
            EXPECT_EQ((high * 61 + low) % ws.Moduli[i], number % ws.Moduli[i]);
            EXPECT_EQ(ws.NoiseChain[i], low + 1);
        }
    }
}

TEST(AddNoise, SameSecondStampAndChainGiveSameDigits) {
    FixedClock clock(1234, LocalTime{});
    CipherWorkspace a(clock), b(clock);
    SetModuli(a, kExampleModuli);
    SetModuli(b, kExampleModuli);
    a.BlockValues[1] = b.BlockValues[1] = 200;
    ComputeResidues(a, 256, 8);
    ComputeResidues(b, 256, 8);
    AddNoise(a, 8, 77);
    AddNoise(b, 8, 77);
    EXPECT_EQ(a.NoiseDigits, b.NoiseDigits);
    AddNoise(b, 8, 77);  // the chain has moved on
    EXPECT_NE(a.NoiseDigits, b.NoiseDigits);
}

TEST(ComputeResidues, ZeroBlockHasZeroResidues) {
    FixedClock clock(99, LocalTime{});
    CipherWorkspace ws(clock);
    SetModuli(ws, kExampleModuli);
    ComputeResidues(ws, 256, 8);
    AddNoise(ws, 8, 5);
    for (int i = 2; i <= 8; ++i) {
        EXPECT_EQ(ws.Residues[i], 0);
        EXPECT_EQ(
            (ws.NoiseDigits[2 * (i - 1) + 1] * 61 + ws.NoiseDigits[2 * (i - 1)]) % ws.Moduli[i], 0);
    }
}

TEST(SolveModular, SmallCases) {
    CipherWorkspace ws;
    ws.Moduli[2] = 7;
    EXPECT_EQ(SolveModular(ws, 2, 3, 2), 3);
    EXPECT_EQ(SolveModular(ws, 2, 1, 5), 5);
    EXPECT_EQ(SolveModular(ws, 2, 0, 0), 0);
    EXPECT_EQ(SolveModular(ws, 2, 0, 4), 0);
}

TEST(SolveModular, EqualsBruteForEveryPrimeUpTo263) {
    CipherWorkspace ws;
    for (int p = 2; p <= 263; ++p) {
        bool prime = true;
        for (int d = 2; d * d <= p; ++d)
            prime = prime && p % d != 0;
        if (!prime) continue;
        ws.Moduli[5] = p;
        for (int a = 2; a < p; ++a)
            for (int b = 0; b < p; ++b) {
                const int x = SolveModular(ws, 5, a, b);
                ASSERT_EQ(x, SolveModularBrute(ws, 5, a, b)) << p << ' ' << a << ' ' << b;
                ASSERT_EQ(a * x % p, b);
            }
    }
}

TEST(Decoding, ExampleBlock) {
    CipherWorkspace ws;
    SetModuli(ws, kExampleModuli);
    const int n = 8;
    BuildWeightTable(ws, n + 1);
    const std::vector<int> received = {42, 74, 61, 54, 86, 66, 143};
    for (int i = 0; i < 7; ++i)
        ws.Residues[i + 2] = received[i];
    ws.ZeroDigitCount = 0;
    ReduceResidues(ws, n + 1);
    ResiduesToMixedRadix(ws, n + 1);
    EXPECT_EQ(Row(ws.MixedDigits, 2, 8), (std::vector<int>{42, 63, 6, 0, 0, 0, 0}));
    EXPECT_EQ(ws.ZeroDigitCount, 4);
    MixedRadixToBytes(ws, 256, n);
    EXPECT_EQ(ws.ByteDigitCount, 6);
    EXPECT_EQ(Row(ws.ByteDigits, 2, 4), (std::vector<int>{1, 2, 3}));
}

TEST(Decoding, ThreeFiveSeven) {
    CipherWorkspace ws;
    SetModuli(ws, {3, 5, 7, 11, 13});
    BuildWeightTable(ws, 5);
    ws.Residues[2] = 2;
    ws.Residues[3] = 3;
    ws.Residues[4] = 2;
    ws.ZeroDigitCount = 0;
    ReduceResidues(ws, 5);
    ResiduesToMixedRadix(ws, 5);
    EXPECT_EQ(Row(ws.MixedDigits, 2, 4), (std::vector<int>{2, 2, 1}));
    ws.ByteDigits[2] = 77;
    MixedRadixToBytes(ws, 256, 4);
    EXPECT_EQ(ws.ByteDigitCount, 0);
    EXPECT_EQ(ws.ByteDigits[2], 2);
}

TEST(Decoding, AllZeroResiduesDecodeToZero) {
    CipherWorkspace ws;
    SetModuli(ws, kExampleModuli);
    BuildWeightTable(ws, 9);
    for (int i = 2; i <= 9; ++i)
        ws.Residues[i] = 0;
    ws.ZeroDigitCount = 0;
    ReduceResidues(ws, 9);
    ResiduesToMixedRadix(ws, 9);
    MixedRadixToBytes(ws, 256, 8);
    EXPECT_EQ(ws.ZeroDigitCount, 7);
    EXPECT_EQ(Row(ws.ByteDigits, 2, 6), (std::vector<int>(5, 0)));
}

// A block whose K equals its length: the literal steps leave the top byte to an uncleared entry;
// passing the block length decodes it exactly.
TEST(Decoding, HeadroomBlockDecodesExactlyWithTheBlockLength) {
    CipherWorkspace ws;
    // The product of the seven moduli is just above 256^6, so K = 6 = L.
    SetModuli(ws, {251, 241, 239, 233, 229, 227, 2, 3, 5});
    const int n = 8;  // moduli 2..8: the seven above, product above 256^6
    BuildWeightTable(ws, n + 1);
    const int length = 6;
    std::mt19937 rng(11);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<int> bytes(length);
        for (int& b : bytes)
            b = static_cast<int>(rng() % 256);
        for (int j = 1; j <= n - 1; ++j)
            ws.BlockValues[j] = j <= length ? bytes[j - 1] : 0;
        ComputeResidues(ws, 256, n);
        ws.ByteDigits[length + 1] = 999;  // leftovers of an earlier block
        ws.ZeroDigitCount = 0;
        ReduceResidues(ws, n + 1);
        ResiduesToMixedRadix(ws, n + 1);
        MixedRadixToBytes(ws, 256, n, length);
        ASSERT_LE(ws.ByteDigitCount, length);
        for (int j = 0; j < length; ++j)
            ASSERT_EQ(ws.ByteDigits[j + 2] & 0xFF, bytes[j]) << trial;
    }
}

}  // namespace
}  // namespace kiv
