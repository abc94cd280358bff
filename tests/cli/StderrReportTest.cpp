#include <gtest/gtest.h>

#include <sstream>

#include "cli/StderrReport.h"
#include "filecrypt/OperationReport.h"

namespace kiv {
namespace {

TEST(StderrReportTest, ReportLinesAreEscapedAndMessagesKeptAsDetail) {
    std::ostringstream err;
    {
        StderrReport quiet(err, false, false);
        quiet.AddLine(report::FileByteAmount(12));  // a run that succeeds says nothing
        StderrReport report(err, false, true);
        report.AddLine(ReportText::Value("evil\x1b]0;title\a\nkiv-cli: fake"));
        report.ShowMessage(Message::PasswordLengthWrong);
        EXPECT_EQ(report.Detail(),
                  "wrong password: the file was encrypted with a password of another length");
        EXPECT_TRUE(report.ConfirmStop("Password is wrong", "Change Password"));
        EXPECT_EQ(report.Detail(), "wrong password");
    }
    EXPECT_EQ(err.str(), "evil\\x1b]0;title\\x07\\nkiv-cli: fake\n");
}

// The bar counts bytes from its first frame to 100 %: 20 MB + 5 MB + 6 B is 80 % after the
// first file. A 100 MB file with a 3-byte password has 34952533 blocks: block numbers times its
// size need 64 bits.
TEST(StderrReportTest, ProgressCountsBytesToTheEnd) {
    constexpr int kBlocks = 104857600 / 3;
    std::ostringstream err;
    StderrReport report(err, true, true);
    report.SetRunSizes({104857600, 20000000, 5000000, 6});
    const std::string empty(40, ' ');
    const auto bar = [](int filled, int percent) {
        return "\r[" + std::string(filled, '#') + std::string(40 - filled, ' ') + "] " +
               std::to_string(percent) + "%";
    };
    report.SetOverallPosition(0);
    report.EntryBegins();
    EXPECT_EQ(err.str(), bar(0, 0));
    report.SetFileRange(1, kBlocks);
    const struct {
        int position;
        std::string bar;
    } cases[] = {{1, bar(0, 0)}, {26214400, bar(24, 60)}, {kBlocks, bar(32, 80)}};
    for (const auto& c : cases) {
        err.str("");
        report.SetFilePosition(c.position);
        EXPECT_EQ(err.str(), c.bar) << c.position;
    }
    err.str("");
    report.AddLine(report::FileByteAmount(104857600));
    EXPECT_EQ(err.str(), "\r\033[KFile Byte Amount = 104857600\n");  // the bar makes room
    for (const int position : {250, 500, 750}) {
        report.SetOverallPosition(position);
        report.EntryBegins();
        report.SetFileRange(1, 3);
        report.SetFileVisible(false);
    }
    EXPECT_TRUE(err.str().ends_with(bar(40, 100))) << err.str();
}
}  // namespace
}  // namespace kiv
