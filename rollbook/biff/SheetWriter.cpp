#include "rollbook/biff/SheetWriter.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/ByteIO.h"

#include <optional>

namespace zelvano::xls
{

namespace
{

struct Extent {
    std::uint32_t rowMin = 0, rowMax = 0; // rowMax: one past the last
    std::uint16_t colMin = 0, colMax = 0; // colMax: one past the last
    bool any = false;
};

Extent cellExtent(const SheetCells& cells)
{
    Extent e;
    for (const auto& [row, slot] : cells.rows()) {
        if (slot.cells.empty())
            continue;
        const std::uint16_t first = slot.cells.front().firstCol;
        std::uint16_t last = 0;
        for (const CellSpan& s : slot.cells)
            last = std::max(last, s.lastCol);
        if (!e.any) {
            e = {row, static_cast<std::uint32_t>(row) + 1, first,
                 static_cast<std::uint16_t>(last + 1), true};
        } else {
            e.rowMin = std::min<std::uint32_t>(e.rowMin, row);
            e.rowMax = std::max<std::uint32_t>(e.rowMax, std::uint32_t{row} + 1);
            e.colMin = std::min(e.colMin, first);
            e.colMax = std::max(e.colMax, static_cast<std::uint16_t>(last + 1));
        }
    }
    return e;
}

void shiftIndex(std::uint8_t* body, std::size_t size, std::int64_t delta)
{
    if (size < 16)
        return;
    auto move = [&](std::uint8_t* p) {
        const std::uint32_t v = io::u32(p);
        if (v != 0)
            io::set32(p, static_cast<std::uint32_t>(v + delta));
    };
    move(body + 12);
    for (std::size_t at = 16; at + 4 <= size; at += 4)
        move(body + at);
}

} // namespace

void writeMovedSheet(const Bytes& stream, std::uint32_t begin, std::uint32_t end,
                     std::int64_t delta, Bytes& out)
{
    const std::size_t start = out.size();
    out.insert(out.end(), stream.begin() + begin, stream.begin() + end);
    if (delta == 0)
        return;
    // INDEX comes right after BOF, at the sheet's top level.
    std::size_t at = start;
    int depth = 0;
    while (at + 4 <= out.size()) {
        const std::uint16_t type = io::u16(&out[at]);
        const std::uint16_t size = io::u16(&out[at + 2]);
        if (at + 4 + size > out.size())
            break;
        if (type == rt::Bof)
            ++depth;
        else if (type == rt::Eof)
            --depth;
        else if (type == rt::Index && depth == 1)
            shiftIndex(&out[at + 4], size, delta);
        else if (depth == 1 && (type == rt::Row || type == rt::Window2))
            break; // INDEX lies before the cell table
        at += 4 + size;
    }
}

void writeChangedSheet(const Bytes& stream, const std::vector<RecordPos>& records,
                       const SheetCells& cells, Bytes& out)
{
    const Extent extent = cellExtent(cells);

    // Rows of the table: every row with a ROW record or cells, in blocks of
    // 32 counted from the first such row.
    std::uint32_t firstRow = 0, endRow = 0;
    bool anyRow = false;
    for (const auto& [row, slot] : cells.rows()) {
        if (!anyRow)
            firstRow = row;
        endRow = std::uint32_t{row} + 1;
        anyRow = true;
    }
    const std::size_t blockCount = anyRow ? (endRow - firstRow + 31) / 32 : 0;

    std::optional<std::size_t> indexAt;
    std::optional<std::size_t> defColWidthAt;
    std::vector<std::uint32_t> dbCellPositions;

    auto writeTable = [&] {
        auto it = cells.rows().begin();
        for (std::size_t b = 0; b < blockCount; ++b) {
            const std::uint32_t blockEnd = firstRow + 32 * static_cast<std::uint32_t>(b + 1);
            std::optional<std::size_t> firstRowRecord;
            for (auto r = it; r != cells.rows().end() && r->first < blockEnd; ++r) {
                const RowSlot& slot = r->second;
                if (!slot.hasRowRecord)
                    continue;
                const std::uint8_t* rec = cells.rowRecord(stream, slot);
                const std::size_t at = out.size();
                out.insert(out.end(), rec, rec + 4 + io::u16(rec + 2));
                if (slot.changed) {
                    // The row's first column and one past its last.
                    std::uint16_t first = 0, last = 0;
                    if (!slot.cells.empty()) {
                        first = slot.cells.front().firstCol;
                        for (const CellSpan& s : slot.cells)
                            last = std::max<std::uint16_t>(
                                last, static_cast<std::uint16_t>(s.lastCol + 1));
                    }
                    io::set16(&out[at + 6], first);
                    io::set16(&out[at + 8], last);
                }
                if (!firstRowRecord)
                    firstRowRecord = at;
            }
            std::vector<std::uint16_t> offsets;
            std::size_t previous = firstRowRecord ? *firstRowRecord + 20 : 0;
            for (; it != cells.rows().end() && it->first < blockEnd; ++it) {
                const RowSlot& slot = it->second;
                const std::size_t rowCells = out.size();
                for (const CellSpan& span : slot.cells) {
                    const std::uint8_t* rec = cells.bytesOf(stream, span);
                    out.insert(out.end(), rec, rec + span.length);
                }
                if (slot.hasRowRecord && firstRowRecord) {
                    offsets.push_back(static_cast<std::uint16_t>(rowCells - previous));
                    previous = rowCells;
                }
            }
            const std::size_t dbCell = out.size();
            Bytes body;
            io::put32(body,
                      firstRowRecord ? static_cast<std::uint32_t>(dbCell - *firstRowRecord) : 0);
            for (std::uint16_t o : offsets)
                io::put16(body, o);
            appendRecord(out, rt::DbCell, body);
            dbCellPositions.push_back(static_cast<std::uint32_t>(dbCell));
        }
    };

    const auto& kept = cells.keptRecords();
    for (std::size_t k = 0; k <= kept.size(); ++k) {
        if (k == cells.keptBeforeTable())
            writeTable();
        if (k == kept.size())
            break;
        const RecordPos& r = records[kept[k]];
        const std::uint8_t* data = stream.data() + r.dataPos();
        const std::size_t at = out.size();
        if (r.type == rt::Index && r.size >= 16 && !indexAt) {
            indexAt = at;
            Bytes body(data, data + 16);
            body.resize(16 + 4 * blockCount, 0);
            if (body.size() > kMaxRecordData)
                throw XlsError("The sheet has too many rows to be indexed.");
            appendRecord(out, rt::Index, body);
            continue;
        }
        out.insert(out.end(), data - 4, data + r.size);
        if (r.type == rt::DefColWidth && !defColWidthAt)
            defColWidthAt = at;
        if (r.type == rt::Dimensions && r.size >= 12) {
            std::uint8_t* d = &out[at + 4];
            io::set32(d, extent.any ? extent.rowMin : 0);
            io::set32(d + 4, extent.any ? extent.rowMax : 0);
            io::set16(d + 8, extent.any ? extent.colMin : 0);
            io::set16(d + 10, extent.any ? extent.colMax : 0);
        }
    }

    if (indexAt) {
        std::uint8_t* d = &out[*indexAt + 4];
        io::set32(d + 4, anyRow ? firstRow : 0);
        io::set32(d + 8, anyRow ? endRow : 0);
        if (defColWidthAt)
            io::set32(d + 12, static_cast<std::uint32_t>(*defColWidthAt));
        for (std::size_t b = 0; b < dbCellPositions.size(); ++b)
            io::set32(d + 16 + 4 * b, dbCellPositions[b]);
    }
}

} // namespace zelvano::xls
