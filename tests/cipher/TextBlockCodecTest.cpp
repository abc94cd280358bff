#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cipher/TextCipher.h"
#include "cipher/internal/TextBlockCodec.h"
#include "residue/KernelRegistry.h"
#include "residue/ResidueDecoding.h"
#include "residue/ResidueEncoding.h"
#include "support/EachKernel.h"
#include "support/FixedClock.h"
#include "support/RandomInput.h"
#include "support/RecordedMessages.h"

namespace kiv {
namespace {

using testing::RecordedMessages;

// Up to the longest key the text cores read.
std::string RandomKey(std::mt19937& rng, bool highBytes) {
    return testing::RandomPassword(rng, 17, highBytes);
}

std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
    return testing::RandomBytes(rng, rng() % (maxLength + 1));
}

// One workspace per coding, all reading one clock; each case runs the same step on all three:
// the literal steps, the portable codec and the codec's kernel under test (skipped where the
// processor lacks it).
class TextCodingTest : public testing::EachKernel {
  protected:
    TextCodingTest() { BuildCharacterOrder(order); }

  public:
    const std::array<TextCoding, 3> codings{TextCoding::Literal, InstructionSet::Portable,
                                            GetParam()};
    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 9, 30, 15, 250}};
    CharacterOrder order;
    std::array<CipherWorkspace, 3> ws{CipherWorkspace(clock), CipherWorkspace(clock),
                                      CipherWorkspace(clock)};
};

// Encrypts with every coding; the cipher texts, the noise chain and the generator must agree.
// Returns the cipher text (empty when the key is refused).
std::string EncryptAll(TextCodingTest& t, std::array<CipherWorkspace, 3>& ws,
                       const std::string& key, const std::string& text, const CharacterOrder& order,
                       TextKeyVerdict& verdict) {
    std::array<TextOperands, 3> op;
    const auto& codings = t.codings;
    for (std::size_t c = 0; c < codings.size(); ++c) {
        op[c].CipherKey = key;
        op[c].CipherInput = text;
        op[c].CipherOutput = "kept";
        const TextKeyVerdict v = EncryptText(ws[c], order, op[c], codings[c]);
        if (c == 0) verdict = v;
        EXPECT_EQ(v, verdict);
        EXPECT_EQ(op[c].CipherOutput, op[0].CipherOutput) << "coding " << c;
        EXPECT_EQ(op[c].TimeStamp, op[0].TimeStamp);
        EXPECT_EQ(ws[c].NoiseChain, ws[0].NoiseChain);
        EXPECT_EQ(ws[c].random.state, ws[0].random.state);
    }
    return verdict == TextKeyVerdict::Usable ? op[0].CipherOutput : std::string();
}

TEST_P(TextCodingTest, CodecsGiveTheLiteralStepsResultsToTheCharacter) {
    std::mt19937 rng(1313);
    int usable = 0, refused = 0, decrypted = 0, handedBack = 0, messageCount = 0;
    for (int trial = 0; trial < 1200; ++trial) {
        clock.Set(1700000000 + trial / 3,
                  LocalTime{2026, 12, 7, trial % 24, trial % 60, trial % 60, trial % 1000});
        const std::string key = RandomKey(rng, trial % 2 == 1);
        TextKeyVerdict verdict{};
        const std::string text = RandomText(rng, trial % 8 == 0 ? 600 : 120);
        const std::string cipher = EncryptAll(*this, ws, key, text, order, verdict);
        if (::testing::Test::HasFailure())
            FAIL() << "trial " << trial << " key length " << key.size();
        if (verdict != TextKeyVerdict::Usable) {
            ++refused;
        } else {
            ++usable;
        }

        // The genuine text and its damaged forms, with the key, with another key, and as a batch.
        std::vector<std::string> inputs = {cipher};
        const std::string shortCipher = cipher.substr(0, std::min<std::size_t>(cipher.size(), 90));
        inputs.push_back(shortCipher.substr(0, shortCipher.size() - rng() % 5));  // cut
        std::string altered = shortCipher;
        if (!altered.empty()) altered[rng() % altered.size()] = "0aZz"[rng() % 4];
        inputs.push_back(altered);
        std::string foreign = shortCipher;
        for (int k = 0; k < 3 && !foreign.empty(); ++k)
            foreign[rng() % foreign.size()] = static_cast<char>(rng() % 256);
        inputs.push_back(foreign);
        inputs.push_back(RandomText(rng, 40));

        const std::string otherKey = trial % 5 == 0 ? RandomKey(rng, true) : key;
        std::array<RecordedMessages, 3> messages;
        std::array<std::vector<std::string>, 3> outputs;
        std::array<std::vector<bool>, 3> results;
        for (std::size_t c = 0; c < codings.size(); ++c) {
            TextOperands op;
            op.CipherKey = otherKey;
            for (const std::string& input : inputs) {
                op.CipherInput = input;
                op.CipherOutput = "kept";
                results[c].push_back(DecryptText(ws[c], order, op, messages[c], codings[c]));
                outputs[c].push_back(op.CipherOutput);
            }
        }
        for (std::size_t c = 1; c < codings.size(); ++c) {
            ASSERT_EQ(outputs[c], outputs[0]) << "trial " << trial << " coding " << c;
            ASSERT_EQ(results[c], results[0]) << "trial " << trial << " coding " << c;
            ASSERT_EQ(messages[c].shown, messages[0].shown) << "trial " << trial;
        }
        // The batch form: the same outputs, verdicts and messages in the same order.
        std::vector<std::string_view> views(inputs.begin(), inputs.end());
        std::vector<std::string> batch(inputs.size(), "kept");
        bool batchResults[8] = {};
        RecordedMessages batchMessages;
        DecryptTexts(ws[2], order, otherKey, views.data(), views.size(), batch.data(), batchResults,
                     batchMessages);
        ASSERT_EQ(batch, outputs[0]) << "trial " << trial;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            ASSERT_EQ(batchResults[i], results[0][i]) << "trial " << trial << " input " << i;
        ASSERT_EQ(batchMessages.shown, messages[0].shown) << "trial " << trial;

        for (bool result : results[0])
            result ? ++decrypted : ++handedBack;
        messageCount += static_cast<int>(messages[0].shown.size());
    }
    // Every kind of case came up.
    EXPECT_GT(usable, 700);
    EXPECT_GT(refused, 100);
    EXPECT_GT(decrypted, 1500);
    EXPECT_GT(handedBack, 1500);
    EXPECT_GT(messageCount, 1000);
}

// Batches of lines as kiv-cli encrypts them give, line after line, the literal steps' cipher
// texts, noise chain and generator: short lines by the hundred, lines of thousands of blocks
// (the vector code's independent streams, several clock readings), empty ones, and refusals.
TEST_P(TextCodingTest, BatchesOfLinesGiveTheLiteralStepsResults) {
    struct Case {
        int keyLength;
        bool highBytes;
        std::size_t lines;
        std::size_t longest;
    };
    const Case cases[] = {{3, false, 500, 90}, {8, false, 300, 90},  {17, false, 300, 90},
                          {3, true, 12, 6000}, {11, true, 12, 6000}, {17, false, 6, 40000},
                          {17, true, 3, 0},    {6, false, 0, 0},     {4, true, 40, 700}};
    std::mt19937 rng(4242);
    int usable = 0;
    // The batch's own literal steps, beside ws[0]'s texts one at a time.
    const auto literal = std::make_unique<CipherWorkspace>(clock);
    for (int round = 0; round < 4; ++round) {
        for (const Case& c : cases) {
            clock.Set(1700000000 + round, LocalTime{2026, 12, 7, 9, round, 15, 250 + round});
            std::string key;
            for (int i = 0; i < c.keyLength; ++i)
                key.push_back(static_cast<char>(c.highBytes ? 1 + rng() % 255 : 1 + rng() % 127));
            std::vector<std::string> lines;
            for (std::size_t i = 0; i < c.lines; ++i)
                lines.push_back(RandomText(rng, i % 7 == 0 ? 0 : c.longest));
            const std::vector<std::string_view> views(lines.begin(), lines.end());

            std::string expected = "kept";
            TextOperands op;
            op.CipherKey = key;
            TextKeyVerdict verdict = TextKeyVerdict::Usable;
            for (const std::string& line : lines) {
                op.CipherInput = line;
                verdict = EncryptText(ws[0], order, op, TextCoding::Literal);
                if (verdict != TextKeyVerdict::Usable) break;
                expected += op.CipherOutput + "\n";
            }
            if (verdict == TextKeyVerdict::Usable) {
                ++usable;
            } else {
                expected = "kept";
            }
            for (std::size_t w = 0; w < codings.size(); ++w) {
                CipherWorkspace& batchWs = w == 0 ? *literal : ws[w];
                std::string out = "kept";
                const TextKeyVerdict batch = EncryptTexts(batchWs, order, key, views.data(),
                                                          views.size(), "\n", out, codings[w]);
                if (!lines.empty()) {
                    ASSERT_EQ(batch, verdict) << c.keyLength;
                }
                ASSERT_EQ(out, expected) << "key length " << c.keyLength << " coding " << w;
                ASSERT_EQ(batchWs.NoiseChain, ws[0].NoiseChain) << c.keyLength;
                ASSERT_EQ(batchWs.random.state, ws[0].random.state) << c.keyLength;
            }
        }
    }
    EXPECT_GT(usable, 24);
}

// One clock reading's run of blocks of every length around the points where the vector noise
// code splits a run into 4, 8 or 16 streams (which depend on the key's moduli count), for keys
// short enough to pack four blocks into a register: the literal steps' results to the character.
TEST_P(TextCodingTest, RunsAroundTheStreamSplitsGiveTheLiteralStepsResults) {
    std::mt19937 rng(2718);
    for (const std::string key : {"k3y", "four", "\xfe\x01z"}) {
        for (std::size_t blocks = 60; blocks <= 420; blocks += 1 + rng() % 9) {
            const std::string text = testing::RandomBytes(rng, 3 * blocks - rng() % 3);
            const std::string_view view(text);
            std::array<std::string, 2> out;
            for (std::size_t w : {std::size_t{0}, std::size_t{2}}) {
                out[w / 2] = "kept";
                ASSERT_EQ(EncryptTexts(ws[w], order, key, &view, 1, "\n", out[w / 2], codings[w]),
                          TextKeyVerdict::Usable);
            }
            ASSERT_EQ(out[1], out[0]) << key << " " << blocks << " blocks";
            ASSERT_EQ(ws[2].NoiseChain, ws[0].NoiseChain);
            ASSERT_EQ(ws[2].random.state, ws[0].random.state);
        }
    }
}

// Long texts of one byte value, so that whole groups of vector blocks meet accepted and failed
// blocks, NULs and the top digits of the digit headroom; and the processor's own kernel is used.
TEST_P(TextCodingTest, LongTextsOfEveryByteValueAgree) {
    std::mt19937 rng(77);
    for (int value = 0; value < 256; ++value) {
        const std::string key = RandomKey(rng, value % 2 == 1);
        TextKeyVerdict verdict{};
        const std::string text(200 + rng() % 400, static_cast<char>(value));
        const std::string cipher = EncryptAll(*this, ws, key, text, order, verdict);
        if (::testing::Test::HasFailure()) FAIL() << "value " << value;
        if (cipher.empty()) continue;
        ASSERT_EQ(TextBlockCodec::Kept(ws[1])->Kernel(), InstructionSet::Portable);
        ASSERT_EQ(TextBlockCodec::Kept(ws[2])->Kernel(), GetParam());
        std::string mixed = cipher;
        mixed[rng() % mixed.size()] = "0aZz"[rng() % 4];
        for (const std::string& input : {cipher, mixed}) {
            std::array<std::string, 3> out;
            std::array<RecordedMessages, 3> messages;
            for (std::size_t c = 0; c < codings.size(); ++c) {
                TextOperands op;
                op.CipherKey = key;
                op.CipherInput = input;
                DecryptText(ws[c], order, op, messages[c], codings[c]);
                out[c] = op.CipherOutput;
            }
            ASSERT_EQ(out[1], out[0]) << "value " << value;
            ASSERT_EQ(out[2], out[0]) << "value " << value;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, TextCodingTest, testing::kEveryInstructionSet,
                         testing::KernelName);

// The workspace steps of one text with a hand-made geometry: L bytes per block, moduli 2..n.
std::string LiteralEncrypt(CipherWorkspace& ws, const CharacterOrder& order, int length, int n,
                           const std::string& text, std::int32_t stamp) {
    std::string out;
    for (std::size_t start = 0; start < text.size(); start += length) {
        for (int j = 0; j < n; ++j) {
            const std::size_t at = start + j;
            ws.BlockValues[j + 1] = j >= length        ? 0
                                    : at < text.size() ? static_cast<std::uint8_t>(text[at])
                                                       : 32;
        }
        ComputeResidues(ws, 256, n);
        AddNoise(ws, n, stamp);
        for (int i = 2; i <= n; ++i) {
            out.push_back(static_cast<char>(order.CharOrder[ws.NoiseDigits[2 * (i - 1)]]));
            out.push_back(static_cast<char>(order.CharOrder[ws.NoiseDigits[2 * (i - 1) + 1]]));
        }
    }
    return out;
}

// Whole blocks of alphabet characters: the accepted blocks' bytes up to the first NUL, and
// whether the last block failed.
std::pair<std::string, bool> LiteralDecrypt(CipherWorkspace& ws, const CharacterOrder& order,
                                            int length, int n, const std::string& cipher) {
    BuildWeightTable(ws, n + 1);
    std::string plain;
    bool lastFailed = false;
    for (std::size_t at = 0; at + 2 * (n - 1) <= cipher.size();) {
        for (int i = 2; i <= n; ++i, at += 2) {
            ws.Residues[i] = order.CharIndex[static_cast<std::uint8_t>(cipher[at + 1])] * 61 +
                             order.CharIndex[static_cast<std::uint8_t>(cipher[at])];
        }
        ws.ZeroDigitCount = 0;
        ReduceResidues(ws, n + 1);
        ResiduesToMixedRadix(ws, n + 1);
        MixedRadixToBytes(ws, 256, n, length);
        lastFailed = ws.ZeroDigitCount < 3;
        for (int m = 2; !lastFailed && m <= length + 1; ++m)
            plain.push_back(static_cast<char>(ws.ByteDigits[m] & 0xff));
    }
    return {plain.substr(0, plain.find('\0')), lastFailed};
}

// Geometries no random key reached: headroom moduli so small that fewer than L + 1 base-256
// digits fit the moduli's product (the top byte then comes from carries), the moduli 1 and 2,
// small moduli among the data positions, and the most moduli a block can have.
TEST(TextBlockCodec, HandMadeGeometriesCodeAsTheWorkspaceSteps) {
    struct Geometry {
        int length;
        std::vector<std::int32_t> moduli;
    };
    const Geometry kGeometries[] = {
        {3, {181, 179, 173, 3, 1, 2, 5}},
        {5, {181, 3, 179, 173, 167, 163, 11, 2, 1}},
        {4, {2, 181, 179, 173, 167, 163, 1, 3, 5}},
        {8, {97, 89, 83, 79, 73, 71, 67, 61, 59, 53, 47, 43, 41, 37, 7, 5, 3}},
        {17, {181, 179, 173, 167, 163, 157, 151, 149, 139, 137, 131, 127, 113, 109, 107, 103,
              101, 97,  89,  83,  79,  73,  71,  67,  61,  59,  53,  47,  43,  41,  37,  31}},
    };
    FixedClock clock{1700000123, LocalTime{2026, 12, 7, 23, 59, 59, 999}};
    CharacterOrder order;
    BuildCharacterOrder(order);
    std::mt19937 rng(99);
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int narrow = 0;
    for (const Geometry& g : kGeometries) {
        const int n = static_cast<int>(g.moduli.size()) + 1;
        CipherWorkspace literal(clock);
        for (int i = 2; i <= n; ++i)
            literal.Moduli[i] = g.moduli[i - 2];
        literal.Moduli[n + 1] = 193;
        literal.Moduli[n + 2] = 197;
        for (const InstructionSet kernel :
             {InstructionSet::Portable, InstructionSet::Avx2, InstructionSet::Avx512}) {
            if (!KernelRegistry::Runs(kernel)) {
                std::cout << KernelRegistry::Name(kernel) << " kernel: not on this processor\n";
                continue;
            }
            CipherWorkspace fast = literal;
            auto codec = TextBlockCodec::Create(fast, std::string(g.length, 'k'), n, order, kernel);
            ASSERT_NE(codec, nullptr);
            for (int trial = 0; trial < 40; ++trial) {
                const std::string text = RandomText(rng, 300);
                const std::int32_t stamp = static_cast<std::int32_t>(rng() % 1000000000);
                std::string cipher;
                codec->Encrypt(text, stamp, fast, cipher);
                ASSERT_EQ(cipher, LiteralEncrypt(literal, order, g.length, n, text, stamp));
                ASSERT_EQ(fast.NoiseChain, literal.NoiseChain);
                // The genuine blocks with blocks of random characters among them.
                for (std::size_t at = 0; at < cipher.size(); at += 2 * (n - 1))
                    if (rng() % 3 == 0) cipher[at + rng() % (2 * (n - 1))] = alphabet[rng() % 62];
                const std::string_view view = cipher;
                std::string plain;
                TextBlockCodec::Verdict verdict;
                RecordedMessages messages;
                codec->Decrypt(&view, 1, messages, &plain, &verdict);
                const auto [expected, lastFailed] =
                    LiteralDecrypt(literal, order, g.length, n, cipher);
                ASSERT_EQ(plain, expected) << "L " << g.length << " trial " << trial;
                ASSERT_EQ(verdict.lastFailed, lastFailed);
                EXPECT_TRUE(messages.shown.empty());
            }
        }
        if (literal.ByteDigitCount <= g.length) ++narrow;
    }
    EXPECT_EQ(narrow, 2);  // the first two
}

// The block count of a text, by multiplication, is the division's for every key length: at
// block boundaries, for sizes far beyond any line and at the top of what the multiplication
// covers, where the division takes over.
TEST(TextBlockCodec, BlocksOfATextAreItsBytesOverTheBlockLengthRoundedUp) {
    const std::int32_t moduli[] = {181, 179, 173, 167, 163, 157, 151, 149, 139, 137, 131,
                                   127, 113, 109, 107, 103, 101, 97,  89,  83,  79,  73,
                                   71,  67,  61,  59,  53,  47,  43,  41,  37,  31};
    CipherWorkspace ws;
    for (int i = 0; i < 32; ++i)
        ws.Moduli[i + 2] = moduli[i];
    CharacterOrder order;
    BuildCharacterOrder(order);
    const std::size_t top = std::size_t{1} << 58;
    for (std::size_t length = 3; length <= 17; ++length) {
        auto codec = TextBlockCodec::Create(ws, std::string(length, 'k'), 33, order,
                                            InstructionSet::Portable);
        ASSERT_NE(codec, nullptr);
        for (const std::size_t base :
             {std::size_t{0}, length * 1000, std::size_t{1} << 40, top / length * length,
              top - 2 * length, top, ~std::size_t{0} - 2 * length})
            for (std::size_t bytes = base; bytes < base + 2 * length; ++bytes)
                ASSERT_EQ(codec->BlocksOf(bytes), bytes / length + (bytes % length != 0))
                    << bytes << " bytes, " << length << " per block";
    }
}

}  // namespace
}  // namespace kiv
