#include <gtest/gtest.h>

#include "filecrypt/PrintableName.h"

namespace kiv {
namespace {

TEST(PrintableName, EscapesWhatCouldSteerADisplayAndKeepsTheRest) {
    const struct {
        std::string bytes, shown;
    } cases[] = {
        {"notes.txt", "notes.txt"},
        {"a\x1b[2Kb", "a\\x1b[2Kb"},
        {"line\nfake\r\tend", "line\\nfake\\r\\tend"},
        {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80"},
        {"c1\xc2\x9b", "c1\\xc2\\x9b"},  // CSI as a C1 control
        {"ls\xe2\x80\xa8"
         "ps\xe2\x80\xa9",
         "ls\\xe2\\x80\\xa8ps\\xe2\\x80\\xa9"},
        {"rlo\xe2\x80\xaetxt", "rlo\\xe2\\x80\\xaetxt"},  // bidirectional override
        {"lone\x9b", "lone\\x9b"},                        // 8-bit CSI, no UTF-8
        {"cut\xe6\x97", "cut\\xe6\\x97"},                 // a character cut short
        {"over\xc0\xaf", "over\\xc0\\xaf"},               // overlong "/"
        {"sur\xed\xa0\x80", "sur\\xed\\xa0\\x80"},        // a surrogate
        {"last\xed\xbf\xbf", "last\\xed\\xbf\\xbf"},      // the last surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintableName(c.bytes), c.shown) << c.shown;
}

}  // namespace
}  // namespace kiv
