// kiv-cli's command lines read from cases.txt and run one after another in one folder, each with
// its exit status, standard output and standard error. Parts are 10 bytes, so that a small file
// shows how a stream of any size is stored.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "cli/KivCli.h"
#include "support/FixedClock.h"
#include "support/TempFolder.h"

namespace kiv {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

struct Case {
    int line = 0;
    std::vector<std::string> words;
    std::string in, out;  // files for standard input and output, or ""
    bool append = false;  // ">>": standard output opened to append
    int status = 0;
    std::string expectedOut, expectedErr;
};

std::vector<Case> ReadCases(const std::string& path) {
    std::ifstream file(path);
    std::vector<Case> cases;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        if (text.empty() || text[0] == '#') continue;
        const std::string rest = text.size() > 2 ? text.substr(2) : "";
        if (text[0] == '$') {
            Case c;
            c.line = number;
            std::istringstream words(rest);
            for (std::string word; words >> word;) {
                if (word == "<" || word == ">" || word == ">>") {
                    std::string target;
                    words >> target;
                    (word == "<" ? c.in : c.out) = target;
                    c.append = word == ">>";
                } else {
                    c.words.push_back(word);
                }
            }
            cases.push_back(c);
        } else if (text[0] == '?') {
            cases.back().status = std::stoi(rest);
        } else if (text[0] == '=') {
            cases.back().expectedOut += rest;
        } else if (text[0] == '1') {
            cases.back().expectedOut += rest + "\n";
        } else if (text[0] == '2') {
            cases.back().expectedErr += rest + "\n";
        }
    }
    return cases;
}

TEST(CliCases, EveryCommandLineGivesItsStatusAndLines) {
    TempFolder dir;
    WriteAll(dir / "pw", "case pass\n");
    WriteAll(dir / "wrong", "case pasS\n");
    WriteAll(dir / "a", "alpha");
    WriteAll(dir / "ten", "0123456789");
    WriteAll(dir / "eleven", "0123456789A");
    WriteAll(dir / "big", "abcdefghijklmnopqrstuvwxy");
    WriteAll(dir / "five", "uvwxy");
    WriteAll(dir / "p9990", std::string(9990, 'p'));  // 999 parts
    WriteAll(dir / "p9991", std::string(9991, 'p'));
    std::filesystem::create_directory(dir.path / "out");
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    FixedClock clock{1700000000, LocalTime{2026, 12, 8, 10, 0, 0, 0}};
    const std::vector<Case> cases = ReadCases(KIV_CLI_CASES);
    ASSERT_FALSE(cases.empty());
    for (const Case& c : cases) {
        const std::string where = "cases.txt:" + std::to_string(c.line);
        if (c.words.front() == "same") {  // compares two files, as cmp does
            EXPECT_EQ(ReadAll(c.words[1]), ReadAll(c.words[2])) << where;
            continue;
        }
        if (c.words.front() == "cut") {  // cut FILE N OUT: the first N bytes, as head -c does
            WriteAll(c.words[3], ReadAll(c.words[1]).substr(0, std::stoul(c.words[2])));
            continue;
        }
        std::istringstream in;
        std::ostringstream out, err;
        CliContext context{in, out, err, clock};
        const std::string outPath = c.out.empty() ? ".stdout" : c.out;
        context.outFd =
            open(outPath.c_str(), O_WRONLY | O_CREAT | (c.append ? O_APPEND : O_TRUNC) | O_CLOEXEC,
                 0600);
        context.inFd = open(c.in.empty() ? "/dev/null" : c.in.c_str(), O_RDONLY | O_CLOEXEC);
        context.partBound = 10;
        const int status = RunKivCli(c.words, context);
        close(context.outFd);
        close(context.inFd);
        EXPECT_EQ(status, c.status) << where;
        EXPECT_EQ(out.str() + (c.out.empty() ? ReadAll(".stdout") : ""), c.expectedOut) << where;
        EXPECT_EQ(err.str(), c.expectedErr) << where;
    }
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace kiv
