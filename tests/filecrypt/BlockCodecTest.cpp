#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/FileKey.h"
#include "residue/BlockTables.h"
#include "residue/KernelRegistry.h"
#include "residue/ResidueDecoding.h"
#include "residue/ResidueEncoding.h"
#include "support/EachKernel.h"
#include "support/RandomInput.h"

namespace kiv {
namespace {

// Up to the longest file password.
std::string RandomPassword(std::mt19937& rng, bool highBytes) {
    return testing::RandomPassword(rng, 23, highBytes);
}

// The workspace operations on one block, as the container's layout defines them.
void LiteralEncode(CipherWorkspace& ws, const FileKey& key, const std::uint8_t* block,
                   std::uint8_t* residues) {
    for (int j = 1; j < key.residueCount; ++j)
        ws.BlockValues[j] = j <= key.blockLength ? block[j - 1] : 0;
    ComputeResidues(ws, 256, key.residueCount);
    for (int i = 0; i < key.ResidueBytes(); ++i)
        residues[i] = static_cast<std::uint8_t>(ws.Residues[i + 2]);
}

// Returns false when the literal decoding (without the block length) loses the top byte.
bool LiteralDecode(CipherWorkspace& ws, const FileKey& key, const std::uint8_t* residues,
                   std::uint8_t* block, int byteCount) {
    const int d = key.residueCount;
    for (int i = 0; i < key.ResidueBytes(); ++i)
        ws.Residues[i + 2] = residues[i];
    ws.ZeroDigitCount = 0;
    ReduceResidues(ws, d + 1);
    ResiduesToMixedRadix(ws, d + 1);
    MixedRadixToBytes(ws, 256, d, byteCount);
    for (int j = 0; j < key.blockLength; ++j)
        block[j] = static_cast<std::uint8_t>(ws.ByteDigits[j + 2]);
    return ws.ByteDigitCount > key.blockLength;
}

TEST(BlockCodec, AgreesWithTheWorkspaceOperations) {
    std::mt19937 rng(2026);
    int headroom = 0, repeated = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const std::string password = RandomPassword(rng, trial % 2 == 1);
        CipherWorkspace ws;
        const FileKey key = PrepareFileKey(ws, password);
        ASSERT_GE(key.residueCount, key.blockLength + 3);
        ASSERT_LE(key.residueCount, 37);
        CipherWorkspace literal = ws;
        BuildWeightTable(literal, key.residueCount + 1);
        BlockCodec codec(ws, key);
        if (!key.distinctModuli) ++repeated;
        // Every file key with distinct moduli decodes in one step on the vector kernels.
        const BlockTables tables(&ws.Moduli[2], key.ResidueBytes(), key.blockLength,
                                 key.distinctModuli);
        ASSERT_EQ(tables.recombination.fit, key.distinctModuli) << password;
        for (int block = 0; block < 8; ++block) {
            std::uint8_t plain[24], fast[40], slow[40], back[24], reference[24];
            for (int j = 0; j < key.blockLength; ++j)
                plain[j] = static_cast<std::uint8_t>(rng());
            codec.Encode(plain, fast);
            LiteralEncode(literal, key, plain, slow);
            ASSERT_EQ(std::string(fast, fast + key.ResidueBytes()),
                      std::string(slow, slow + key.ResidueBytes()));
            // Random residues too: a damaged or foreign block decodes as the workspace decodes it.
            std::uint8_t noise[40];
            for (int i = 0; i < key.ResidueBytes(); ++i)
                noise[i] = static_cast<std::uint8_t>(rng());
            for (const std::uint8_t* input : {static_cast<const std::uint8_t*>(fast),
                                              static_cast<const std::uint8_t*>(noise)}) {
                codec.Decode(input, back);
                LiteralDecode(literal, key, input, reference, key.blockLength);
                ASSERT_EQ(std::string(back, back + key.blockLength),
                          std::string(reference, reference + key.blockLength))
                    << password;
                std::uint8_t unmended[24];
                if (LiteralDecode(literal, key, input, unmended, 0)) {
                    ASSERT_EQ(std::string(back, back + key.blockLength),
                              std::string(unmended, unmended + key.blockLength));
                } else if (input == fast) {
                    ++headroom;
                }
            }
            if (key.distinctModuli) {
                codec.Decode(fast, back);
                ASSERT_EQ(std::string(back, back + key.blockLength),
                          std::string(plain, plain + key.blockLength));
            }
        }
    }
    EXPECT_GT(headroom, 0);  // passwords whose digit count equals their length did occur
    EXPECT_GT(repeated, 0);  // and so did passwords whose moduli repeat
}

// Many blocks at once, through every kernel, against the workspace operations one block at a time:
// group and tail boundaries, unaligned buffers, the largest sums (all bytes 255), numbers just
// below the moduli's product, headroom keys and keys whose moduli repeat.
using EveryKernel = testing::EachKernel;

TEST_P(EveryKernel, AgreesWithTheWorkspaceOverManyBlocks) {
    std::mt19937 rng(7);
    int headroomKeys = 0, repeatedKeys = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const std::string password = RandomPassword(rng, trial % 2 == 1);
        CipherWorkspace ws;
        const FileKey key = PrepareFileKey(ws, password);
        CipherWorkspace literal = ws;
        BuildWeightTable(literal, key.residueCount + 1);
        const auto length = static_cast<std::size_t>(key.blockLength);
        const auto width = static_cast<std::size_t>(key.ResidueBytes());
        const std::size_t count = 1 + rng() % 140;

        // One byte of offset: the kernels must not rely on aligned buffers.
        std::vector<std::uint8_t> plain(1 + count * length), noise(1 + count * width);
        for (auto& b : plain)
            b = static_cast<std::uint8_t>(rng());
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(rng());
        const std::size_t extreme = rng() % count;
        std::fill_n(plain.begin() + 1 + extreme * length, length, 0xff);
        std::fill_n(noise.begin() + 1 + extreme * width, width, 0xff);
        // A number just below the product of the moduli, whose one-step decoding lands within
        // a hair of the next multiple of the product and must step back.
        const std::size_t justBelow = rng() % count;
        const std::uint32_t distance = 1 + rng() % 4096;
        for (std::size_t i = 0; i < width; ++i) {
            const auto p = static_cast<std::uint32_t>(ws.Moduli[2 + i]);
            noise[1 + justBelow * width + i] = static_cast<std::uint8_t>((p - distance % p) % p);
        }

        std::vector<std::uint8_t> coded(count * width), fromNoise(count * length);
        std::uint8_t unmended[24];
        bool headroom = false;
        for (std::size_t b = 0; b < count; ++b) {
            LiteralEncode(literal, key, &plain[1 + b * length], &coded[b * width]);
            LiteralDecode(literal, key, &noise[1 + b * width], &fromNoise[b * length],
                          key.blockLength);
            headroom = !LiteralDecode(literal, key, &coded[b * width], unmended, 0) || headroom;
        }
        headroomKeys += headroom;
        repeatedKeys += !key.distinctModuli;

        for (const InstructionSet kernel : {GetParam(), KernelRegistry::Best()}) {
            CipherWorkspace own = ws;
            BlockCodec codec(own, key, kernel);
            ASSERT_EQ(codec.Kernel(), kernel);
            std::vector<std::uint8_t> out(1 + count * width), back(1 + count * length);
            codec.EncodeBlocks(&plain[1], count, &out[1]);
            ASSERT_TRUE(std::equal(coded.begin(), coded.end(), out.begin() + 1)) << password;
            codec.DecodeBlocks(&noise[1], count, &back[1]);
            ASSERT_TRUE(std::equal(fromNoise.begin(), fromNoise.end(), back.begin() + 1))
                << password;
            if (!key.distinctModuli) continue;
            codec.DecodeBlocks(&out[1], count, &back[1]);
            ASSERT_TRUE(std::equal(plain.begin() + 1, plain.end(), back.begin() + 1)) << password;
        }
    }
    EXPECT_GT(headroomKeys, 0);
    EXPECT_GT(repeatedKeys, 0);
}

INSTANTIATE_TEST_SUITE_P(BlockCodec, EveryKernel, testing::kEveryInstructionSet,
                         testing::KernelName);

TEST(BlockCodec, BatchesEqualSingleBlocks) {
    CipherWorkspace ws;
    const FileKey key = PrepareFileKey(ws, "batch of blocks");
    BlockCodec codec(ws, key);
    std::mt19937 rng(1);
    std::vector<std::uint8_t> plain(100 * key.blockLength), coded(100 * key.ResidueBytes()),
        back(plain.size());
    for (auto& b : plain)
        b = static_cast<std::uint8_t>(rng());
    codec.EncodeBlocks(plain.data(), 100, coded.data());
    codec.DecodeBlocks(coded.data(), 100, back.data());
    EXPECT_EQ(back, plain);
    std::uint8_t one[40];
    codec.Encode(plain.data() + 37 * key.blockLength, one);
    EXPECT_TRUE(std::equal(one, one + key.ResidueBytes(), coded.begin() + 37 * key.ResidueBytes()));
}

}  // namespace
}  // namespace kiv
