#include "rollbook/biff/BiffRecords.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/ByteIO.h"

namespace zelvano::xls
{

std::vector<RecordPos> readSubstream(const Bytes& stream, std::size_t begin)
{
    std::vector<RecordPos> records;
    std::size_t pos = begin;
    int depth = 0;
    while (true) {
        if (pos + 4 > stream.size())
            throw XlsError("The workbook is damaged: a sheet ends without its end record.",
                           XlsError::Kind::Damaged);
        RecordPos r;
        r.type = io::u16(&stream[pos]);
        r.size = io::u16(&stream[pos + 2]);
        r.pos = static_cast<std::uint32_t>(pos);
        if (pos + 4 + r.size > stream.size())
            throw XlsError("The workbook is damaged: a record runs past the end of the file.",
                           XlsError::Kind::Damaged);
        if (records.empty() && r.type != rt::Bof)
            throw XlsError("The workbook is damaged: a sheet does not start where it should.",
                           XlsError::Kind::Damaged);
        records.push_back(r);
        pos += 4 + r.size;
        if (r.type == rt::Bof) {
            ++depth;
        } else if (r.type == rt::Eof) {
            if (--depth == 0)
                return records;
        }
    }
}

void appendRecord(Bytes& out, std::uint16_t type, const std::uint8_t* data, std::size_t size)
{
    io::put16(out, type);
    io::put16(out, static_cast<std::uint16_t>(size));
    out.insert(out.end(), data, data + size);
}

} // namespace zelvano::xls
