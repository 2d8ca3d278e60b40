#include "rollbook/biff/SharedStrings.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/ByteIO.h"

#include <algorithm>

namespace zelvano::xls
{

SharedStrings SharedStrings::parse(const Bytes& stream, const std::vector<RecordPos>& records)
{
    SharedStrings table;
    if (records.empty())
        return table;
    const RecordPos& head = records.front();
    if (head.size < 8)
        throw XlsError("The workbook is damaged: its string table is cut short.",
                       XlsError::Kind::Damaged);
    table.m_totalRefs = io::u32(&stream[head.dataPos()]);
    std::vector<ContinuedReader::Segment> segments;
    segments.push_back({&stream[head.dataPos()] + 8, head.size - 8u, head.pos});
    for (std::size_t i = 1; i < records.size(); ++i)
        segments.push_back({stream.data() + records[i].dataPos(), records[i].size, records[i].pos});
    std::size_t bytes = 0;
    for (const auto& s : segments)
        bytes += s.size;
    ContinuedReader reader(std::move(segments));
    // The unique count is not trusted (some writers get it wrong): the
    // strings run until the table's data ends. It only sizes the list, no
    // larger than the data could fill (three bytes a string at least).
    table.m_strings.reserve(std::min<std::size_t>(io::u32(&stream[head.dataPos()] + 4), bytes / 3));
    while (!reader.atEnd())
        table.m_strings.push_back(readRichString(reader));
    return table;
}

std::uint32_t SharedStrings::findOrAdd(const std::u16string& text)
{
    if (!m_lookupBuilt) {
        m_lookup.reserve(m_strings.size());
        for (std::size_t i = 0; i < m_strings.size(); ++i)
            m_lookup.emplace(m_strings[i].text, static_cast<std::uint32_t>(i)); // first wins
        m_lookupBuilt = true;
    }
    ++m_totalRefs;
    if (auto it = m_lookup.find(text); it != m_lookup.end())
        return it->second;
    const auto index = static_cast<std::uint32_t>(m_strings.size());
    m_strings.push_back({text, {}, {}});
    m_lookup.emplace(text, index);
    m_changed = true;
    return index;
}

namespace
{

// Lays SST data out in records of at most kMaxRecordData bytes, tracking
// where each record starts in the stream.
class RecordWriter
{
public:
    RecordWriter(Bytes& out, std::uint32_t streamPos) : m_out(out), m_streamPos(streamPos) {}

    void begin(std::uint16_t type)
    {
        finish();
        m_recordStart = m_out.size();
        io::put16(m_out, type);
        io::put16(m_out, 0);
    }
    void finish()
    {
        if (m_recordStart == kNone)
            return;
        io::set16(&m_out[m_recordStart + 2], static_cast<std::uint16_t>(used()));
        m_recordStart = kNone;
    }
    std::size_t used() const { return m_out.size() - m_recordStart - 4; }
    std::size_t room() const { return kMaxRecordData - used(); }
    std::uint32_t streamPos() const
    {
        return m_streamPos + static_cast<std::uint32_t>(m_out.size());
    }
    std::uint16_t offsetInRecord() const
    {
        return static_cast<std::uint16_t>(m_out.size() - m_recordStart);
    }
    Bytes& out() { return m_out; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    Bytes& m_out;
    std::uint32_t m_streamPos;
    std::size_t m_recordStart = kNone;
};

} // namespace

void SharedStrings::serialize(std::uint32_t streamPos, Bytes& sst, Bytes& extSst) const
{
    const std::size_t count = m_strings.size();
    const std::size_t perBucket = std::max<std::size_t>(8, (count + 127) / 128);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> buckets;

    sst.clear();
    RecordWriter w(sst, streamPos);
    w.begin(rt::Sst);
    io::put32(sst, std::max<std::uint32_t>(m_totalRefs, static_cast<std::uint32_t>(count)));
    io::put32(sst, static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const RichString& s = m_strings[i];
        const bool wide =
            std::any_of(s.text.begin(), s.text.end(), [](char16_t c) { return c > 0xFF; });
        const std::size_t width = wide ? 2 : 1;
        const std::size_t runCount = s.runs.size() / 4;
        const std::size_t header = 3 + (runCount ? 2 : 0) + (s.ext.empty() ? 0 : 4);
        // The header and at least one character stay in one record.
        if (w.room() < header + (s.text.empty() ? 0 : width))
            w.begin(rt::Continue);
        if (i % perBucket == 0)
            buckets.emplace_back(w.streamPos(), w.offsetInRecord());
        io::put16(sst, static_cast<std::uint16_t>(s.text.size()));
        std::uint8_t flags = wide ? 0x01 : 0x00;
        if (runCount)
            flags |= 0x08;
        if (!s.ext.empty())
            flags |= 0x04;
        sst.push_back(flags);
        if (runCount)
            io::put16(sst, static_cast<std::uint16_t>(runCount));
        if (!s.ext.empty())
            io::put32(sst, static_cast<std::uint32_t>(s.ext.size()));
        std::size_t done = 0;
        while (done < s.text.size()) {
            if (w.room() < width) {
                w.begin(rt::Continue);
                sst.push_back(wide ? 0x01 : 0x00);
            }
            const std::size_t n = std::min(s.text.size() - done, w.room() / width);
            for (std::size_t k = 0; k < n; ++k) {
                const char16_t c = s.text[done + k];
                sst.push_back(static_cast<std::uint8_t>(c));
                if (wide)
                    sst.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            done += n;
        }
        for (std::size_t r = 0; r < runCount; ++r) {
            if (w.room() < 4)
                w.begin(rt::Continue);
            sst.insert(sst.end(), s.runs.begin() + 4 * r, s.runs.begin() + 4 * r + 4);
        }
        std::size_t extDone = 0;
        while (extDone < s.ext.size()) {
            if (w.room() == 0)
                w.begin(rt::Continue);
            const std::size_t n = std::min(s.ext.size() - extDone, w.room());
            sst.insert(sst.end(), s.ext.begin() + extDone, s.ext.begin() + extDone + n);
            extDone += n;
        }
    }
    w.finish();

    extSst.clear();
    Bytes body;
    io::put16(body, static_cast<std::uint16_t>(perBucket));
    for (const auto& [pos, offset] : buckets) {
        io::put32(body, pos);
        io::put16(body, offset);
        io::put16(body, 0);
    }
    appendRecord(extSst, rt::ExtSst, body);
}

} // namespace zelvano::xls
