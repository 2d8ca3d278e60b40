#pragma once

#include "shell/core/RandomSource.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelvano
{

// The entries still drawable in this cycle, positions 1..size(), in the
// order of the full list minus the entries already taken out. By default
// taking out the last entry starts a new cycle from the full list at once,
// so without repeats every entry comes up once per cycle; a pool made with
// refillWhenEmpty false stays empty instead (prizes run out).
template <typename T> class DrawPool
{
public:
    explicit DrawPool(bool refillWhenEmpty = true) : m_refill(refillWhenEmpty) {}

    // Starts a new cycle over `all`.
    void reset(std::vector<T> all)
    {
        m_all = std::move(all);
        m_live = m_all;
        m_drawnIndex = 0;
    }

    int size() const { return static_cast<int>(m_live.size()); }
    bool empty() const { return m_live.empty(); }
    const T& at(int position) const { return m_live.at(static_cast<std::size_t>(position - 1)); }
    const std::vector<T>& entries() const { return m_live; }
    const std::vector<T>& all() const { return m_all; }

    // Position of the last random pick; 0 before any.
    int drawnIndex() const { return m_drawnIndex; }

    // A uniform random position 1..size(), remembered as drawnIndex; 0 (and
    // drawnIndex unchanged) when the pool is empty.
    int pickRandom(RandomSource& random)
    {
        if (m_live.empty())
            return 0;
        m_drawnIndex = random.pick(size());
        return m_drawnIndex;
    }

    // A random position 1..size() where position k comes up with chance
    // weight(entry k) over the sum of the live entries' weights (each at
    // least 1), remembered as drawnIndex. One uniform pick over the sum
    // keeps it unbiased; 0 when the pool is empty.
    template <typename Weight> int pickWeighted(RandomSource& random, Weight weight)
    {
        if (m_live.empty())
            return 0;
        std::vector<std::uint64_t> upTo(m_live.size());
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < m_live.size(); ++i)
            upTo[i] = sum += std::max<std::uint64_t>(1, weight(m_live[i]));
        const auto ticket = static_cast<std::uint64_t>(random.pick(static_cast<int>(sum)));
        std::size_t i = 0;
        while (upTo[i] < ticket)
            ++i;
        m_drawnIndex = static_cast<int>(i) + 1;
        return m_drawnIndex;
    }

    // Position of the first live entry equal to `value`, 0 when none.
    int find(const T& value) const;

    // Takes out the entry at `position`; later entries move down and keep
    // their order. An emptied pool refills from the full list.
    void removeAt(int position);

    // Takes out the entry of the last random pick.
    void removeDrawn() { removeAt(m_drawnIndex); }

    // Takes out the first live entry equal to `value`, if any: used after a
    // step that did not come from a random pick, so the entry shown is the
    // one that leaves the pool.
    void removeValue(const T& value) { removeAt(find(value)); }

private:
    std::vector<T> m_all;
    std::vector<T> m_live;
    int m_drawnIndex = 0;
    bool m_refill = true;
};

template <typename T> int DrawPool<T>::find(const T& value) const
{
    for (std::size_t i = 0; i < m_live.size(); ++i) {
        if (m_live[i] == value)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

template <typename T> void DrawPool<T>::removeAt(int position)
{
    if (position < 1 || position > size())
        return;
    m_live.erase(m_live.begin() + (position - 1));
    if (m_live.empty() && m_refill)
        m_live = m_all;
}

} // namespace zelvano
