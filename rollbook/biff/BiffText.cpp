#include "rollbook/biff/BiffText.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/ByteIO.h"

namespace zelvano::xls
{

namespace
{
[[noreturn]] void truncated()
{
    throw XlsError("The workbook is damaged: a text runs past the end of its record.",
                   XlsError::Kind::Damaged);
}
} // namespace

std::string utf16ToUtf8(std::u16string_view text)
{
    // At most three bytes a code unit (a pair of them takes four).
    std::string out(text.size() * 3, '\0');
    char* at = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *at++ = static_cast<char>(0xC0 | (c >> 6));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *at++ = static_cast<char>(0xE0 | (c >> 12));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *at++ = static_cast<char>(0xF0 | (c >> 18));
            *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

std::u16string utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t c = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            c = b & 0x07;
        } else {
            len = 0;
        }
        bool ok = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (cb & 0x3F);
        }
        const std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || c < minimum[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += len;
    }
    return out;
}

ContinuedReader::ContinuedReader(std::vector<Segment> segments) : m_segments(std::move(segments)) {}

// Moves past exhausted records; used where a value simply flows on into the
// next record.
void ContinuedReader::advance()
{
    while (m_segment < m_segments.size() && m_offset == m_segments[m_segment].size) {
        ++m_segment;
        m_offset = 0;
    }
    if (m_segment >= m_segments.size())
        truncated();
}

bool ContinuedReader::atEnd() const
{
    std::size_t segment = m_segment;
    std::size_t offset = m_offset;
    while (segment < m_segments.size() && offset == m_segments[segment].size) {
        ++segment;
        offset = 0;
    }
    return segment >= m_segments.size();
}

std::uint8_t ContinuedReader::u8()
{
    advance();
    return m_segments[m_segment].data[m_offset++];
}

std::uint16_t ContinuedReader::u16()
{
    const std::uint16_t lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
}

std::uint32_t ContinuedReader::u32()
{
    const std::uint32_t lo = u16();
    return lo | (static_cast<std::uint32_t>(u16()) << 16);
}

void ContinuedReader::bytes(std::size_t count, std::string* out)
{
    while (count > 0) {
        advance();
        const Segment& s = m_segments[m_segment];
        const std::size_t n = std::min(count, s.size - m_offset);
        if (out)
            out->append(reinterpret_cast<const char*>(s.data + m_offset), n);
        m_offset += n;
        count -= n;
    }
}

std::u16string ContinuedReader::chars(std::size_t count, bool highByte)
{
    std::u16string text;
    text.reserve(std::min<std::size_t>(count, 65535));
    while (count > 0) {
        if (m_segment >= m_segments.size())
            truncated();
        if (m_offset == m_segments[m_segment].size) {
            // Characters going on in the next record start with their own
            // flag byte saying whether they are 8 or 16 bits wide.
            ++m_segment;
            m_offset = 0;
            if (m_segment >= m_segments.size() || m_segments[m_segment].size == 0)
                truncated();
            highByte = (m_segments[m_segment].data[0] & 1) != 0;
            m_offset = 1;
            continue;
        }
        const Segment& s = m_segments[m_segment];
        const std::size_t width = highByte ? 2 : 1;
        const std::size_t available = (s.size - m_offset) / width;
        if (available == 0)
            truncated(); // a character cut in half by a record end
        const std::size_t n = std::min(count, available);
        const std::uint8_t* p = s.data + m_offset;
        for (std::size_t k = 0; k < n; ++k)
            text +=
                highByte ? static_cast<char16_t>(io::u16(p + 2 * k)) : static_cast<char16_t>(p[k]);
        m_offset += n * width;
        count -= n;
    }
    return text;
}

RichString readRichString(ContinuedReader& reader)
{
    RichString s;
    const std::uint16_t cch = reader.u16();
    const std::uint8_t flags = reader.u8();
    const bool highByte = flags & 0x01;
    std::uint16_t runs = 0;
    std::uint32_t extSize = 0;
    if (flags & 0x08)
        runs = reader.u16();
    if (flags & 0x04)
        extSize = reader.u32();
    s.text = reader.chars(cch, highByte);
    reader.bytes(std::size_t{runs} * 4, &s.runs);
    reader.bytes(extSize, &s.ext);
    return s;
}

std::u16string readUnicodeString(const std::uint8_t* data, std::size_t size, bool shortLength,
                                 std::size_t* used)
{
    const std::size_t head = shortLength ? 2 : 3;
    if (size < head)
        truncated();
    const std::size_t cch = shortLength ? data[0] : io::u16(data);
    const std::uint8_t flags = data[head - 1];
    const std::size_t width = (flags & 1) ? 2 : 1;
    if (size < head + cch * width)
        truncated();
    std::u16string text;
    text.reserve(cch);
    for (std::size_t k = 0; k < cch; ++k)
        text += width == 2 ? static_cast<char16_t>(io::u16(data + head + 2 * k))
                           : static_cast<char16_t>(data[head + k]);
    if (used)
        *used = head + cch * width;
    return text;
}

} // namespace zelvano::xls
