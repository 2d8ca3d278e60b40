#include "rollbook/XlsError.h"
#include "rollbook/cfb/CfbModel.h"

#include <algorithm>
#include <cstring>

namespace zelvano::xls
{

namespace
{

using namespace cfb;

struct OutEntry {
    const Node* node = nullptr;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    bool red = false;
    std::uint32_t start = kEndOfChain;
    std::uint64_t size = 0;
};

std::size_t ceilDiv(std::size_t a, std::size_t b)
{
    return (a + b - 1) / b;
}

// Builds a balanced tree over `ids` (sorted by name) and returns its root.
// Nodes on the one partly filled bottom level are red, all others black, so
// every path from the root down has the same number of black nodes.
std::uint32_t buildTree(std::vector<OutEntry>& entries, const std::vector<std::uint32_t>& ids,
                        std::size_t lo, std::size_t hi, int depth, int redDepth)
{
    if (lo >= hi)
        return kNoStream;
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::uint32_t id = ids[mid];
    entries[id].left = buildTree(entries, ids, lo, mid, depth + 1, redDepth);
    entries[id].right = buildTree(entries, ids, mid + 1, hi, depth + 1, redDepth);
    entries[id].red = depth == redDepth;
    return id;
}

int floorLog2(std::size_t n)
{
    int r = -1;
    while (n) {
        n >>= 1;
        ++r;
    }
    return r;
}

std::vector<OutEntry> orderDirectory(const CompoundFile::Impl& impl)
{
    std::vector<OutEntry> entries;
    entries.push_back({&impl.nodes[0]});
    // Storages are given their children's directory indices one storage at
    // a time; the children of each form one tree.
    for (std::size_t next = 0; next < entries.size(); ++next) {
        const Node& storage = *entries[next].node;
        if (storage.children.empty())
            continue;
        std::vector<const Node*> kids;
        for (std::size_t c : storage.children)
            kids.push_back(&impl.nodes[c]);
        std::stable_sort(kids.begin(), kids.end(), [](const Node* a, const Node* b) {
            return compareNames(a->name, b->name) < 0;
        });
        std::vector<std::uint32_t> ids;
        for (const Node* k : kids) {
            ids.push_back(std::uint32_t(entries.size()));
            entries.push_back({k});
        }
        const std::size_t n = ids.size();
        const bool perfect = ((n + 1) & n) == 0;
        entries[next].child = buildTree(entries, ids, 0, n, 0, perfect ? -1 : floorLog2(n));
    }
    return entries;
}

void writeEntry(std::uint8_t* p, const OutEntry& e, bool v4)
{
    const Node& n = *e.node;
    const std::size_t chars = std::min<std::size_t>(n.name.size(), 31);
    for (std::size_t i = 0; i < chars; ++i)
        put16(p + 2 * i, std::uint16_t(n.name[i]));
    put16(p + 0x40, std::uint16_t((chars + 1) * 2));
    p[0x42] = n.type;
    p[0x43] = e.red ? 0 : 1;
    put32(p + 0x44, e.left);
    put32(p + 0x48, e.right);
    put32(p + 0x4C, e.child);
    std::memcpy(p + 0x50, n.clsid.data(), 16);
    put32(p + 0x60, n.stateBits);
    std::memcpy(p + 0x64, n.times.data(), 16);
    // Storages carry no sector; an empty stream's chain is empty.
    put32(p + 0x74, n.type == kTypeStorage ? 0 : e.start);
    put32(p + 0x78, std::uint32_t(e.size));
    put32(p + 0x7C, v4 ? std::uint32_t(e.size >> 32) : 0);
}

void writeEmptyEntry(std::uint8_t* p)
{
    put32(p + 0x44, kNoStream);
    put32(p + 0x48, kNoStream);
    put32(p + 0x4C, kNoStream);
}

} // namespace

Bytes CompoundFile::serialize() const
{
    const std::uint32_t ssz = m_impl->sectorSize;
    const bool v4 = ssz == 4096;
    const std::uint32_t perFat = ssz / 4;
    std::vector<OutEntry> entries = orderDirectory(*m_impl);

    // Small streams go to the mini stream, the rest to their own sectors.
    std::vector<std::uint32_t> miniFat;
    std::vector<std::size_t> bigStreams;
    std::size_t bigSectors = 0;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        OutEntry& e = entries[i];
        if (e.node->type != kTypeStream)
            continue;
        if (e.node->data.size() > 0xFFFFFFFFu && !v4)
            throw XlsError("流太大，无法保存");
        e.size = e.node->data.size();
        if (e.size == 0)
            continue;
        if (e.size < kMiniStreamCutoff) {
            e.start = std::uint32_t(miniFat.size());
            const std::size_t count = ceilDiv(e.size, kMiniSectorSize);
            for (std::size_t k = 1; k < count; ++k)
                miniFat.push_back(std::uint32_t(miniFat.size() + 1));
            miniFat.push_back(kEndOfChain);
        } else {
            bigStreams.push_back(i);
            bigSectors += ceilDiv(e.size, ssz);
        }
    }
    const std::size_t miniStreamSize = miniFat.size() * kMiniSectorSize;
    const std::size_t dirSectors = ceilDiv(entries.size() * kDirEntrySize, ssz);
    const std::size_t miniFatSectors = ceilDiv(miniFat.size() * 4, ssz);
    const std::size_t miniStreamSectors = ceilDiv(miniStreamSize, ssz);
    const std::size_t dataSectors = dirSectors + miniFatSectors + miniStreamSectors + bigSectors;

    // The FAT must also cover its own sectors and those of the DIFAT.
    std::size_t fatCount = 0, difatCount = 0;
    for (;;) {
        const std::size_t total = dataSectors + fatCount + difatCount;
        const std::size_t f = ceilDiv(total, perFat);
        const std::size_t d =
            f <= kHeaderDifatEntries ? 0 : ceilDiv(f - kHeaderDifatEntries, perFat - 1);
        if (f == fatCount && d == difatCount)
            break;
        fatCount = f;
        difatCount = d;
    }
    const std::size_t total = dataSectors + fatCount + difatCount;
    if (total >= kMaxRegSect)
        throw XlsError("工作簿太大，无法保存");

    std::vector<std::uint32_t> fat(fatCount * perFat, kFreeSect);
    std::size_t cursor = 0;
    auto allocate = [&](std::size_t count, std::uint32_t mark) {
        const auto first = std::uint32_t(cursor);
        for (std::size_t k = 0; k < count; ++k, ++cursor)
            fat[cursor] =
                mark != 0 ? mark : (k + 1 < count ? std::uint32_t(cursor + 1) : kEndOfChain);
        return count ? first : kEndOfChain;
    };
    const std::uint32_t fatStart = allocate(fatCount, kFatSect);
    const std::uint32_t difatStart = allocate(difatCount, kDifSect);
    const std::uint32_t dirStart = allocate(dirSectors, 0);
    const std::uint32_t miniFatStart = allocate(miniFatSectors, 0);
    const std::uint32_t miniStreamStart = allocate(miniStreamSectors, 0);
    for (std::size_t i : bigStreams)
        entries[i].start = allocate(ceilDiv(entries[i].size, ssz), 0);
    entries[0].start = miniStreamSize ? miniStreamStart : kEndOfChain;
    entries[0].size = miniStreamSize;

    Bytes image((total + 1) * ssz, 0);
    auto sec = [&](std::size_t s) { return image.data() + (s + 1) * ssz; };

    std::uint8_t* h = image.data();
    std::copy(kSignature.begin(), kSignature.end(), h);
    put16(h + 0x18, 0x003E);
    put16(h + 0x1A, v4 ? 4 : 3);
    put16(h + 0x1C, 0xFFFE);
    put16(h + 0x1E, v4 ? 12 : 9);
    put16(h + 0x20, 6);
    put32(h + 0x28, v4 ? std::uint32_t(dirSectors) : 0);
    put32(h + 0x2C, std::uint32_t(fatCount));
    put32(h + 0x30, dirStart);
    put32(h + 0x38, kMiniStreamCutoff);
    put32(h + 0x3C, miniFatStart);
    put32(h + 0x40, std::uint32_t(miniFatSectors));
    put32(h + 0x44, difatStart);
    put32(h + 0x48, std::uint32_t(difatCount));
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i)
        put32(h + 0x4C + 4 * i, i < fatCount ? std::uint32_t(fatStart + i) : kFreeSect);
    for (std::size_t d = 0; d < difatCount; ++d) {
        std::uint8_t* p = sec(difatStart + d);
        for (std::size_t k = 0; k < perFat - 1; ++k) {
            const std::size_t f = kHeaderDifatEntries + d * (perFat - 1) + k;
            put32(p + 4 * k, f < fatCount ? std::uint32_t(fatStart + f) : kFreeSect);
        }
        put32(p + 4 * (perFat - 1),
              d + 1 < difatCount ? std::uint32_t(difatStart + d + 1) : kEndOfChain);
    }
    for (std::size_t i = 0; i < fat.size(); ++i)
        put32(sec(fatStart + i / perFat) + 4 * (i % perFat), fat[i]);

    const std::size_t perDir = ssz / kDirEntrySize;
    for (std::size_t i = 0; i < dirSectors * perDir; ++i) {
        std::uint8_t* p = sec(dirStart + i / perDir) + (i % perDir) * kDirEntrySize;
        if (i < entries.size())
            writeEntry(p, entries[i], v4);
        else
            writeEmptyEntry(p);
    }
    for (std::size_t i = 0; i < miniFatSectors * perFat; ++i)
        put32(sec(miniFatStart + i / perFat) + 4 * (i % perFat),
              i < miniFat.size() ? miniFat[i] : kFreeSect);
    // Mini and regular sectors are laid out contiguously, so each stream's
    // bytes are one copy.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const OutEntry& e = entries[i];
        if (e.node->type != kTypeStream || e.size == 0)
            continue;
        std::uint8_t* dst = e.size < kMiniStreamCutoff
                                ? sec(miniStreamStart) + std::size_t(e.start) * kMiniSectorSize
                                : sec(e.start);
        std::memcpy(dst, e.node->data.data(), e.node->data.size());
    }
    return image;
}

} // namespace zelvano::xls
