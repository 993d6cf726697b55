#include "framework/Icon.h"

#include <gtest/gtest.h>

namespace {

TEST(ChooseIconSize, TakesTheSameSizeElseTheNearestLargerElseTheLargest)
{
    // The program's icon sizes, in the order the group stores them.
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    const struct
    {
        int wanted;
        int chosen;
    } cases[] = {
        {16, 16}, {20, 20}, {32, 32}, {48, 48}, {64, 64}, {256, 256},
        {8, 16},     // smaller than any: the smallest, scaled down
        {18, 20},    // between two: the larger one, scaled down
        {36, 40},    // SM_CXICON at 108 DPI
        {56, 64},    // SM_CXICON at 168 DPI
        {96, 256},   // SM_CXICON at 288 DPI
        {300, 256},  // larger than any: the largest
    };
    for (const auto& row : cases) {
        const int index = ChooseIconSize(sizes, row.wanted);
        ASSERT_GE(index, 0) << row.wanted;
        EXPECT_EQ(row.chosen, sizes[index]) << row.wanted;
    }
    // The order of the group does not matter; an empty group has nothing.
    EXPECT_EQ(1, ChooseIconSize({64, 40, 16}, 33));
    EXPECT_EQ(0, ChooseIconSize({64, 40, 16}, 65));
    EXPECT_EQ(-1, ChooseIconSize({}, 32));
}

}  // namespace
