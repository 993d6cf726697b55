#include "playlist/ShuffleOrder.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace {

const std::size_t kPassesPerItem = 8;
// A draw is 0..32767, so no pass ever reaches a position beyond this.
const std::size_t kDrawRange = 32768;
const std::size_t kSlotsPerWord = 64;

using Item = std::uint32_t;

// kSelectInByte.bit[b][k]: position of the k-th set bit of the byte b.
struct CSelectInByteTable
{
    std::uint8_t bit[256][8];

    constexpr CSelectInByteTable() : bit()
    {
        for (int byte = 0; byte < 256; ++byte) {
            int k = 0;
            for (int b = 0; b < 8; ++b) {
                if (byte & (1 << b))
                    bit[byte][k++] = static_cast<std::uint8_t>(b);
            }
        }
    }
};
constexpr CSelectInByteTable kSelectInByte;

// Position of the k-th (0-based) set bit of a word that has more than k set
// bits. Counts the bits of every byte at once and picks the byte where the
// running count passes k, without a loop or a popcount instruction. It pays:
// the plain loop (drop the k lowest set bits, count the trailing zeros)
// takes the native Shuffle benchmark from 33 to 45 ms CPU at 100,000
// entries and from 0.17 to 0.29 ms at 1,000.
unsigned SelectBit(std::uint64_t word, unsigned k)
{
    const std::uint64_t everyByte = 0x0101010101010101ull;
    const std::uint64_t byteHighBits = 0x8080808080808080ull;
    std::uint64_t counts = word - ((word >> 1) & 0x5555555555555555ull);
    counts = (counts & 0x3333333333333333ull) + ((counts >> 2) & 0x3333333333333333ull);
    counts = (counts + (counts >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    const std::uint64_t runningCounts = counts * everyByte;  // byte i: set bits in bytes 0..i
    // High bit of byte i set where running count i <= k (all counts are below 128).
    const std::uint64_t notYet = (((k * everyByte) | byteHighBits) - runningCounts) & byteHighBits;
    const unsigned byte = static_cast<unsigned>(((notYet >> 7) * everyByte) >> 56);
    const unsigned before = static_cast<unsigned>(((runningCounts << 8) >> (8 * byte)) & 0xFF);
    return 8 * byte + kSelectInByte.bit[(word >> (8 * byte)) & 0xFF][k - before];
}

unsigned BitCount(std::uint64_t word)
{
    unsigned count = 0;
    for (; word != 0; word &= word - 1)
        ++count;
    return count;
}

// The list split where the draws stop reaching: a window of its first
// w = min(n, 32768) items, from which every pass takes one, and a queue of
// the rest. A pass takes the drawn item out of the window, the queue's first
// item moves up to the window's end and the drawn item joins the queue's end
// (with no queue, the drawn item itself goes to the window's end).
//
// The window lives in 2w slots: every pass vacates the drawn item's slot and
// fills the next free one at the end, so window order is slot order; when
// the slots run out the items are packed back to the front. Occupied slots
// are bits, and a complete binary tree of per-word bit counts finds the slot
// of a window position in O(log w). Everything stays within a few hundred
// kilobytes, whatever n is.
class CDrawWindow
{
public:
    explicit CDrawWindow(std::size_t n)
        : m_width(std::min(n, kDrawRange)),
          m_leaves(LeafCount((2 * m_width + kSlotsPerWord - 1) / kSlotsPerWord)),
          m_count(2 * m_leaves),
          m_used(m_leaves),
          m_item(2 * m_width),
          m_queue(n - m_width)
    {
        for (std::size_t i = 0; i < m_width; ++i)
            m_item[i] = static_cast<Item>(i);
        for (std::size_t i = 0; i < m_queue.size(); ++i)
            m_queue[i] = static_cast<Item>(m_width + i);
        IndexPackedWindow();
    }

    void MoveToEnd(std::size_t position)
    {
        if (m_nextSlot == m_item.size())
            Pack();
        Item item = m_item[TakeSlot(position)];
        if (!m_queue.empty()) {
            std::swap(item, m_queue[m_queueHead]);
            m_queueHead = m_queueHead + 1 == m_queue.size() ? 0 : m_queueHead + 1;
        }
        m_item[m_nextSlot] = item;
        const std::size_t word = m_nextSlot / kSlotsPerWord;
        m_used[word] |= std::uint64_t(1) << (m_nextSlot % kSlotsPerWord);
        for (std::size_t node = m_leaves + word; node > 0; node /= 2)
            ++m_count[node];
        ++m_nextSlot;
    }

    std::vector<std::size_t> Order()
    {
        Pack();
        std::vector<std::size_t> order(m_item.begin(), m_item.begin() + m_width);
        order.insert(order.end(), m_queue.begin() + m_queueHead, m_queue.end());
        order.insert(order.end(), m_queue.begin(), m_queue.begin() + m_queueHead);
        return order;
    }

private:
    static std::size_t LeafCount(std::size_t words)
    {
        std::size_t leaves = 1;
        while (leaves < words)
            leaves *= 2;
        return leaves;
    }

    bool IsUsed(std::size_t slot) const { return (m_used[slot / kSlotsPerWord] >> (slot % kSlotsPerWord)) & 1; }

    // Moves the window's items to slots 0..w-1, keeping their order.
    void Pack()
    {
        // Free slots are scattered at random: copying every slot and only
        // advancing past used ones avoids a mispredicted branch per slot.
        std::size_t packed = 0;
        for (std::size_t slot = 0; slot < m_nextSlot; ++slot) {
            m_item[packed] = m_item[slot];
            packed += IsUsed(slot);
        }
        IndexPackedWindow();
    }

    void IndexPackedWindow()
    {
        m_nextSlot = m_width;
        std::fill(m_used.begin(), m_used.end(), 0);
        std::fill(m_used.begin(), m_used.begin() + m_width / kSlotsPerWord, ~std::uint64_t(0));
        if (m_width % kSlotsPerWord != 0)
            m_used[m_width / kSlotsPerWord] = (std::uint64_t(1) << (m_width % kSlotsPerWord)) - 1;
        for (std::size_t word = 0; word < m_leaves; ++word)
            m_count[m_leaves + word] = BitCount(m_used[word]);
        for (std::size_t node = m_leaves - 1; node > 0; --node)
            m_count[node] = m_count[2 * node] + m_count[2 * node + 1];
    }

    // Walks down to the word holding window position `position`, taking the
    // item out of every count on the way, then picks the bit in that word.
    // The branch-free step keeps the random walk from stalling on
    // mispredictions.
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
        --m_count[node];
        const std::size_t word = node - m_leaves;
        const unsigned bit = SelectBit(m_used[word], static_cast<unsigned>(position));
        m_used[word] &= ~(std::uint64_t(1) << bit);
        return word * kSlotsPerWord + bit;
    }

    const std::size_t m_width;
    const std::size_t m_leaves;
    std::vector<std::uint32_t> m_count;  // node i has children 2i and 2i+1; leaf i counts word i - m_leaves
    std::vector<std::uint64_t> m_used;   // bit s of word w: slot 64w + s holds an item
    std::vector<Item> m_item;            // by slot
    std::vector<Item> m_queue;           // a ring starting at m_queueHead
    std::size_t m_queueHead = 0;
    std::size_t m_nextSlot = 0;
};

}  // namespace

std::vector<std::size_t> ShuffledOrder(std::size_t n, CRandom& random)
{
    if (n > std::numeric_limits<Item>::max())
        throw std::length_error("ShuffledOrder: too many items");
    if (n == 0)
        return {};

    CDrawWindow window(n);
    const unsigned modulus = static_cast<unsigned>(n);
    for (std::size_t pass = 0; pass < kPassesPerItem * n; ++pass)
        window.MoveToEnd(static_cast<unsigned>(random.Next()) % modulus);
    return window.Order();
}
