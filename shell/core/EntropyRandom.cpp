#include "shell/core/EntropyRandom.h"

#include "shell/platform/OsEntropy.h"

namespace zelvano
{

EntropyRandom::EntropyRandom()
{
    reseed();
}

int EntropyRandom::pick(int count)
{
    if (count <= 1)
        return 1;
    std::uniform_int_distribution<int> positions(1, count);
    return positions(m_engine);
}

void EntropyRandom::reseed()
{
    std::seed_seq seed{platform::osEntropy64(), platform::osEntropy64(), platform::osEntropy64(),
                       platform::osEntropy64()};
    m_engine.seed(seed);
}

} // namespace zelvano
