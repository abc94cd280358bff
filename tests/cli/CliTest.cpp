#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cipher/TextCipher.h"
#include "cli/KivCli.h"
#include "support/ContainerEditor.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
  protected:
    std::string PasswordFile(const std::string& content) {
        const fs::path path = dir / ("pw" + std::to_string(++files));
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    int Run(const std::vector<std::string>& words, const std::string& input,
            bool terminal = false) {
        std::istringstream in(input);
        out.str("");
        err.str("");
        CliContext context{in, out, err, clock};
        context.inIsTerminal = terminal;
        return RunKivCli(words, context);
    }

    const testing::TempFolder folder;
    const fs::path& dir = folder.path;
    int files = 0;
    FixedClock clock{1700000000, LocalTime{2026, 12, 7, 10, 0, 0, 0}};
    std::ostringstream out, err;
};

TEST_F(CliTest, HelloWorldRoundTrip) {
    const std::string pw = PasswordFile("secret pass\n");
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, "hello world\n"), kExitOk) << err.str();
    const std::string cipher = out.str();
    ASSERT_EQ(cipher.back(), '\n');
    ASSERT_EQ(Run({"decrypt-text", "--password-file=" + pw}, cipher), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "hello world\n");  // eleven bytes fill the 11-byte block exactly
}

TEST_F(CliTest, LinesAreEncryptedWholeAndCrLfIsOneLineEnd) {
    const std::string pw = PasswordFile("abc\r\nignored second line");
    const std::string longLine(1500, 'L');
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, longLine + "\r\n\r\nlast"), kExitOk);
    const std::string cipher = out.str();
    ASSERT_EQ(Run({"decrypt-text", "--password-file", pw}, cipher), kExitOk);
    EXPECT_EQ(out.str(), longLine + "\n\nlast  \n");
}

// Input of many batches, whose reading, encrypting and writing overlap, gives for one clock what
// the workspace operations give its lines one after the other, and so does a terminal's line at
// a time: the noise chain runs on from line to line and from piece to piece of a long line.
TEST_F(CliTest, ManyBatchesGiveTheCipherTextsOfTheLinesOneAfterTheOther) {
    std::string shortLines, longLines;
    for (int i = 0; i < 9000; ++i)
        shortLines +=
            std::string(i % 37, static_cast<char>('a' + i % 26)) + (i % 5 ? "\n" : "\r\n");
    const std::string huge(1300001, 'H');  // five pieces, the last one shorter
    longLines = "first\r\n" + huge + "\n\n" + huge + "\r\n" + std::string(300000, 'M');
    const struct {
        std::string key, input;
    } cases[] = {
        {"seventeen bytes!!", shortLines}, {"abc", shortLines + "no final line end"},
        {"pipeline key", longLines},       {"pipeline key", std::string(20000, '\n')},
        {"pipeline key", "\r\n\r\n"},
    };
    CharacterOrder order;
    BuildCharacterOrder(order);
    for (const auto& c : cases) {
        CipherWorkspace ws(clock);
        std::string expected;
        std::istringstream lines(c.input);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            TextOperands op;
            op.CipherKey = c.key;
            op.CipherInput = line;
            ASSERT_EQ(EncryptText(ws, order, op, TextCoding::Literal), TextKeyVerdict::Usable);
            expected += op.CipherOutput + "\n";
        }
        const std::string pw = PasswordFile(c.key + "\n");
        for (const bool terminal : {false, true}) {
            ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, c.input, terminal), kExitOk);
            EXPECT_TRUE(out.str() == expected)
                << c.key << ", " << c.input.size() << " bytes, terminal " << terminal;
        }
    }
}

TEST_F(CliTest, UndecryptableLinesComeBackAndFail) {
    const std::string pw = PasswordFile("right one");
    const std::string other = PasswordFile("wrong one");
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, "payload text\n"), kExitOk);
    const std::string cipher = out.str();
    // The one line that is a cipher text fails the check: a wrong password.
    EXPECT_EQ(Run({"decrypt-text", "--password-file", other}, cipher + "\n"), kExitPassword);
    EXPECT_EQ(out.str(), cipher + "\n");
}

TEST_F(CliTest, ForeignCharactersReportOnStandardError) {
    const std::string pw = PasswordFile("right one");
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, "payload text\n"), kExitOk);
    std::string cipher = out.str();
    cipher[cipher.size() - 2] = '#';  // the high digit of the last pair
    EXPECT_EQ(Run({"decrypt-text", "--password-file", pw}, cipher), kExitFailed);
    EXPECT_EQ(err.str(),
              "kiv-cli: line 1: written back unchanged: character 56 is outside the "
              "cipher-text alphabet\nkiv-cli: 1 of 1 lines were not decrypted whole\n");
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, "payload text\n"), kExitOk);
    cipher = out.str();
    cipher[0] = '#';  // only the first block fails: the rest is still delivered, and said
    EXPECT_EQ(Run({"decrypt-text", "--password-file", pw}, cipher), kExitFailed);
    EXPECT_EQ(out.str(), "ext      \n");
    EXPECT_EQ(err.str(),
              "kiv-cli: line 1: block 1 of 2 was left out: character 1 is outside the "
              "cipher-text alphabet\nkiv-cli: 1 of 1 lines were not decrypted whole\n");
}

// An altered character inside the alphabet makes its block fail the check: the window leaves
// such a block out silently, kiv-cli must say so. Every change either decrypts to all the
// line's bytes or is reported with a non-zero status.
TEST_F(CliTest, NoBlockIsLeftOutSilently) {
    const std::string pw = PasswordFile("seventeen bytes!!");
    const std::string plain = "The quick brown fox jumps over the lazy dog. 1234";
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, plain + "\n"), kExitOk);
    const std::string cipher = out.str().substr(0, out.str().size() - 1);
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxy";
    int reported = 0;
    for (std::size_t at = 0; at < cipher.size(); at += 3) {
        std::string altered = cipher;
        altered[at] = alphabet[(alphabet.find(cipher[at]) + 7) % alphabet.size()];
        const int status = Run({"decrypt-text", "--password-file", pw}, altered + "\n");
        if (status == kExitOk) {
            EXPECT_EQ(out.str().size(), 52u) << at;  // three whole blocks, though maybe altered
        } else {
            // A line handed back for the check alone looks as a wrong password would.
            const bool handedBack = err.str().find("unchanged: it fails") != std::string::npos;
            EXPECT_EQ(status, handedBack ? kExitPassword : kExitFailed) << err.str();
            EXPECT_EQ(err.str().rfind("kiv-cli: line 1: ", 0), 0u) << err.str();
            ++reported;
        }
    }
    EXPECT_GT(reported, 0);
}

// A wrong password fails nearly every line, yet about one line in two thousand passes the
// cipher's check by chance: the text counts as under a wrong password while at most one in a
// hundred of its cipher-text lines decrypt. Only the first five failures get a line of their own.
TEST_F(CliTest, TextVerdictsTellAWrongPasswordFromLinesThatFail) {
    const std::string right = PasswordFile("right one"), wrong = PasswordFile("wrong one");
    const auto cipher = [&](const std::string& pw, int count) {
        std::string plain;
        for (int k = 0; k < count; ++k)
            plain += "line " + std::to_string(k) + "\n";
        EXPECT_EQ(Run({"encrypt-text", "--password-file", pw}, plain), kExitOk);
        return out.str();
    };
    const struct {
        int foreign, own;
        bool quiet;
        int status;
        std::string summary;
    } cases[] = {
        {99, 1, false, kExitPassword, "99 of 101 lines were not decrypted: wrong password"},
        {98, 1, false, kExitFailed, "98 of 100 lines were not decrypted whole"},
        {1, 0, false, kExitPassword, "1 of 2 lines were not decrypted: wrong password"},
        {3, 2, true, kExitFailed, "3 of 6 lines were not decrypted whole"},
        {99, 1, true, kExitPassword, "99 of 101 lines were not decrypted: wrong password"},
    };
    for (const auto& c : cases) {
        // An empty line decrypts, and proves nothing.
        const std::string input = cipher(wrong, c.foreign) + cipher(right, c.own) + "\n";
        std::vector<std::string> words = {"decrypt-text", "--password-file", right};
        if (c.quiet) words.push_back("-q");
        EXPECT_EQ(Run(words, input), c.status) << c.summary;
        std::string expected;
        for (int k = 1; !c.quiet && k <= std::min(c.foreign, 5); ++k)
            expected += "kiv-cli: line " + std::to_string(k) +
                        ": written back unchanged: it fails the cipher's check: altered, or not "
                        "made with this password\n";
        EXPECT_EQ(err.str(), expected + "kiv-cli: " + c.summary + "\n");
    }
    // A password of another length fits no line's length to its blocks.
    const std::string input = cipher(right, 3);
    EXPECT_EQ(Run({"decrypt-text", "-q", "--password-file", PasswordFile("a longer one")}, input),
              kExitPassword);
    EXPECT_EQ(err.str(), "kiv-cli: 3 of 3 lines were not decrypted: wrong password\n");
}

// Lines are decrypted in batches; each failure line still names its own input line.
TEST_F(CliTest, FailureLinesNameTheirInputLine) {
    const std::string pw = PasswordFile("right one");
    ASSERT_EQ(Run({"encrypt-text", "--password-file", pw}, "first\nsecond\n"), kExitOk);
    std::string cipher = out.str();
    cipher[cipher.find('\n') + 1] = '#';  // the second line's first block
    ASSERT_EQ(Run({"encrypt-text", "--password-file", PasswordFile("other one")}, "third\n"),
              kExitOk);
    cipher += out.str();
    EXPECT_EQ(Run({"decrypt-text", "--password-file", pw}, cipher), kExitFailed);
    EXPECT_EQ(err.str(),
              "kiv-cli: line 2: written back unchanged: character 1 is outside the cipher-text "
              "alphabet\n"
              "kiv-cli: line 3: written back unchanged: it fails the cipher's check: altered, or "
              "not made with this password\n"
              "kiv-cli: 2 of 3 lines were not decrypted whole\n");
    EXPECT_EQ(out.str().substr(0, 10), "first    \n");
}

TEST_F(CliTest, PasswordRefusals) {
    EXPECT_EQ(Run({"encrypt-text", "--password-file", PasswordFile("ab\n")}, "x\n"), kExitPassword);
    EXPECT_EQ(err.str(), "kiv-cli: the password must be at least 3 characters long\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"encrypt-text", "--password-file", (dir / "missing").string()}, ""),
              kExitInputOutput);
    EXPECT_NE(err.str().find("cannot read password file"), std::string::npos);
    EXPECT_EQ(Run({"encrypt-text", "--password-file", dir.string()}, ""), kExitInputOutput);
    EXPECT_NE(err.str().find("cannot read password file '" + dir.string() + "': Is a directory\n"),
              std::string::npos);
}

TEST_F(CliTest, FilesRoundTripThroughAContainer) {
    const std::string pw = PasswordFile("file password\n");
    for (const char* name : {"a", "b", "c"})
        std::ofstream(dir / name, std::ios::binary) << std::string(1000 + name[0], name[0]);
    const std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
    const std::string box = (dir / "x.vrq").string();
    ASSERT_EQ(Run({"encrypt-files", "-o", box, "--password-file", pw, a, b, c}, ""), kExitOk)
        << err.str();
    EXPECT_EQ(err.str(), "");  // quiet success
    ASSERT_EQ(
        Run({"encrypt-files", "-f", "--report", "-o", box, "--password-file", pw, a, b, c}, ""),
        kExitOk);
    EXPECT_EQ(err.str().substr(0, a.size() + 1), a + "\n");
    fs::create_directory(dir / "out");
    ASSERT_EQ(Run({"decrypt-file", "-C", (dir / "out").string(), "--password-file", pw, box}, ""),
              kExitOk)
        << err.str();
    for (const char* name : {"a", "b", "c"})
        EXPECT_EQ(testing::ReadAll(dir / "out" / name), testing::ReadAll(dir / name));
    ASSERT_EQ(Run({"list", box}, ""), kExitOk);
    EXPECT_EQ(out.str(), "        1097  a\n        1098  b\n        1099  c\n");
}

TEST_F(CliTest, FileCommandFailures) {
    const std::string pw = PasswordFile("file password");
    const std::string a = (dir / "a").string();
    std::ofstream(a) << "alpha";
    EXPECT_EQ(Run({"encrypt-files", "--password-file", pw, a, a}, ""), kExitUsage);
    EXPECT_EQ(Run({"encrypt-files", "--password-file", pw}, ""), kExitUsage);
    EXPECT_EQ(Run({"decrypt-file", "--password-file", pw}, ""), kExitUsage);
    EXPECT_EQ(Run({"decrypt-file", "-C", (dir / "nowhere").string(), "--password-file", pw, a}, ""),
              kExitUsage);
    ASSERT_EQ(Run({"encrypt-files", "--password-file", pw, a}, ""), kExitOk);
    EXPECT_TRUE(fs::exists(dir / "a.vrq"));
    EXPECT_EQ(Run({"decrypt-file", "--password-file", PasswordFile("file passwore"),
                   (dir / "a.vrq").string()},
                  ""),
              kExitPassword);
    EXPECT_EQ(err.str(), "kiv-cli: '" + (dir / "a.vrq").string() + "': wrong password\n");
    EXPECT_EQ(Run({"encrypt-files", "--password-file", pw, (dir / "missing").string()}, ""),
              kExitInputOutput);
    EXPECT_EQ(err.str(), "kiv-cli: cannot read '" + (dir / "missing").string() +
                             "': No such file or directory\n");
    EXPECT_EQ(Run({"list", a}, ""), kExitFailed);
    // A file count of -5 is a damaged container, not an empty one.
    std::ofstream(dir / "b.vrq", std::ios::binary)
        << testing::ContainerEditor(testing::ReadAll(dir / "a.vrq")).SetFileCount(-5).Bytes();
    EXPECT_EQ(Run({"decrypt-file", "--password-file", pw, (dir / "b.vrq").string()}, ""),
              kExitFailed);
    EXPECT_NE(err.str().find("kiv-cli: '" + (dir / "b.vrq").string() +
                             "' is damaged or not an encrypted file\n"),
              std::string::npos)
        << err.str();
    // A restore that wrote some files but not all has failed.
    const std::string b = (dir / "b").string(), two = (dir / "two.vrq").string();
    std::ofstream(b) << "beta";
    ASSERT_EQ(Run({"encrypt-files", "-o", two, "--password-file", pw, a, b}, ""), kExitOk);
    fs::resize_file(two, fs::file_size(two) - 1);
    fs::create_directory(dir / "part");
    EXPECT_NE(Run({"decrypt-file", "-C", (dir / "part").string(), "--password-file", pw, two}, ""),
              kExitOk);
    EXPECT_TRUE(fs::exists(dir / "part" / "a"));
}

// A stored name may hold anything but "/" and NUL; printed raw, an ESC or a line break in it
// would steer the terminal or fake kiv-cli's own lines.
TEST_F(CliTest, StoredNamesArePrintedEscapedAndRestoredAsTheyAre) {
    const std::string pw = PasswordFile("file password");
    const std::string name = "red\x1b[31m\nkiv-cli: all fine\\";
    std::ofstream(dir / name, std::ios::binary) << "bytes";
    const std::string box = (dir / "x.vrq").string();
    ASSERT_EQ(Run({"encrypt-files", "-o", box, "--password-file", pw, (dir / name).string()}, ""),
              kExitOk)
        << err.str();
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
    ASSERT_EQ(Run({"list", box}, ""), kExitOk);
    EXPECT_EQ(out.str(), "           5  red\\x1b[31m\\nkiv-cli: all fine\\\\\n");
    fs::create_directory(dir / "out");
    ASSERT_EQ(
        Run({"decrypt-file", "-v", "-C", (dir / "out").string(), "--password-file", pw, box}, ""),
        kExitOk)
        << err.str();
    // -v's line names the entry escaped as the report does.
    EXPECT_EQ(err.str().find("red\\x1b[31m\\nkiv-cli: all fine\\\\ \u2192 "), 0) << err.str();
    EXPECT_EQ(testing::ReadAll(dir / "out" / name), "bytes");
}

TEST_F(CliTest, UsageErrors) {
    EXPECT_EQ(Run({}, ""), kExitUsage);
    EXPECT_EQ(Run({"frobnicate"}, ""), kExitUsage);
    EXPECT_EQ(Run({"encrypt-text", "--colour"}, ""), kExitUsage);
    EXPECT_NE(err.str().find("unknown option '--colour'"), std::string::npos);
    EXPECT_EQ(Run({"encrypt-text", "--password-fd", "x"}, ""), kExitUsage);
    EXPECT_EQ(Run({"encrypt-text", "--password-file"}, ""), kExitUsage);
    EXPECT_EQ(Run({"--help"}, ""), kExitOk);
    EXPECT_NE(out.str().find("encrypt-text"), std::string::npos);
}

}  // namespace
}  // namespace kiv
