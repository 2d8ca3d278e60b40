#pragma once

#include "draw/DrawPool.h"

namespace zelvano
{

// The prize window's draw pool: sheet rows of tickets or of people. Unlike
// the number draw it never refills: a ticket used or a person who won is
// gone until the sheet is read again, and an empty pool ends the event.
class PrizePool : public DrawPool<int>
{
public:
    PrizePool() : DrawPool<int>(false) {}
};

} // namespace zelvano
