#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelvano::xls::cfb
{

inline constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFAu;
inline constexpr std::uint32_t kDifSect = 0xFFFFFFFCu;
inline constexpr std::uint32_t kFatSect = 0xFFFFFFFDu;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFEu;
inline constexpr std::uint32_t kFreeSect = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFFu;

inline constexpr std::uint32_t kMiniSectorSize = 64;
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;
inline constexpr std::uint32_t kDirEntrySize = 128;
inline constexpr std::uint32_t kHeaderDifatEntries = 109;

inline constexpr std::uint8_t kTypeStorage = 1;
inline constexpr std::uint8_t kTypeStream = 2;
inline constexpr std::uint8_t kTypeRoot = 5;

inline constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};

inline std::uint16_t get16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

// One storage or stream of the tree. Everything a rewrite must carry over
// unchanged is kept as read.
struct Node {
    std::u16string name;
    std::uint8_t type = 0;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::array<std::uint8_t, 16> times{}; // creation then modification FILETIME
    Bytes data;                           // streams only
    std::vector<std::size_t> children;    // indices into Impl::nodes, storages only
};

// Name comparison of the directory tree: shorter names first, then code unit
// by code unit after upper-casing.
int compareNames(const std::u16string& a, const std::u16string& b);
bool namesEqualNoCase(const std::u16string& a, const std::u16string& b);
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(const std::u16string& s);

} // namespace zelvano::xls::cfb

namespace zelvano::xls
{

struct CompoundFile::Impl {
    std::uint32_t sectorSize = 512;
    std::vector<cfb::Node> nodes; // nodes[0] is the root storage
};

} // namespace zelvano::xls
