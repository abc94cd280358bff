#include "cli/LineBatchReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace kiv {
namespace {

// Every input read in batches of a few lines and bytes gives the lines std::getline gives, each
// without its CR before the LF, across reads and buffer growth. A line longer than the bound
// (without its LF or CR LF) comes empty and is named by TooLong(); the lines after it come as
// ever.
TEST(LineBatchReader, GivesEveryLineAsGetlineWithoutItsCr) {
    const std::string longLine(200000, 'x');  // longer than one read
    struct Case {
        std::string input;
        std::size_t longest = 1 << 20;
        std::vector<std::string> lines = {};  // as std::getline gives them, when not given
        std::vector<std::size_t> tooLong = {};
    };
    std::vector<Case> cases = {
        {""},
        {"\n"},
        {"one"},
        {"one\ntwo\n"},
        {"one\r\ntwo\r\n\r\nlast without lf\r"},
        {"a\rb\r\n\n\n"},
        {longLine + "\r\nshort\n" + longLine + "\n" + longLine},
        {std::string(70000, '\n')},
        {"abcd\nabcde\nab\r\nabcd\r\nabcde\r\nabcd\r",
         4,
         {"abcd", "", "ab", "abcd", "", "abcd"},
         {1, 4}},
        {"abcde\r", 4, {""}, {0}},
        // Two reads end just after the CR; the LF comes with the third.
        {std::string(131071, 'c') + "\r\n", 131071, {std::string(131071, 'c')}, {}},
        {"\n\r\nx\n\r\r\n", 0, {"", "", "", ""}, {2, 3}},
        {longLine + "\nafter\n" + std::string(1001, 'y') + "\r\n" + std::string(1000, 'z') +
             "\r\n" + longLine,
         1000,
         {"", "after", "", std::string(1000, 'z'), ""},
         {0, 2, 4}},
    };
    for (Case& c : cases) {
        std::istringstream plain(c.input);
        for (std::string line; c.longest == 1 << 20 && std::getline(plain, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            c.lines.push_back(line);
        }
    }
    for (const auto reads : {LineBatchReader::Reads::Large, LineBatchReader::Reads::LineAtATime})
        for (const std::size_t maxLines : {1, 3, 4096}) {
            for (const std::size_t maxBytes : {1, 10, 1 << 18}) {
                for (const Case& c : cases) {
                    std::istringstream in(c.input);
                    LineBatchReader reader(in, c.longest, reads);
                    std::vector<std::string> got;
                    std::vector<std::size_t> tooLong = {};
                    // The batch before stays whole while the next one is read.
                    const std::vector<std::string_view>* before = nullptr;
                    for (;;) {
                        const auto& lines = reader.Next(maxLines, maxBytes);
                        if (before != nullptr) {
                            ASSERT_TRUE(std::equal(before->begin(), before->end(),
                                                   got.end() - std::ssize(*before)));
                        }
                        if (lines.empty()) break;
                        ASSERT_LE(lines.size(), maxLines);
                        for (const std::size_t t : reader.TooLong())
                            tooLong.push_back(got.size() + t);
                        got.insert(got.end(), lines.begin(), lines.end());
                        before = &lines;
                    }
                    ASSERT_EQ(got, c.lines) << "input of " << c.input.size() << " bytes, "
                                            << maxLines << " lines, " << maxBytes << " bytes";
                    ASSERT_EQ(tooLong, c.tooLong) << "input of " << c.input.size() << " bytes";
                }
            }
        }
}

// A line typed at a terminal is answered before the next one is typed: nothing past its LF is
// read.
TEST(LineBatchReader, ALineAtATimeTakesNothingPastTheLine) {
    std::istringstream in("first\r\n\nthird");
    LineBatchReader reader(in, 1 << 20, LineBatchReader::Reads::LineAtATime);
    const std::vector<std::pair<std::string, std::streamoff>> expected = {
        {"first", 7}, {"", 8}, {"third", -1}};
    for (const auto& [line, position] : expected) {
        const auto& lines = reader.Next(1, 1 << 18);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], line);
        EXPECT_EQ(in.tellg(), position) << line;
    }
    EXPECT_TRUE(reader.Next(1, 1 << 18).empty());
}

}  // namespace
}  // namespace kiv
