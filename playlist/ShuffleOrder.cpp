#include "playlist/ShuffleOrder.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

const std::size_t kPassesPerItem = 8;

// The list during one round of n passes, laid out in 2n slots: the n items
// start in slots 0..n-1 and every pass vacates the slot of the drawn item
// and fills the next free slot at the end, so list order is slot order.
// A complete binary tree of occupied-slot counts finds the slot of list
// position r in O(log n).
class CMoveToEndRound
{
public:
    explicit CMoveToEndRound(std::size_t n)
        : m_leaves(LeafCount(2 * n)), m_count(2 * m_leaves), m_item(2 * n)
    {
    }

    void Start(const std::vector<std::size_t>& order)
    {
        std::copy(order.begin(), order.end(), m_item.begin());
        m_nextSlot = order.size();
        std::fill(m_count.begin(), m_count.end(), 0);
        std::fill(m_count.begin() + m_leaves, m_count.begin() + m_leaves + order.size(), 1);
        for (std::size_t node = m_leaves - 1; node > 0; --node)
            m_count[node] = m_count[2 * node] + m_count[2 * node + 1];
    }

    void MoveToEnd(std::size_t position)
    {
        const std::size_t item = m_item[TakeSlot(position)];
        m_item[m_nextSlot] = item;
        for (std::size_t node = m_leaves + m_nextSlot; node > 0; node /= 2)
            ++m_count[node];
        ++m_nextSlot;
    }

    void Finish(std::vector<std::size_t>& order) const
    {
        auto out = order.begin();
        for (std::size_t slot = 0; slot < m_nextSlot; ++slot) {
            if (m_count[m_leaves + slot] != 0)
                *out++ = m_item[slot];
        }
    }

private:
    static std::size_t LeafCount(std::size_t slots)
    {
        std::size_t leaves = 1;
        while (leaves < slots)
            leaves *= 2;
        return leaves;
    }

    // Walks down to the slot holding list position `position`, taking the
    // item out of every count on the way. The branch-free step keeps the
    // random walk from stalling on mispredictions.
    std::size_t TakeSlot(std::size_t position)
    {
        std::size_t node = 1;
        while (node < m_leaves) {
            --m_count[node];
            const std::size_t left = 2 * node;
            const std::uint32_t leftCount = m_count[left];
            const bool goRight = position >= leftCount;
            position -= goRight ? leftCount : 0;
            node = left + goRight;
        }
        m_count[node] = 0;
        return node - m_leaves;
    }

    const std::size_t m_leaves;
    std::vector<std::uint32_t> m_count;  // node i has children 2i and 2i+1; leaves from m_leaves on
    std::vector<std::size_t> m_item;
    std::size_t m_nextSlot = 0;
};

}  // namespace

std::vector<std::size_t> ShuffledOrder(std::size_t n, CRandom& random)
{
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t(0));
    if (n == 0)
        return order;

    // Eight rounds of n passes each; between rounds the survivors are packed
    // back to the front so the tree spans 2n slots rather than 9n.
    CMoveToEndRound round(n);
    for (std::size_t r = 0; r < kPassesPerItem; ++r) {
        round.Start(order);
        for (std::size_t pass = 0; pass < n; ++pass)
            round.MoveToEnd(static_cast<std::size_t>(random.Next()) % n);
        round.Finish(order);
    }
    return order;
}
