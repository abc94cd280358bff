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

// A 100 MB file encrypted with a 3-byte password has 34952533 blocks: block numbers times 100 do
// not fit 32 bits.
TEST(StderrReportTest, ProgressOfA100MegabyteFileWithAThreeBytePassword) {
    constexpr int kBlocks = 104857600 / 3;
    std::ostringstream err;
    StderrReport report(err, true, true);
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
    report.AddLine(report::FileByteAmount(104857600));
    EXPECT_EQ(err.str(), "\r\033[KFile Byte Amount = 104857600\n");  // the bar makes room
}

}  // namespace
}  // namespace kiv
