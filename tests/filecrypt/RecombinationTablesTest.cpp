#include "residue/RecombinationTables.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "filecrypt/BlockCodec.h"
#include "filecrypt/FileKey.h"

namespace kiv {
namespace {

std::int32_t SignedByte(std::int32_t lane, int b) {
    return static_cast<std::int8_t>(static_cast<std::uint32_t>(lane) >> (8 * b));
}

std::int32_t SignedHalf(std::int32_t lane, int half) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(lane) >> (16 * half));
}

// The vector kernels' arithmetic for one block in plain integers, in the byte form (AVX-512) or
// the 16-bit form (AVX2): the tables alone must give the block, whatever processor runs the
// tests.
std::string Recombine(const RecombinationTables& r, const std::uint8_t* row, int count, int length,
                      bool wide, bool& mended) {
    auto dot = [&](const auto& factors) {
        std::int32_t sum = 0;
        for (int i = 0; i < count; ++i) {
            sum += row[i] * (wide ? SignedHalf(factors[2 * (i / 4) + i % 2], i % 4 / 2)
                                  : SignedByte(factors[i / 4], i % 4));
        }
        return sum;
    };
    std::int32_t carry = 0, multiple = 0;
    std::uint32_t below = 0;
    std::vector<std::uint8_t> bytes;
    if (wide) {
        const std::int32_t low = dot(r.wideFraction[0]) + r.nearLimit;
        const std::int32_t high = dot(r.wideFraction[1]) + (low >> 16);
        below = static_cast<std::uint32_t>((low & 0xffff) | (high & 0x3fff) << 16);
        multiple = high >> 14;
        for (int j = 0; j < r.wideColumns; ++j) {
            const std::int32_t t =
                multiple * SignedHalf(r.wideCorrection[j], 0) + dot(r.wideDigits[j]) + carry;
            carry = t >> 16;
            bytes.push_back(static_cast<std::uint8_t>(t));
            bytes.push_back(static_cast<std::uint8_t>(t >> 8));
        }
    } else {
        for (int f = 0; f < RecombinationTables::kFractionDigits; ++f) {
            const std::int32_t t = dot(r.fraction[f]) + (f == 0 ? r.nearLimit : 0) + carry;
            carry = t >> 8;
            below |= static_cast<std::uint32_t>(t & (f == 3 ? 0x3f : 0xff)) << (8 * f);
            if (f == 3) multiple = (t >> 6) + 32768;
        }
        carry = 0;
        for (int j = 0; j < r.columns; ++j) {
            const std::int32_t t = r.offset[j] + dot(r.digits[j]) +
                                   (multiple & 0xff) * SignedByte(r.correction[j], 0) +
                                   (multiple >> 8) * SignedByte(r.correction[j], 1) + carry;
            carry = t >> 8;
            bytes.push_back(static_cast<std::uint8_t>(t));
        }
    }
    const bool near = below < static_cast<std::uint32_t>(r.nearLimit);
    mended = near && (bytes.back() & 0x80) != 0;
    if (mended) {
        unsigned sum = 0;
        for (int j = 0; j < length; ++j) {
            sum += bytes[static_cast<std::size_t>(j)] + r.product[static_cast<std::size_t>(j)];
            bytes[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(sum);
            sum >>= 8;
        }
    }
    return std::string(bytes.begin(), bytes.begin() + length);
}

// With the moduli 3, 5 and 7 every row of residue bytes decodes to the one number below 105
// that it stands for, found by search.
TEST(RecombinationTables, SmallModuliGiveTheNumberOfEveryRow) {
    const std::uint32_t moduli[] = {3, 5, 7};
    const RecombinationTables tables(moduli, 3, 1);
    ASSERT_TRUE(tables.fit);
    for (int a = 0; a < 256; a += 5) {
        for (int b = 0; b < 256; b += 3) {
            for (int c = 0; c < 256; ++c) {
                int number = 0;
                while (number % 3 != a % 3 || number % 5 != b % 5 || number % 7 != c % 7)
                    ++number;
                const std::uint8_t row[] = {static_cast<std::uint8_t>(a),
                                            static_cast<std::uint8_t>(b),
                                            static_cast<std::uint8_t>(c)};
                bool mended = false;
                for (const bool wide : {false, true}) {
                    ASSERT_EQ(Recombine(tables, row, 3, 1, wide, mended),
                              std::string(1, static_cast<char>(number)))
                        << a << " " << b << " " << c << (wide ? " wide" : "");
                }
            }
        }
    }
}

TEST(RecombinationTables, MissingOrCommonFactorsLeaveThemUnfit) {
    const std::uint32_t shared[] = {6, 9, 7};
    EXPECT_FALSE(RecombinationTables(shared, 3, 1).fit);
    const std::uint32_t many[41] = {};
    EXPECT_FALSE(RecombinationTables(many, 41, 4).fit);
}

// Every file key with distinct moduli: random rows, rows of numbers just below the product of
// the moduli (which need the mending step) and genuine blocks, against Garner's digits, in both
// forms of the tables.
TEST(RecombinationTables, FileKeysDecodeAsGarnersDigits) {
    std::mt19937 rng(31);
    int mendedRows[2] = {};
    for (int trial = 0; trial < 400; ++trial) {
        std::string password;
        const int length = 3 + trial % 21;
        for (int i = 0; i < length; ++i)
            password.push_back(static_cast<char>(1 + rng() % 255));
        CipherWorkspace ws;
        const FileKey key = PrepareFileKey(ws, password);
        if (!key.distinctModuli) continue;
        const int count = key.ResidueBytes();
        std::vector<std::uint32_t> moduli(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            moduli[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(ws.Moduli[2 + i]);
        const RecombinationTables tables(moduli.data(), count, key.blockLength);
        ASSERT_TRUE(tables.fit) << password;
        BlockCodec garner(ws, key, InstructionSet::Portable);
        for (int block = 0; block < 60; ++block) {
            std::uint8_t row[40], plain[24], expected[24];
            if (block % 3 == 0) {
                for (int i = 0; i < count; ++i)
                    row[i] = static_cast<std::uint8_t>(rng());
            } else if (block % 3 == 1) {
                const std::uint32_t distance = 1 + rng() % 100000;
                for (int i = 0; i < count; ++i) {
                    const std::uint32_t p = moduli[static_cast<std::size_t>(i)];
                    row[i] = static_cast<std::uint8_t>((p - distance % p) % p);
                }
            } else {
                for (int j = 0; j < key.blockLength; ++j)
                    plain[j] = static_cast<std::uint8_t>(rng());
                garner.Encode(plain, row);
            }
            garner.Decode(row, expected);
            for (const bool wide : {false, true}) {
                bool mended = false;
                ASSERT_EQ(Recombine(tables, row, count, key.blockLength, wide, mended),
                          std::string(expected, expected + key.blockLength))
                    << password << " block " << block << (wide ? " wide" : "");
                mendedRows[wide] += mended;
                if (block % 3 == 2) {
                    EXPECT_FALSE(mended);
                }
            }
        }
    }
    EXPECT_GT(mendedRows[false], 100);
    EXPECT_GT(mendedRows[true], 100);
}

}  // namespace
}  // namespace kiv
