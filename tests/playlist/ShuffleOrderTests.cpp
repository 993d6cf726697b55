#include "playlist/ShuffleOrder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

namespace {

// The passes exactly as the list box would make them: 8 × n times, the item
// at position draw mod n is taken out and put back at the end. Items are
// 16-bit so that the O(n²) moves stay quick for the sizes tested.
std::vector<std::size_t> LiteralPasses(std::size_t n, CRandom& random)
{
    EXPECT_LE(n, 65536u);
    std::vector<std::uint16_t> list(n);
    std::iota(list.begin(), list.end(), std::uint16_t(0));
    for (std::size_t pass = 0; pass < 8 * n; ++pass) {
        const auto item = list.begin() + static_cast<std::size_t>(random.Next()) % n;
        const std::uint16_t moved = *item;
        list.erase(item);
        list.push_back(moved);
    }
    return std::vector<std::size_t>(list.begin(), list.end());
}

void ExpectSameAsLiteralPasses(std::size_t n, unsigned int seed)
{
    CRandom random(seed);
    CRandom reference(seed);
    EXPECT_EQ(ShuffledOrder(n, random), LiteralPasses(n, reference)) << "n = " << n << ", seed = " << seed;
    // One draw per pass, 8 × n in all: both generators are at the same place.
    EXPECT_EQ(random.Next(), reference.Next()) << "n = " << n << ", seed = " << seed;
}

TEST(ShuffledOrder, EqualsTheLiteralPasses)
{
    const std::size_t sizes[] = {1, 2, 3, 5, 7, 13, 31, 97, 1000};
    const unsigned int seeds[] = {0, 1, 2, 42, 1700000000u, 0xFFFFFFFFu};
    for (std::size_t n : sizes) {
        for (unsigned int seed : seeds)
            ExpectSameAsLiteralPasses(n, seed);
    }
}

// Draws reach only the first 32768 positions; the result must follow suit.
TEST(ShuffledOrder, EqualsTheLiteralPassesAbove32768Items)
{
    ExpectSameAsLiteralPasses(33000, 1234567u);
}

TEST(ShuffledOrder, EmptyListDrawsNothing)
{
    CRandom random(7);
    EXPECT_TRUE(ShuffledOrder(0, random).empty());
    EXPECT_EQ(random.Next(), CRandom(7).Next());
}

}  // namespace
