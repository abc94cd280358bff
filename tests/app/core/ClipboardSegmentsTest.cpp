#include <gtest/gtest.h>

#include "app/core/ClipboardSegments.h"

namespace kiv {
namespace {

using Pieces = std::vector<std::string>;

std::string Mark(const std::string& segment) {
    return "<" + segment + ">";
}

TEST(ClipboardSegments, EverySegmentIsConvertedAndTheSeparatorsStay) {
    const auto encrypt = [](std::string_view text) {
        return ClipboardSegments::Encrypt(text, Mark);
    };
    EXPECT_EQ(encrypt("ab\r\ncd\r\n").text, "<ab>\r\n<cd>\r\n");
    EXPECT_EQ(encrypt("ab\r\ncd\r\n").pieces, (Pieces{"<ab>", "<cd>"}));
    // The end of the text ends the last segment: nothing is left unconverted behind it.
    EXPECT_EQ(encrypt("hello").text, "<hello>");
    EXPECT_EQ(encrypt("name\tvalue\tx").text, "<name>\t<value>\t<x>");
    // One character is a segment like any other.
    EXPECT_EQ(encrypt("x").text, "<x>");
    EXPECT_EQ(encrypt("ab\nc\nde\n").text, "<ab>\n<c>\n<de>\n");
    // Empty segments produce nothing.
    EXPECT_EQ(encrypt("\t\r\n\n").text, "\t\r\n\n");
    EXPECT_TRUE(encrypt("\t\r\n\n").pieces.empty());
    EXPECT_EQ(encrypt("").text, "");
}

TEST(ClipboardSegments, AnOddSegmentKeepsItsLastCharacterBehindTheDecryptedPart) {
    int calls = 0;
    const auto decrypt = [&](std::string_view text) {
        return ClipboardSegments::Decrypt(text, [&](const std::string& segment) {
            ++calls;
            return Mark(segment);
        });
    };
    EXPECT_EQ(decrypt("abcd\r\nef").text, "<abcd>\r\n<ef>");
    // What the earlier rule made of "hello": the cipher text of "hell", then a plain "o".
    const ClipboardSegments::Result old = decrypt("abcdo");
    EXPECT_EQ(old.text, "<abcd>o");
    EXPECT_EQ(old.pieces, Pieces{"<abcd>o"});
    calls = 0;
    EXPECT_EQ(decrypt("x\ty").text, "x\ty");
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace kiv
