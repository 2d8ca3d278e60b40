#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zelvano::xls
{

// A fast 64-bit hash of a file's bytes (xxHash's XXH3), enough to tell two
// versions of one file apart. The library is used only here, so another
// build (Windows) needs only this file to bring its own copy.
std::uint64_t contentHash(const void* data, std::size_t size);

// The same hash over bytes that arrive in pieces: update() with each piece,
// then digest() equals contentHash() of all of them at once.
class ContentHasher
{
public:
    ContentHasher();
    ~ContentHasher();
    ContentHasher(const ContentHasher&) = delete;
    ContentHasher& operator=(const ContentHasher&) = delete;

    void update(const void* data, std::size_t size);
    std::uint64_t digest() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace zelvano::xls
