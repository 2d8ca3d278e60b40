#pragma once

#include "shell/core/RandomSource.h"

#include <random>

namespace zelvano
{

// The program's random source: a 64-bit Mersenne Twister seeded from the
// operating system's entropy, with unbiased integer picks.
class EntropyRandom final : public RandomSource
{
public:
    EntropyRandom();
    int pick(int count) override;
    void reseed() override;

private:
    std::mt19937_64 m_engine;
};

} // namespace zelvano
