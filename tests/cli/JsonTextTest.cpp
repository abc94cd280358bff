#include "cli/JsonText.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

// Valid UTF-8 stays; every byte of what is not becomes \udcXX, so that the JSON text gives the
// stored bytes back (Python: os.fsencode(json.loads(text))).
TEST(JsonTextTest, NamesOfAnyBytes) {
    const struct {
        std::string bytes, json;
    } cases[] = {
        {"", "\"\""},
        {"plain.txt", "\"plain.txt\""},
        {"\"q\" \\ /", "\"\\\"q\\\" \\\\ /\""},
        {"a\nb\tc\x01\x7f", "\"a\\nb\\tc\\u0001\\u007f\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x94\x91",
         "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x94\x91\""},
        {"\xff", "\"\\udcff\""},
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},                        // overlong "/"
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},             // an encoded surrogate
        {"\xf4\x90\x80\x80", "\"\\udcf4\\udc90\\udc80\\udc80\""},  // above U+10FFFF
        {"\xe2\x82", "\"\\udce2\\udc82\""},                        // cut short
        {"\xc3\xa9\xc3", "\"\xc3\xa9\\udcc3\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
}

// Every byte value alone, 16 to a row, as written out by hand: the control bytes and DEL as
// \uXXXX (LF and TAB as \n and \t), quote and backslash escaped, and each byte that is no
// UTF-8 character by itself as \udcXX. The 256 bytes in one name give the rows in turn.
TEST(JsonTextTest, EveryByteAlone) {
    const std::string rows[16] = {
        "\\u0000\\u0001\\u0002\\u0003\\u0004\\u0005\\u0006\\u0007"
        "\\u0008\\t\\n\\u000b\\u000c\\u000d\\u000e\\u000f",
        "\\u0010\\u0011\\u0012\\u0013\\u0014\\u0015\\u0016\\u0017"
        "\\u0018\\u0019\\u001a\\u001b\\u001c\\u001d\\u001e\\u001f",
        " !\\\"#$%&'()*+,-./",
        "0123456789:;<=>?",
        "@ABCDEFGHIJKLMNO",
        "PQRSTUVWXYZ[\\\\]^_",
        "`abcdefghijklmno",
        "pqrstuvwxyz{|}~\\u007f",
        "\\udc80\\udc81\\udc82\\udc83\\udc84\\udc85\\udc86\\udc87"
        "\\udc88\\udc89\\udc8a\\udc8b\\udc8c\\udc8d\\udc8e\\udc8f",
        "\\udc90\\udc91\\udc92\\udc93\\udc94\\udc95\\udc96\\udc97"
        "\\udc98\\udc99\\udc9a\\udc9b\\udc9c\\udc9d\\udc9e\\udc9f",
        "\\udca0\\udca1\\udca2\\udca3\\udca4\\udca5\\udca6\\udca7"
        "\\udca8\\udca9\\udcaa\\udcab\\udcac\\udcad\\udcae\\udcaf",
        "\\udcb0\\udcb1\\udcb2\\udcb3\\udcb4\\udcb5\\udcb6\\udcb7"
        "\\udcb8\\udcb9\\udcba\\udcbb\\udcbc\\udcbd\\udcbe\\udcbf",
        "\\udcc0\\udcc1\\udcc2\\udcc3\\udcc4\\udcc5\\udcc6\\udcc7"
        "\\udcc8\\udcc9\\udcca\\udccb\\udccc\\udccd\\udcce\\udccf",
        "\\udcd0\\udcd1\\udcd2\\udcd3\\udcd4\\udcd5\\udcd6\\udcd7"
        "\\udcd8\\udcd9\\udcda\\udcdb\\udcdc\\udcdd\\udcde\\udcdf",
        "\\udce0\\udce1\\udce2\\udce3\\udce4\\udce5\\udce6\\udce7"
        "\\udce8\\udce9\\udcea\\udceb\\udcec\\udced\\udcee\\udcef",
        "\\udcf0\\udcf1\\udcf2\\udcf3\\udcf4\\udcf5\\udcf6\\udcf7"
        "\\udcf8\\udcf9\\udcfa\\udcfb\\udcfc\\udcfd\\udcfe\\udcff"};
    std::string all, json;
    for (int row = 0; row < 16; ++row) {
        std::string bytes;
        for (int byte = row * 16; byte < row * 16 + 16; ++byte) {
            all += static_cast<char>(byte);
            const std::string one = JsonString(std::string(1, static_cast<char>(byte)));
            bytes += one.substr(1, one.size() - 2);
        }
        EXPECT_EQ(bytes, rows[row]) << "row " << row;
        json += rows[row];
    }
    EXPECT_EQ(JsonString(all), '"' + json + '"');
}

}  // namespace
}  // namespace kiv
