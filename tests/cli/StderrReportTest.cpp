#include <gtest/gtest.h>

#include <sstream>

#include "cli/PrintableText.h"
#include "cli/StderrReport.h"

namespace kiv {
namespace {

TEST(PrintableTextTest, ControlBytesAndMalformedUtf8AreEscaped) {
    const struct {
        std::string bytes, shown;
    } cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"a\x1b[2Jb", "a\\x1b[2Jb"},
        {"two\nkiv-cli: lines", "two\\nkiv-cli: lines"},
        {"back\\slash", "back\\\\slash"},
        {"tab\there\r", "tab\\there\\r"},
        {std::string("nul\0bel\a", 8), "nul\\x00bel\\x07"},
        {"del\x7f", "del\\x7f"},
        {"\xc3\xa9t\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x94\x91",
         "\xc3\xa9t\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x94\x91"},
        {"\xc2\x9b"
         "31m",
         "\\xc2\\x9b31m"},                             // C1 CSI
        {"\xc2\xa0", "\xc2\xa0"},                      // the first code point after C1
        {"\xff\xfe", "\\xff\\xfe"},                    // no UTF-8
        {"cut \xe6\x97", "cut \\xe6\\x97"},            // truncated character
        {"\xc0\xaf", "\\xc0\\xaf"},                    // overlong "/"
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},           // surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},  // beyond U+10FFFF
        {"\x9b", "\\x9b"},                             // a lone continuation byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintableText(c.bytes), c.shown) << ::testing::PrintToString(c.bytes);
}

TEST(StderrReportTest, ReportLinesAreEscapedAndMessagesKeptAsDetail) {
    std::ostringstream err;
    {
        StderrReport report(err, false);
        report.AddLine("evil\x1b]0;title\a\nkiv-cli: fake");
        report.ShowMessage(" Password's length is wrong.");
        EXPECT_EQ(report.Detail(),
                  "wrong password: the file was encrypted with a password of another length");
        EXPECT_TRUE(report.ConfirmStop("Password is wrong", "Change Password"));
        EXPECT_EQ(report.Detail(), "wrong password");
    }
    EXPECT_EQ(err.str(), "evil\\x1b]0;title\\x07\\nkiv-cli: fake\n");
}

// A 100 MB file encrypted with a 3-byte password has 34952533 blocks: block numbers times 100 do
// not fit 32 bits.
TEST(StderrReportTest, ProgressOfA100MegabyteFileWithAThreeBytePassword) {
    constexpr int kBlocks = 104857600 / 3;
    std::ostringstream err;
    StderrReport report(err, true);
    report.SetOverallPosition(500);
    report.SetFileRange(1, kBlocks);
    const struct {
        int position;
        std::string bar;
    } cases[] = {
        {1, "\r[                                        ] 0% of this file, 50% of the run"},
        {26214400, "\r[##############################          ] 75% of this file, 50% of the run"},
        {kBlocks, "\r[########################################] 100% of this file, 50% of the run"},
    };
    for (const auto& c : cases) {
        err.str("");
        report.SetFilePosition(c.position);
        EXPECT_EQ(err.str(), c.bar) << c.position;
    }
    err.str("");
    report.AddLine("File Byte Amount = 104857600");
    EXPECT_EQ(err.str(), "\r\033[KFile Byte Amount = 104857600\n");  // the bar makes room
}

}  // namespace
}  // namespace kiv
