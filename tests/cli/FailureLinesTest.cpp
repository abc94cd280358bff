#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cipher/CipherMessages.h"
#include "cipher/PasswordMessages.h"
#include "cli/FailureLines.h"
#include "cli/KivCli.h"
#include "filecrypt/OperationReport.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

// Messages are known by their identity: kFilePasswordLength and kRestorePasswordTooLong share
// their words but not their meaning; a copy of a known message's words is an unknown message.
TEST(FailureLinesTest, WindowTextsAreWordedForOnePassword) {
    static const std::string copy = kEncryptFilesMismatch;
    const struct {
        const char* window;
        std::string cli;
    } cases[] = {
        {kEncryptFilesMismatch, "the two passwords differ"},
        {kDecryptEditorMismatch, "the two passwords differ"},
        {kRestorePasswordTooShort,
         "a file password must be 3 to 23 bytes long; this one is shorter"},
        {kRestorePasswordTooLong, "a file password must be 3 to 23 bytes long; this one is longer"},
        {kFilePasswordLength, "a file password must be 3 to 23 bytes long"},
        {copy.c_str(), "password 1 and Password 2 must equal."},
        {report::kPasswordWrong, "wrong password"},
        {kMessageChangedTwo, "a character outside the cipher-text alphabet (second of a pair)"},
        {"  The file x\x1b is 2 GiB or larger. ", "the file x\\x1b is 2 GiB or larger."},
        {"OK as it is", "OK as it is"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CliWording(c.window), c.cli) << c.window;
}

// Each kind of failure of a file run gives one "kiv-cli:" line of its own, with the path, and
// the exit status of its kind; a failed run prints no report without -v.
TEST(FailureLinesTest, EachFailureKindHasItsOwnLine) {
    testing::TempFolder dir;
    const std::string d = dir.path.string();
    testing::WriteAll(dir / "pw", "file password");
    testing::WriteAll(dir / "wrong", "file passwore");
    testing::WriteAll(dir / "a", std::string(5000, 'a'));
    std::filesystem::create_directory(dir / "out");
    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 10, 0, 0, 0}};
    const auto run = [&](const std::vector<std::string>& words, bool cancel, std::string& err) {
        std::istringstream in;
        std::ostringstream out, errStream;
        CliContext context{in, out, errStream, clock};
        if (cancel) context.cancelRequested = [] { return true; };
        const int status = RunKivCli(words, context);
        err = errStream.str();
        return status;
    };
    std::string err;
    ASSERT_EQ(run({"encrypt-files", "--password-file", d + "/pw", d + "/a"}, false, err), kExitOk);
    testing::WriteAll(dir / "cut.vrq", testing::ReadAll(dir / "a.vrq").substr(0, 10));

    const struct {
        const char* kind;
        std::vector<std::string> words;
        bool cancel;
        std::string line;
        int status;
    } cases[] = {
        {"unreadable source",
         {"encrypt-files", "-o", d + "/x.vrq", "--password-file", d + "/pw", d + "/missing"},
         false,
         "kiv-cli: cannot read '" + d + "/missing': No such file or directory",
         kExitInputOutput},
        {"unwritable output",
         {"encrypt-files", "-o", d + "/no/x.vrq", "--password-file", d + "/pw", d + "/a"},
         false,
         "kiv-cli: cannot write '" + d + "/no/x.vrq': No such file or directory",
         kExitInputOutput},
        {"damaged container",
         {"decrypt-file", "-C", d + "/out", "--password-file", d + "/pw", d + "/cut.vrq"},
         false,
         "kiv-cli: '" + d + "/cut.vrq' is damaged or not an encrypted file",
         kExitFailed},
        {"refused password",
         {"decrypt-file", "-C", d + "/out", "--password-file", d + "/wrong", d + "/a.vrq"},
         false,
         "kiv-cli: '" + d + "/a.vrq': wrong password",
         kExitPassword},
        {"cancelled",
         {"encrypt-files", "-o", d + "/c.vrq", "--password-file", d + "/pw", d + "/a"},
         true,
         "kiv-cli: cancelled while working on '" + d + "/c.vrq'; nothing was left half-written",
         kExitFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.words, c.cancel, err), c.status) << c.kind;
        std::vector<std::string> failureLines;
        std::istringstream lines(err);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("kiv-cli:", 0) == 0) failureLines.push_back(line);
        EXPECT_EQ(failureLines, std::vector<std::string>{c.line}) << c.kind << '\n' << err;
    }
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"a", "a.vrq", "cut.vrq", "out", "pw", "wrong"}));
}

}  // namespace
}  // namespace kiv
