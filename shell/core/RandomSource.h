#pragma once

namespace zelvano
{

// The one random source of the program. Picks are uniform and unbiased; the
// real source draws from a generator seeded from the operating system's
// entropy, never from the time of day.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A position 1..count, each equally likely. Count below 1 gives 1.
    virtual int pick(int count) = 0;
    // Seeds the generator afresh from the operating system, before a draw.
    virtual void reseed() = 0;
};

} // namespace zelvano
