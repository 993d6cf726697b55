#pragma once

#include "framework/Random.h"

#include <cstddef>
#include <vector>

// The order a list of n items ends in after 8 × n passes of "draw r,
// r = draw mod n, move the item at position r to the end", one draw per
// pass and none at all for n = 0. result[i] is the original position of the
// item that ends at position i. A draw is at most 32767, so above 32768
// items only the first 32768 positions are ever moved: that is the shuffle
// the player's users have always had.
//
// Runs in O(n log n) instead of the O(n²) of moving items in a list.
std::vector<std::size_t> ShuffledOrder(std::size_t n, CRandom& random);
