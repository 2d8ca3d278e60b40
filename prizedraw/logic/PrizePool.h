#pragma once

#include "numberdraw/logic/DrawPool.h"

#include <vector>

namespace zelvano
{

// The prize window's draw pool: sheet rows of tickets or of people. Unlike
// the number draw it never refills: a ticket used or a person who won is
// gone until the sheet is read again, and an empty pool ends the event.
class PrizePool
{
public:
    void reset(std::vector<int> rows) { m_pool.reset(std::move(rows)); }
    int size() const { return m_pool.size(); }
    int at(int position) const { return m_pool.at(position); }
    const std::vector<int>& entries() const { return m_pool.entries(); }
    int drawnIndex() const { return m_pool.drawnIndex(); }
    int pickRandom(RandomSource& random) { return m_pool.pickRandom(random); }

    // Takes out the entry of the last pick; later entries move down.
    void removeDrawn()
    {
        const int position = m_pool.drawnIndex();
        if (position < 1 || position > size())
            return;
        // The shared pool refills when its last entry goes; this one stays empty.
        if (size() == 1)
            m_pool.reset({});
        else
            m_pool.removeAt(position);
    }

private:
    DrawPool<int> m_pool;
};

} // namespace zelvano
