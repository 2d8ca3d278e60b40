#include "rollbook/cfb/ContentHash.h"

#include <xxhash.h>

#include <new>

namespace zelvano::xls
{

struct ContentHasher::State {
    XXH3_state_t* xxh = XXH3_createState();
    ~State() { XXH3_freeState(xxh); }
};

std::uint64_t contentHash(const void* data, std::size_t size)
{
    return XXH3_64bits(data, size);
}

ContentHasher::ContentHasher() : m_state(std::make_unique<State>())
{
    if (!m_state->xxh || XXH3_64bits_reset(m_state->xxh) != XXH_OK)
        throw std::bad_alloc();
}

ContentHasher::~ContentHasher() = default;

void ContentHasher::update(const void* data, std::size_t size)
{
    XXH3_64bits_update(m_state->xxh, data, size);
}

std::uint64_t ContentHasher::digest() const
{
    return XXH3_64bits_digest(m_state->xxh);
}

} // namespace zelvano::xls
