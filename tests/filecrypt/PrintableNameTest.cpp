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

// Every byte value alone, 16 to a row, as written out by hand: the control bytes, DEL and each
// byte that is no UTF-8 character by itself are escaped, and so is the backslash. The 256 bytes
// in one name show as the rows one after the other.
TEST(PrintableName, EveryByteAlone) {
    const std::string rows[16] = {
        "\\x00\\x01\\x02\\x03\\x04\\x05\\x06\\x07\\x08\\t\\n\\x0b\\x0c\\r\\x0e\\x0f",
        "\\x10\\x11\\x12\\x13\\x14\\x15\\x16\\x17\\x18\\x19\\x1a\\x1b\\x1c\\x1d\\x1e\\x1f",
        " !\"#$%&'()*+,-./",
        "0123456789:;<=>?",
        "@ABCDEFGHIJKLMNO",
        "PQRSTUVWXYZ[\\\\]^_",
        "`abcdefghijklmno",
        "pqrstuvwxyz{|}~\\x7f",
        "\\x80\\x81\\x82\\x83\\x84\\x85\\x86\\x87\\x88\\x89\\x8a\\x8b\\x8c\\x8d\\x8e\\x8f",
        "\\x90\\x91\\x92\\x93\\x94\\x95\\x96\\x97\\x98\\x99\\x9a\\x9b\\x9c\\x9d\\x9e\\x9f",
        "\\xa0\\xa1\\xa2\\xa3\\xa4\\xa5\\xa6\\xa7\\xa8\\xa9\\xaa\\xab\\xac\\xad\\xae\\xaf",
        "\\xb0\\xb1\\xb2\\xb3\\xb4\\xb5\\xb6\\xb7\\xb8\\xb9\\xba\\xbb\\xbc\\xbd\\xbe\\xbf",
        "\\xc0\\xc1\\xc2\\xc3\\xc4\\xc5\\xc6\\xc7\\xc8\\xc9\\xca\\xcb\\xcc\\xcd\\xce\\xcf",
        "\\xd0\\xd1\\xd2\\xd3\\xd4\\xd5\\xd6\\xd7\\xd8\\xd9\\xda\\xdb\\xdc\\xdd\\xde\\xdf",
        "\\xe0\\xe1\\xe2\\xe3\\xe4\\xe5\\xe6\\xe7\\xe8\\xe9\\xea\\xeb\\xec\\xed\\xee\\xef",
        "\\xf0\\xf1\\xf2\\xf3\\xf4\\xf5\\xf6\\xf7\\xf8\\xf9\\xfa\\xfb\\xfc\\xfd\\xfe\\xff"};
    std::string all, shown;
    for (int row = 0; row < 16; ++row) {
        std::string bytes;
        for (int byte = row * 16; byte < row * 16 + 16; ++byte) {
            all += static_cast<char>(byte);
            bytes += PrintableName(std::string(1, static_cast<char>(byte)));
        }
        EXPECT_EQ(bytes, rows[row]) << "row " << row;
        shown += rows[row];
    }
    EXPECT_EQ(PrintableName(all), shown);
}

}  // namespace
}  // namespace kiv
