#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cipher/TextCipher.h"
#include "residue/KeySchedule.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordedMessages.h"

namespace kiv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using testing::RecordedMessages;

class TextCipherTest : public ::testing::Test {
  protected:
    TextCipherTest() { BuildCharacterOrder(order); }

    std::string Encrypt(const std::string& key, const std::string& text) {
        op.CipherKey = key;
        op.CipherInput = text;
        op.CipherOutput = "untouched";
        EXPECT_EQ(EncryptText(ws, order, op), TextKeyVerdict::Usable) << key;
        return op.CipherOutput;
    }
    std::string Decrypt(const std::string& key, const std::string& cipher) {
        op.CipherKey = key;
        op.CipherInput = cipher;
        op.CipherOutput = "untouched";
        DecryptText(ws, order, op, messages);
        return op.CipherOutput;
    }
    int BlockChars(const std::string& key) {
        CipherWorkspace scratch;
        EXPECT_EQ(CheckTextKey(scratch, key), TextKeyVerdict::Usable);
        const int length = static_cast<int>(std::min<std::size_t>(key.size(), 17));
        return 2 * (BlockPrimeCount(scratch, length) + 2);
    }

    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 9, 30, 15, 250}};
    CipherWorkspace ws{clock};
    CharacterOrder order;
    TextOperands op;
    RecordedMessages messages;
};

TEST_F(TextCipherTest, EmptyTextGivesEmptyCipher) {
    EXPECT_EQ(Encrypt("secret", ""), "");
    EXPECT_EQ(Decrypt("secret", ""), "");
}

TEST_F(TextCipherTest, BlockLengthsAndAlphabet) {
    const std::string key = "password";
    const int chars = BlockChars(key);
    EXPECT_EQ(Encrypt(key, "12345678").size(), static_cast<std::size_t>(chars));
    const std::string two = Encrypt(key, "123456789");
    EXPECT_EQ(two.size(), static_cast<std::size_t>(2 * chars));
    for (std::size_t i = 0; i < two.size(); ++i) {
        const char c = two[i];
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'y'));
        if (i % 2 == 1) {
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 't'));
        }
    }
    EXPECT_EQ(Decrypt(key, two), "123456789       ");
}

TEST_F(TextCipherTest, FixedClockIsReproducibleToTheCharacter) {
    CipherWorkspace a(clock), b(clock);
    TextOperands x, y;
    x.CipherKey = y.CipherKey = "reproducible";
    x.CipherInput = y.CipherInput = "The same text, twice over, block after block.";
    EncryptText(a, order, x);
    EncryptText(b, order, y);
    EXPECT_EQ(x.CipherOutput, y.CipherOutput);
    EXPECT_EQ(x.TimeStamp, 396009837);  // 09:30:15.250
    // Within one workspace the noise chain moves on, so the same input encrypts differently.
    EncryptText(a, order, x);
    EXPECT_NE(x.CipherOutput, y.CipherOutput);
    EXPECT_EQ(x.CipherOutput.size(), y.CipherOutput.size());
}

TEST_F(TextCipherTest, RoundTripsOfRandomKeysAndTexts) {
    std::mt19937 rng(42);
    for (int trial = 0; trial < 1500; ++trial) {
        const std::string key = testing::RandomPassword(rng, 17, false);
        const int keyLength = static_cast<int>(key.size());
        const std::size_t length = rng() % 601;
        const std::string text = testing::RandomBytes(rng, length);
        const std::string cipher = Encrypt(key, text);
        std::string expected = text;
        if (length % keyLength) expected.append(keyLength - length % keyLength, ' ');
        const std::size_t nul = expected.find('\0');
        if (nul != std::string::npos) expected.resize(nul);
        const std::string plain = Decrypt(key, cipher);
        if (cipher.size() <= static_cast<std::size_t>(keyLength)) {
            ASSERT_EQ(plain, cipher);
        } else {
            ASSERT_EQ(plain, expected) << trial;
        }
        ASSERT_THAT(messages.shown, IsEmpty());
    }
}

TEST_F(TextCipherTest, WrongKeyGivesTheCipherTextBack) {
    std::mt19937 rng(5);
    int same = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const std::string cipher = Encrypt("correct horse", "attack at dawn, bring snacks");
        std::string wrong = "correct horsf";
        wrong[rng() % wrong.size()] = static_cast<char>('a' + rng() % 26);
        if (wrong == "correct horse") continue;
        if (Decrypt(wrong, cipher) == cipher) ++same;
    }
    // A wrong key of another n also cuts the text at another place, which reports the cut.
    EXPECT_GE(same, 295);
}

TEST_F(TextCipherTest, ManyBlocksDecryptCompletely) {
    const std::string text(2000, 'x');
    EXPECT_EQ(Decrypt("abc", Encrypt("abc", text)), text + " ");
}

TEST_F(TextCipherTest, CutCipherTextReportsOncePerBlockAndStays) {
    const std::string key = "kiwis";
    const std::string cipher = Encrypt(key, "a text of two blocks or more");
    const std::string even = cipher.substr(0, cipher.size() - 4);
    EXPECT_EQ(Decrypt(key, even), even);
    EXPECT_THAT(messages.shown, ElementsAre(WindowText(Message::MessageChangedOne)));
    messages.shown.clear();
    const std::string odd = cipher.substr(0, cipher.size() - 3);
    EXPECT_EQ(Decrypt(key, odd), odd);
    EXPECT_THAT(messages.shown, ElementsAre(WindowText(Message::MessageChangedTwo)));
}

TEST_F(TextCipherTest, ForeignCharactersReportOncePerBlock) {
    const std::string key = "orange";
    const int chars = BlockChars(key);
    std::string cipher = Encrypt(key, std::string(3 * 6, 'q'));
    ASSERT_EQ(cipher.size(), static_cast<std::size_t>(3 * chars));
    cipher[0] = '#';
    cipher[3] = '!';          // same block: no second message
    cipher[chars + 1] = '-';  // second block, high digit
    Decrypt(key, cipher);
    EXPECT_THAT(messages.shown, ElementsAre(WindowText(Message::MessageChangedOne),
                                            WindowText(Message::MessageChangedTwo)));
}

TEST_F(TextCipherTest, LowerCaseZIsNoForeignCharacter) {
    std::string cipher = Encrypt("zebra", "zzzzzzzzzz");
    cipher[4] = 'z';
    Decrypt("zebra", cipher);
    EXPECT_THAT(messages.shown, IsEmpty());
}

TEST_F(TextCipherTest, FailedFirstBlockIsLeftOut) {
    // Two keys of one length and one n: the first block comes from the other key.
    const std::string key = "alpha1";
    const std::string other = "bravo2";
    ASSERT_EQ(BlockChars(key), BlockChars(other));
    const int chars = BlockChars(key);
    const std::string foreign = Encrypt(other, "AAAAAA").substr(0, chars);
    const std::string own = Encrypt(key, "BBBBBB");
    EXPECT_EQ(Decrypt(key, foreign + own), "BBBBBB");
}

TEST_F(TextCipherTest, ShortKeysDoNothing) {
    op.CipherKey = "ab";
    op.CipherInput = "hello";
    op.CipherOutput = "kept";
    EXPECT_EQ(EncryptText(ws, order, op), TextKeyVerdict::TooShort);
    EXPECT_EQ(op.CipherOutput, "kept");
    DecryptText(ws, order, op, messages);
    EXPECT_EQ(op.CipherOutput, "kept");
}

TEST_F(TextCipherTest, CipherNoLongerThanTheKeyStays) {
    EXPECT_EQ(Decrypt("abcdefgh", "0123"), "0123");
}

TEST_F(TextCipherTest, KeysAreCutToSeventeenBytes) {
    const std::string longKey = "abcdefghijklmnopqrstuvw";
    const std::string cipher = Encrypt(longKey, "seventeen bytes!!");
    EXPECT_EQ(Decrypt(longKey.substr(0, 17), cipher), "seventeen bytes!!");
    EXPECT_EQ(Decrypt(longKey, cipher), "seventeen bytes!!");
}

TEST_F(TextCipherTest, RepeatedModuliKeysAreRefusedAndOthersRoundTrip) {
    std::mt19937 rng(9);
    int refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::string key = testing::RandomPassword(rng, 17, true);
        const std::size_t length = key.size();
        op.CipherKey = key;
        op.CipherInput = "non-ASCII letters in the password";
        op.CipherOutput = "kept";
        const TextKeyVerdict verdict = EncryptText(ws, order, op);
        if (verdict == TextKeyVerdict::RepeatedModuli) {
            ++refused;
            EXPECT_EQ(op.CipherOutput, "kept");
            continue;
        }
        ASSERT_EQ(verdict, TextKeyVerdict::Usable);
        std::string expected = op.CipherInput;
        if (expected.size() % length) expected.append(length - expected.size() % length, ' ');
        ASSERT_EQ(Decrypt(key, op.CipherOutput), expected) << trial;
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace kiv
