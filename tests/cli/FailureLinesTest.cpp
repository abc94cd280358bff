#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/FailureLines.h"
#include "cli/KivCli.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

// Messages are known by their identity: FilePasswordLength and RestorePasswordTooLong share their
// window's words but not their meaning; a run's values go into kiv-cli's words.
TEST(FailureLinesTest, WindowTextsAreWordedForOnePassword) {
    const struct {
        Message message;
        std::vector<std::string> values;
        std::string cli;
    } cases[] = {
        {Message::EncryptFilesMismatch, {}, "the two passwords differ"},
        {Message::DecryptEditorMismatch, {}, "the two passwords differ"},
        {Message::RestorePasswordTooShort,
         {},
         "a file password must be 3 to 23 bytes long; this one is shorter"},
        {Message::RestorePasswordTooLong,
         {},
         "a file password must be 3 to 23 bytes long; this one is longer"},
        {Message::FilePasswordLength, {}, "a file password must be 3 to 23 bytes long"},
        {Message::PasswordWrong, {}, "wrong password"},
        {Message::MessageChangedTwo,
         {},
         "a character outside the cipher-text alphabet (second of a pair)"},
        {Message::SourceTooLarge,
         {"x\\x1b"},
         "the file x\\x1b is 2 GiB or larger; an encrypted file can only hold files below 2 GiB."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CliWording(c.message, c.values), c.cli) << RowOf(c.message).name;
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
