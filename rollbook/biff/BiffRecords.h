#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelvano::xls
{

// Record types of the BIFF8 workbook stream that the engine looks at.
namespace rt
{
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t DefColWidth = 0x0055;
constexpr std::uint16_t ColInfo = 0x007D;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t MulBlank = 0x00BE;
constexpr std::uint16_t RString = 0x00D6;
constexpr std::uint16_t DbCell = 0x00D7;
constexpr std::uint16_t TabId = 0x013D;
constexpr std::uint16_t SupBook = 0x01AE;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t ExtSst = 0x00FF;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Blank = 0x0201;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t String = 0x0207;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Index = 0x020B;
constexpr std::uint16_t Array = 0x0221;
constexpr std::uint16_t DefaultRowHeight = 0x0225;
constexpr std::uint16_t Table = 0x0236;
constexpr std::uint16_t Window2 = 0x023E;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t ShrFmla = 0x04BC;
constexpr std::uint16_t Bof = 0x0809;
} // namespace rt

// Largest record body BIFF8 allows; longer data goes on in CONTINUE records.
constexpr std::size_t kMaxRecordData = 8224;

// One record of a stream: where its 4-byte header starts and how long its body is.
struct RecordPos {
    std::uint16_t type = 0;
    std::uint16_t size = 0;
    std::uint32_t pos = 0;
    std::uint32_t dataPos() const { return pos + 4; }
    std::uint32_t end() const { return pos + 4 + size; }
};

// The records of one substream, from the BOF at `begin` to its matching EOF
// (nested BOF/EOF pairs of embedded charts included). Throws XlsError when a
// record runs past the end of the stream or no EOF closes the substream.
std::vector<RecordPos> readSubstream(const Bytes& stream, std::size_t begin);

// Appends one record (header and body) to `out`.
void appendRecord(Bytes& out, std::uint16_t type, const std::uint8_t* data, std::size_t size);
inline void appendRecord(Bytes& out, std::uint16_t type, const Bytes& body)
{
    appendRecord(out, type, body.data(), body.size());
}

} // namespace zelvano::xls
