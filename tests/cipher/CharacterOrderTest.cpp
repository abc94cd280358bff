#include <gtest/gtest.h>

#include "cipher/CharacterOrder.h"

namespace kiv {
namespace {

TEST(CharacterOrder, AlphabetAndIndexes) {
    CharacterOrder order;
    BuildCharacterOrder(order);
    EXPECT_EQ(order.CharOrder[0], '0');
    EXPECT_EQ(order.CharOrder[10], 'A');
    EXPECT_EQ(order.CharOrder[36], 'a');
    EXPECT_EQ(order.CharOrder[60], 'y');
    EXPECT_EQ(order.CharOrder[61], 'z');
    EXPECT_EQ(order.CharOrder[62], ' ');
    EXPECT_EQ(order.CharOrder[255], 31);
    EXPECT_EQ(order.CharIndex['y'], 60);
    EXPECT_EQ(order.CharIndex['z'], 61);
    EXPECT_EQ(order.CharIndex[0], 224);
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(order.CharOrder[order.CharIndex[c]], c);
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        EXPECT_EQ(order.CharIndex[c] <= 61, alnum) << c;
    }
}

}  // namespace
}  // namespace kiv
