#include "framework/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Draw(CRandom& random, int count)
{
    std::vector<int> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(random.Next());
    return draws;
}

// The Windows C runtime's rand() after srand(1) (its default) and srand(42).
TEST(CRandomTest, MatchesTheRuntimeSequence)
{
    CRandom random;
    EXPECT_EQ(Draw(random, 5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    random.Seed(1);
    EXPECT_EQ(random.Next(), 41);

    CRandom seeded(42);
    EXPECT_EQ(Draw(seeded, 3), (std::vector<int>{175, 400, 17869}));
}

TEST(CRandomTest, ProcessWideGeneratorIsOneObject)
{
    EXPECT_EQ(&AfxGetRandom(), &AfxGetRandom());
}

}
