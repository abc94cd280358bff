#include <gtest/gtest.h>

#include <algorithm>

#include "cipher/TextBlockCodec.h"
#include "cipher/TextCipher.h"
#include "data/KnownAnswers.h"

namespace kiv {
namespace {

using testing::KnownText;
using testing::KnownTexts;

struct NoMessages : CipherMessages {
    void ShowMessage(const std::string& text) override { ADD_FAILURE() << text; }
};

// The stored cipher texts through every coding: the literal steps, the portable codec and each
// vector kernel the processor has (the others are skipped).
class KnownTextCiphers : public ::testing::TestWithParam<TextCoding> {
  protected:
    KnownTextCiphers() { BuildCharacterOrder(order); }
    void SetUp() override {
        const TextCoding c = GetParam();
        if ((c == TextCoding::Avx2 && !TextBlockCodec::Runs(TextKernel::Avx2)) ||
            (c == TextCoding::Avx512 && !TextBlockCodec::Runs(TextKernel::Avx512)))
            GTEST_SKIP() << "this kernel is not on this processor";
    }

    CharacterOrder order;
    NoMessages messages;
};

TEST_P(KnownTextCiphers, DecryptToTheirPlainTextsFilledUpWithSpaces) {
    ASSERT_GE(KnownTexts().size(), 6u);
    for (const KnownText& known : KnownTexts()) {
        CipherWorkspace ws(testing::kKnownAnswerClock);
        TextOperands op;
        op.CipherKey = known.key;
        op.CipherInput = known.cipher;
        EXPECT_TRUE(DecryptText(ws, order, op, messages, GetParam())) << known.plain;
        const std::size_t length = std::min<std::size_t>(known.key.size(), kTextKeyLimit);
        const std::size_t filler = (length - known.plain.size() % length) % length;
        EXPECT_EQ(op.CipherOutput, known.plain + std::string(filler, ' '));
    }
}

TEST_P(KnownTextCiphers, ReencryptToTheSameCharacters) {
    for (const KnownText& known : KnownTexts()) {
        CipherWorkspace ws(testing::kKnownAnswerClock);  // fresh: the noise chain starts anew
        TextOperands op;
        op.CipherKey = known.key;
        op.CipherInput = known.plain;
        ASSERT_EQ(EncryptText(ws, order, op, GetParam()), TextKeyVerdict::Usable) << known.plain;
        EXPECT_EQ(op.CipherOutput, known.cipher) << known.plain;
    }
}

std::string CodingName(const ::testing::TestParamInfo<TextCoding>& info) {
    constexpr const char* kNames[] = {"Best", "Portable", "Literal", "Avx2", "Avx512"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryCoding, KnownTextCiphers,
                         ::testing::Values(TextCoding::Literal, TextCoding::Portable,
                                           TextCoding::Avx2, TextCoding::Avx512),
                         CodingName);

}  // namespace
}  // namespace kiv
