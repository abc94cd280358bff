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

}  // namespace
}  // namespace kiv
