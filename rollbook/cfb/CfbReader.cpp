#include "rollbook/XlsError.h"
#include "rollbook/cfb/CfbModel.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace zelvano::xls
{

namespace
{

using namespace cfb;

[[noreturn]] void fail(const std::string& detail)
{
    throw XlsError("文件已损坏或不是 Excel 97-2003 工作簿（" + detail + "）");
}

struct RawEntry {
    std::u16string name;
    std::uint8_t type = 0;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::array<std::uint8_t, 16> times{};
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// Sectors handed out to chains: each one may belong to one chain only, which
// catches loops and chains that run into each other, and bounds the bytes
// copied out of the file by the file's own size.
class Ownership
{
public:
    explicit Ownership(std::size_t count) : m_owner(count, 0) {}
    std::uint32_t newChain() { return ++m_next; }
    void claim(std::uint32_t index, std::uint32_t chain, const char* what)
    {
        std::uint32_t& o = m_owner[index];
        if (o == chain)
            fail(std::string(what) + "的扇区链出现循环");
        if (o != 0)
            fail(std::string(what) + "的扇区与其他数据重叠");
        o = chain;
    }

private:
    std::vector<std::uint32_t> m_owner;
    std::uint32_t m_next = 0;
};

class Reader
{
public:
    explicit Reader(const Bytes& image) : m_img(image) {}

    std::unique_ptr<CompoundFile::Impl> run()
    {
        readHeader();
        readFat();
        readDirectory();
        auto impl = std::make_unique<CompoundFile::Impl>();
        impl->sectorSize = m_ssz;
        buildTree(*impl);
        return impl;
    }

private:
    const Bytes& m_img;
    std::uint32_t m_ssz = 512;
    bool m_v4 = false;
    std::size_t m_nSectors = 0;
    std::uint32_t m_numFat = 0, m_firstDir = 0, m_firstMiniFat = 0, m_firstDifat = 0;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<RawEntry> m_entries;
    std::unique_ptr<Ownership> m_sectors;
    std::unique_ptr<Ownership> m_miniSectors;
    Bytes m_miniStream;
    bool m_miniLoaded = false;

    // The first `n` bytes of sector `s`, which the file must hold. Some
    // writers leave the last sector short; only the bytes in use must be
    // there.
    const std::uint8_t* bytesOf(std::uint32_t s, std::size_t n) const
    {
        const std::size_t offset = (std::size_t(s) + 1) * m_ssz;
        if (offset + n > m_img.size())
            fail("文件被截断");
        return m_img.data() + offset;
    }

    void readHeader()
    {
        if (m_img.size() < 512)
            fail(m_img.empty() ? "文件为空" : "文件太短");
        const std::uint8_t* h = m_img.data();
        if (!std::equal(kSignature.begin(), kSignature.end(), h))
            fail("不是复合文档");
        const std::uint16_t major = get16(h + 0x1A);
        const std::uint16_t shift = get16(h + 0x1E);
        if (major != 3 && major != 4)
            fail("复合文档版本未知");
        if (shift != 9 && shift != 12)
            fail("扇区大小无效");
        if (get16(h + 0x20) != 6)
            fail("迷你扇区大小无效");
        if (get32(h + 0x38) != kMiniStreamCutoff)
            fail("迷你流界限无效");
        m_ssz = 1u << shift;
        m_v4 = shift == 12;
        m_nSectors = m_img.size() > m_ssz ? (m_img.size() - 1) / m_ssz : 0;
        m_numFat = get32(h + 0x2C);
        m_firstDir = get32(h + 0x30);
        m_firstMiniFat = get32(h + 0x3C);
        m_firstDifat = get32(h + 0x44);
        m_sectors = std::make_unique<Ownership>(m_nSectors);
    }

    void readFat()
    {
        if (m_numFat > m_nSectors)
            fail("FAT 扇区数超出文件");
        std::vector<std::uint32_t> fatSectors;
        fatSectors.reserve(m_numFat);
        // Some writers count more FAT sectors than they list; the list ends
        // at the first free entry.
        bool listEnded = false;
        auto take = [&](std::uint32_t s) {
            if (s == kFreeSect || s == kEndOfChain)
                listEnded = true;
            else
                fatSectors.push_back(s);
        };
        const std::uint8_t* h = m_img.data();
        for (std::uint32_t i = 0;
             i < kHeaderDifatEntries && !listEnded && fatSectors.size() < m_numFat; ++i)
            take(get32(h + 0x4C + 4 * i));
        const std::uint32_t perDifat = m_ssz / 4 - 1;
        const std::uint32_t difatChain = m_sectors->newChain();
        std::uint32_t next = m_firstDifat;
        while (!listEnded && fatSectors.size() < m_numFat) {
            if (next >= m_nSectors)
                fail("DIFAT 链断开");
            m_sectors->claim(next, difatChain, "DIFAT ");
            const std::uint8_t* p = bytesOf(next, m_ssz);
            for (std::uint32_t i = 0; i < perDifat && !listEnded && fatSectors.size() < m_numFat;
                 ++i)
                take(get32(p + 4 * i));
            next = get32(p + 4 * perDifat);
        }
        const std::uint32_t fatChain = m_sectors->newChain();
        m_fat.reserve(std::size_t(m_numFat) * (m_ssz / 4));
        for (std::uint32_t s : fatSectors) {
            if (s >= m_nSectors)
                fail("FAT 扇区号超出文件");
            m_sectors->claim(s, fatChain, "FAT ");
            const std::uint8_t* p = bytesOf(s, m_ssz);
            for (std::uint32_t i = 0; i < m_ssz / 4; ++i)
                m_fat.push_back(get32(p + 4 * i));
        }
    }

    // Follows a chain through `table`, claiming each sector. Stops after
    // `needed` sectors, or at the end of the chain when `needed` is not given.
    static std::vector<std::uint32_t>
    follow(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t bound,
           Ownership& owner, const char* what,
           std::size_t needed = std::numeric_limits<std::size_t>::max())
    {
        bound = std::min(bound, table.size());
        std::vector<std::uint32_t> out;
        const std::uint32_t chain = owner.newChain();
        std::uint32_t s = start;
        while (out.size() < needed) {
            if (s == kEndOfChain) {
                if (needed != std::numeric_limits<std::size_t>::max())
                    fail(std::string(what) + "比记录的长度短");
                break;
            }
            if (s >= bound)
                fail(std::string(what) + "的扇区号超出文件");
            owner.claim(s, chain, what);
            out.push_back(s);
            s = table[s];
        }
        return out;
    }

    void readDirectory()
    {
        const auto chain = follow(m_firstDir, m_fat, m_nSectors, *m_sectors, "目录");
        if (chain.empty())
            fail("没有目录");
        const std::uint32_t perSector = m_ssz / kDirEntrySize;
        m_entries.reserve(chain.size() * perSector);
        for (std::uint32_t s : chain) {
            const std::uint8_t* p = bytesOf(s, m_ssz);
            for (std::uint32_t k = 0; k < perSector; ++k)
                m_entries.push_back(parseEntry(p + k * kDirEntrySize));
        }
        if (m_entries[0].type != kTypeRoot)
            fail("目录缺少根存储");
    }

    RawEntry parseEntry(const std::uint8_t* p) const
    {
        RawEntry e;
        const std::uint16_t nameBytes = std::min<std::uint16_t>(get16(p + 0x40), 64);
        // 31 characters at most: the 32nd slot is for the terminator, which
        // a name filling the whole field lacks.
        for (std::uint16_t i = 0; i + 1 < nameBytes && e.name.size() < 31; i += 2) {
            const char16_t c = char16_t(get16(p + i));
            if (c == 0)
                break;
            e.name.push_back(c);
        }
        e.type = p[0x42];
        e.left = get32(p + 0x44);
        e.right = get32(p + 0x48);
        e.child = get32(p + 0x4C);
        std::memcpy(e.clsid.data(), p + 0x50, 16);
        e.stateBits = get32(p + 0x60);
        std::memcpy(e.times.data(), p + 0x64, 16);
        e.start = get32(p + 0x74);
        const std::uint64_t low = get32(p + 0x78);
        const std::uint64_t high = get32(p + 0x7C);
        // Old writers leave junk in the high half of version 3 sizes.
        e.size = m_v4 ? (low | (high << 32)) : low;
        return e;
    }

    void buildTree(CompoundFile::Impl& impl)
    {
        std::vector<bool> seen(m_entries.size(), false);
        seen[0] = true;
        impl.nodes.push_back(makeNode(m_entries[0]));
        // (node index, directory index) of storages whose children are due.
        std::vector<std::pair<std::size_t, std::uint32_t>> storages{{0, 0}};
        while (!storages.empty()) {
            const auto [nodeIndex, entryIndex] = storages.back();
            storages.pop_back();
            std::vector<std::uint32_t> members;
            std::vector<std::uint32_t> pending;
            if (m_entries[entryIndex].child != kNoStream)
                pending.push_back(m_entries[entryIndex].child);
            while (!pending.empty()) {
                const std::uint32_t i = pending.back();
                pending.pop_back();
                if (i >= m_entries.size())
                    fail("目录项编号超出目录");
                if (seen[i])
                    fail("目录树出现循环");
                seen[i] = true;
                const RawEntry& e = m_entries[i];
                if (e.type != kTypeStorage && e.type != kTypeStream)
                    fail("目录树含无效项");
                members.push_back(i);
                if (e.left != kNoStream)
                    pending.push_back(e.left);
                if (e.right != kNoStream)
                    pending.push_back(e.right);
            }
            std::sort(members.begin(), members.end());
            for (std::uint32_t i : members) {
                const std::size_t n = impl.nodes.size();
                impl.nodes.push_back(makeNode(m_entries[i]));
                impl.nodes[nodeIndex].children.push_back(n);
                if (m_entries[i].type == kTypeStorage)
                    storages.emplace_back(n, i);
                else
                    impl.nodes[n].data = readStream(m_entries[i]);
            }
        }
    }

    static Node makeNode(const RawEntry& e)
    {
        Node n;
        n.name = e.name;
        n.type = e.type;
        n.clsid = e.clsid;
        n.stateBits = e.stateBits;
        n.times = e.times;
        return n;
    }

    Bytes readStream(const RawEntry& e)
    {
        if (e.size == 0)
            return {};
        if (e.size > m_img.size())
            fail("流的长度超出文件");
        if (e.size < kMiniStreamCutoff)
            return readMini(e);
        const std::size_t size = std::size_t(e.size);
        const auto chain =
            follow(e.start, m_fat, m_nSectors, *m_sectors, "流", (size + m_ssz - 1) / m_ssz);
        // Sectors one after another in the file are copied in one go, into
        // a buffer not zeroed first.
        Bytes out;
        out.reserve(size);
        for (std::size_t k = 0; k < chain.size();) {
            std::size_t run = 1;
            while (k + run < chain.size() && chain[k + run] == chain[k] + run)
                ++run;
            const std::size_t n = std::min<std::size_t>(run * m_ssz, size - k * m_ssz);
            const std::uint8_t* from = bytesOf(chain[k], n);
            out.insert(out.end(), from, from + n);
            k += run;
        }
        return out;
    }

    void loadMiniStream()
    {
        m_miniLoaded = true;
        const RawEntry& root = m_entries[0];
        if (root.size > m_img.size())
            fail("迷你流的长度超出文件");
        const std::size_t size = std::size_t(root.size);
        const auto chain =
            follow(root.start, m_fat, m_nSectors, *m_sectors, "迷你流", (size + m_ssz - 1) / m_ssz);
        m_miniStream.resize(chain.size() * m_ssz);
        for (std::size_t k = 0; k < chain.size(); ++k) {
            const std::size_t n = std::min<std::size_t>(m_ssz, size - k * m_ssz);
            std::memcpy(m_miniStream.data() + k * m_ssz, bytesOf(chain[k], n), n);
        }
        const auto miniFatChain = follow(m_firstMiniFat, m_fat, m_nSectors, *m_sectors, "MiniFAT");
        m_miniFat.reserve(miniFatChain.size() * (m_ssz / 4));
        for (std::uint32_t s : miniFatChain) {
            const std::uint8_t* p = bytesOf(s, m_ssz);
            for (std::uint32_t i = 0; i < m_ssz / 4; ++i)
                m_miniFat.push_back(get32(p + 4 * i));
        }
        m_miniSectors = std::make_unique<Ownership>((size + kMiniSectorSize - 1) / kMiniSectorSize);
    }

    Bytes readMini(const RawEntry& e)
    {
        if (!m_miniLoaded)
            loadMiniStream();
        const std::size_t size = std::size_t(e.size);
        const std::size_t bound =
            (std::size_t(m_entries[0].size) + kMiniSectorSize - 1) / kMiniSectorSize;
        const auto chain = follow(e.start, m_miniFat, bound, *m_miniSectors, "迷你流中的流",
                                  (size + kMiniSectorSize - 1) / kMiniSectorSize);
        Bytes out(size);
        for (std::size_t k = 0; k < chain.size(); ++k) {
            const std::size_t n =
                std::min<std::size_t>(kMiniSectorSize, size - k * kMiniSectorSize);
            if (std::size_t(chain[k]) * kMiniSectorSize + n > m_entries[0].size)
                fail("迷你流中的流超出迷你流");
            std::memcpy(out.data() + k * kMiniSectorSize,
                        m_miniStream.data() + std::size_t(chain[k]) * kMiniSectorSize, n);
        }
        return out;
    }
};

} // namespace

CompoundFile CompoundFile::parse(const Bytes& image)
{
    Reader reader(image);
    return CompoundFile(reader.run());
}

} // namespace zelvano::xls
