#include <gtest/gtest.h>

#include <algorithm>

#include "cipher/TextCipher.h"
#include "data/KnownAnswers.h"
#include "residue/KernelRegistry.h"

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
        if (!c.IsLiteral() && !KernelRegistry::Runs(c.Set()))
            GTEST_SKIP() << KernelRegistry::Name(c.Set()) << " kernel: not on this processor";
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
    constexpr const char* kNames[] = {"Portable", "Avx2", "Avx512"};
    return info.param.IsLiteral() ? "Literal" : kNames[static_cast<int>(info.param.Set())];
}

INSTANTIATE_TEST_SUITE_P(EveryCoding, KnownTextCiphers,
                         ::testing::Values(TextCoding::Literal,
                                           TextCoding(InstructionSet::Portable),
                                           TextCoding(InstructionSet::Avx2),
                                           TextCoding(InstructionSet::Avx512)),
                         CodingName);

}  // namespace
}  // namespace kiv
