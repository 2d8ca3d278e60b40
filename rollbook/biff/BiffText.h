#pragma once

#include "rollbook/biff/BiffRecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

std::string utf16ToUtf8(std::u16string_view text);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

// Reads data that may continue from one record into the CONTINUE records
// after it (shared strings, long formula results). Numbers and byte runs
// flow across record ends; character data starts each new record with its
// own flag byte saying whether the characters are 8 or 16 bits wide.
// Every read is bounds-checked and throws XlsError past the end.
class ContinuedReader
{
public:
    struct Segment {
        const std::uint8_t* data;
        std::size_t size;
        std::uint32_t recordPos; // stream position of the record header
    };

    explicit ContinuedReader(std::vector<Segment> segments);

    bool atEnd() const;
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void bytes(std::size_t count, std::string* out); // out may be null: skip
    std::u16string chars(std::size_t count, bool highByte);

private:
    void advance();
    std::vector<Segment> m_segments;
    std::size_t m_segment = 0;
    std::size_t m_offset = 0;
};

// A string of a SST entry: its characters and the formatting runs and phonetic
// data that follow them, kept as bytes so the entry can be written back whole.
struct RichString {
    std::u16string text;
    std::string runs; // 4 bytes per run
    std::string ext;  // phonetic data (ExtRst)
};

// XLUnicodeRichExtendedString at the reader's position.
RichString readRichString(ContinuedReader& reader);

// XLUnicodeString (16-bit length) / ShortXLUnicodeString (8-bit length)
// within one record body; `used` receives the bytes consumed. Throws XlsError
// when the body is too short.
std::u16string readUnicodeString(const std::uint8_t* data, std::size_t size, bool shortLength,
                                 std::size_t* used = nullptr);

} // namespace zelvano::xls
