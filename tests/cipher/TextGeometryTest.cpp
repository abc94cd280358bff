#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cipher/TextCipher.h"
#include "cipher/TextGeometry.h"
#include "support/FixedClock.h"

namespace kiv {
namespace {

using ::testing::ElementsAreArray;

class TextGeometryTest : public ::testing::Test {
  protected:
    TextGeometryTest() { BuildCharacterOrder(order); }

    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 9, 30, 15, 250}};
    CipherWorkspace ws{clock};
    CharacterOrder order;
};

// kiv-cli sized its lines and blocks by the cipher text of one byte; the schedule must agree
// with it for every kind of key, those the text cores refuse included.
TEST_F(TextGeometryTest, AgreesWithTheCipherTextOfOneByte) {
    std::vector<std::string> keys = {"ab", std::string("ab\0cd", 5), "abc", "seventeen bytes!!",
                                     "a key longer than seventeen bytes"};
    std::mt19937 rng(30);
    for (int trial = 0; trial < 300; ++trial) {
        std::string key(3 + rng() % 15, ' ');
        for (char& c : key)
            c = static_cast<char>(1 + rng() % 255);
        keys.push_back(key);
    }
    for (const std::string& key : keys) {
        TextOperands op;
        op.CipherKey = key;
        op.CipherInput = "x";
        const bool usable = EncryptText(ws, order, op) == TextKeyVerdict::Usable;
        const TextGeometry geometry = TextGeometryOf(ws, key);
        EXPECT_EQ(geometry.length, usable ? TextBlockLength(key) : 0) << key;
        EXPECT_EQ(geometry.chars, usable ? op.CipherOutput.size() : 0) << key;
    }
}

TEST_F(TextGeometryTest, NamesTheBlocksDecryptionLeavesOut) {
    const std::string key = "secret";
    TextOperands op;
    op.CipherKey = key;
    op.CipherInput = "four blocks of six bytes";
    ASSERT_EQ(EncryptText(ws, order, op), TextKeyVerdict::Usable);
    const std::string cipher = op.CipherOutput;
    const TextGeometry geometry = TextGeometryOf(ws, key);
    ASSERT_EQ(geometry.BlocksOf(cipher.size()), 4u);
    const std::size_t chars = geometry.chars;
    auto changed = [&](std::size_t at, char c) {
        std::string text = cipher;
        text[at] = text[at] == c ? '0' : c;
        return text;
    };
    const struct {
        const char* what;
        std::string text;
        std::vector<std::size_t> leftOut;
    } cases[] = {
        {"whole", cipher, {}},
        {"second block altered", changed(chars + 1, 'Q'), {1}},
        {"foreign character in the third", changed(2 * chars + 3, '~'), {2}},
        {"first and last altered", changed(3 * chars, 'k').replace(0, 1, "Z"), {0, 3}},
        {"cut inside the last", cipher.substr(0, cipher.size() - 2), {3}},
    };
    for (const auto& c : cases)
        EXPECT_THAT(LeftOutTextBlocks(ws, order, key, geometry, c.text),
                    ElementsAreArray(c.leftOut))
            << c.what;
}

}  // namespace
}  // namespace kiv
