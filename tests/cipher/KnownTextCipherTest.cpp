#include <gtest/gtest.h>

#include <algorithm>

#include "cipher/TextCipher.h"
#include "data/KnownAnswers.h"

namespace kiv {
namespace {

using testing::KnownText;
using testing::KnownTexts;

struct NoMessages : CipherMessages {
    void ShowMessage(const std::string& text) override { ADD_FAILURE() << text; }
};

class KnownTextCiphers : public ::testing::Test {
  protected:
    KnownTextCiphers() { BuildCharacterOrder(order); }

    CharacterOrder order;
    NoMessages messages;
};

TEST_F(KnownTextCiphers, DecryptToTheirPlainTextsFilledUpWithSpaces) {
    ASSERT_GE(KnownTexts().size(), 6u);
    for (const KnownText& known : KnownTexts()) {
        CipherWorkspace ws(testing::kKnownAnswerClock);
        TextOperands op;
        op.CipherKey = known.key;
        op.CipherInput = known.cipher;
        EXPECT_TRUE(DecryptText(ws, order, op, messages)) << known.plain;
        const std::size_t length = std::min<std::size_t>(known.key.size(), kTextKeyLimit);
        const std::size_t filler = (length - known.plain.size() % length) % length;
        EXPECT_EQ(op.CipherOutput, known.plain + std::string(filler, ' '));
    }
}

TEST_F(KnownTextCiphers, ReencryptToTheSameCharacters) {
    for (const KnownText& known : KnownTexts()) {
        CipherWorkspace ws(testing::kKnownAnswerClock);  // fresh: the noise chain starts anew
        TextOperands op;
        op.CipherKey = known.key;
        op.CipherInput = known.plain;
        ASSERT_EQ(EncryptText(ws, order, op), TextKeyVerdict::Usable) << known.plain;
        EXPECT_EQ(op.CipherOutput, known.cipher) << known.plain;
    }
}

}  // namespace
}  // namespace kiv
