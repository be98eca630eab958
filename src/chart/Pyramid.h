#pragma once

// Summaries of a long series at powers of two, built once, so that any
// range of it is summed up in time that grows with the logarithm of its
// length rather than with the readings in it.
//
// Level 0 holds one node per block of readings; each level above
// joins two neighbours of the level below. A range is answered from the
// readings at its two ragged ends and the largest whole nodes in between,
// joined from left to right, so a node type may keep the first of equal
// values (the earliest point wins a tie).
//
// Node needs a default value that is the summary of nothing and a static
// join(a, b) of a range a followed by the range b. The leaf function
// leaf(from, to) summarises the readings [from, to) directly.

#include "PrefaultedAllocator.h"

#include <algorithm>
#include <vector>

namespace tq {

template <class Node> class Pyramid {
  public:
    explicit Pyramid(int block = 64) : m_block(std::max(1, block)) {}

    // Builds over count readings in blocks of block readings (the one given
    // before when 0).
    template <class Leaf> void build(int count, Leaf&& leaf, int block = 0) {
        if (block > 0 && block != m_block) {
            m_block = block;
            m_levels.clear();
        }
        m_count = std::max(0, count);
        const size_t blocks = size_t(m_count / m_block); // a ragged tail stays with the leaves
        size_t levels = 0;
        for (size_t n = blocks; n > 0; n = n > 1 ? n / 2 : 0)
            ++levels;
        // Built again over the same count (the data changed), the levels
        // keep their memory: fresh memory costs a page fault a page.
        m_levels.resize(levels);
        for (size_t l = 0, n = blocks; l < levels; ++l, n /= 2)
            m_levels[l].resize(n);
        for (size_t b = 0; b < blocks; ++b)
            m_levels[0][b] = leaf(int(b) * m_block, int(b + 1) * m_block);
        for (size_t l = 1; l < levels; ++l) {
            const auto& below = m_levels[l - 1];
            auto& above = m_levels[l];
            for (size_t j = 0; j < above.size(); ++j)
                above[j] = Node::join(below[2 * j], below[2 * j + 1]);
        }
    }

    // The series grew to count readings (the earlier ones unchanged): the
    // new whole blocks join the levels, so a reading a second costs a few
    // nodes, not a new build. The levels come out as build() makes them.
    template <class Leaf> void extend(int count, Leaf&& leaf) {
        if (count < m_count) return build(count, leaf);
        m_count = count;
        const size_t blocks = size_t(m_count / m_block);
        if (blocks == 0) return;
        if (m_levels.empty()) m_levels.emplace_back();
        for (size_t b = m_levels[0].size(); b < blocks; ++b)
            m_levels[0].push_back(leaf(int(b) * m_block, int(b + 1) * m_block));
        for (size_t l = 0; m_levels[l].size() > 1; ++l) {
            if (l + 1 == m_levels.size()) m_levels.emplace_back();
            const size_t whole = m_levels[l].size() / 2;
            for (size_t j = m_levels[l + 1].size(); j < whole; ++j)
                m_levels[l + 1].push_back(Node::join(m_levels[l][2 * j], m_levels[l][2 * j + 1]));
        }
    }

    // The summary of the readings [from, to), clamped to the series.
    template <class Leaf> Node query(int from, int to, Leaf&& leaf) const {
        from = std::max(from, 0);
        to = std::min(to, m_count);
        if (from >= to) return Node();
        const int firstBlock = (from + m_block - 1) / m_block;
        const int endBlock = std::min(to / m_block, m_levels.empty() ? 0 : int(m_levels[0].size()));
        if (firstBlock >= endBlock) return leaf(from, to);
        Node acc = from < firstBlock * m_block ? leaf(from, firstBlock * m_block) : Node();
        int b = firstBlock;
        while (b < endBlock) {
            // The highest node that starts at b and ends by endBlock.
            size_t l = 0;
            while (l + 1 < m_levels.size() && (b & ((2 << l) - 1)) == 0 && b + (2 << l) <= endBlock)
                ++l;
            acc = Node::join(acc, m_levels[l][size_t(b >> l)]);
            b += 1 << l;
        }
        if (endBlock * m_block < to) acc = Node::join(acc, leaf(endBlock * m_block, to));
        return acc;
    }

    int count() const { return m_count; }
    size_t bytes() const {
        size_t n = 0;
        for (const auto& l : m_levels)
            n += l.capacity() * sizeof(Node);
        return n;
    }

  private:
    int m_block;
    int m_count = 0;
    std::vector<std::vector<Node, PrefaultedAllocator<Node>>> m_levels;
};

} // namespace tq
