#include "cli/LineBatchReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace kiv {
namespace {

// Every input read in batches of a few lines and bytes gives the lines std::getline gives, each
// without its CR before the LF, across reads and buffer growth.
TEST(LineBatchReader, GivesEveryLineAsGetlineWithoutItsCr) {
    const std::string longLine(200000, 'x');  // longer than one read
    const std::vector<std::string> inputs = {
        "",
        "\n",
        "one",
        "one\ntwo\n",
        "one\r\ntwo\r\n\r\nlast without lf\r",
        "a\rb\r\n\n\n",
        longLine + "\r\nshort\n" + longLine + "\n" + longLine,
        std::string(70000, '\n'),
    };
    for (const auto reads : {LineBatchReader::Reads::Large, LineBatchReader::Reads::LineAtATime})
        for (const std::size_t maxLines : {1, 3, 4096}) {
            for (const std::size_t maxBytes : {1, 10, 1 << 18}) {
                for (const std::string& input : inputs) {
                    std::vector<std::string> expected;
                    std::istringstream plain(input);
                    for (std::string line; std::getline(plain, line);) {
                        if (!line.empty() && line.back() == '\r') line.pop_back();
                        expected.push_back(line);
                    }
                    std::istringstream in(input);
                    LineBatchReader reader(in, reads);
                    std::vector<std::string> got;
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
                        got.insert(got.end(), lines.begin(), lines.end());
                        before = &lines;
                    }
                    ASSERT_EQ(got, expected) << "input of " << input.size() << " bytes, "
                                             << maxLines << " lines, " << maxBytes << " bytes";
                }
            }
        }
}

// A line typed at a terminal is answered before the next one is typed: nothing past its LF is
// read.
TEST(LineBatchReader, ALineAtATimeTakesNothingPastTheLine) {
    std::istringstream in("first\r\n\nthird");
    LineBatchReader reader(in, LineBatchReader::Reads::LineAtATime);
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
