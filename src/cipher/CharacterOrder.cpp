#include "cipher/CharacterOrder.h"

namespace kiv {

void BuildCharacterOrder(CharacterOrder& order) {
    static constexpr int kRanges[][2] = {{48, 57}, {65, 90}, {97, 122},  {32, 47},
                                         {58, 64}, {91, 96}, {123, 255}, {0, 31}};
    int k = 0;
    for (const auto& range : kRanges)
        for (int c = range[0]; c <= range[1]; ++c)
            order.CharOrder[k++] = static_cast<std::uint8_t>(c);
    for (int i = 0; i < 256; ++i)
        order.CharIndex[order.CharOrder[i]] = static_cast<std::uint8_t>(i);
}

}  // namespace kiv
