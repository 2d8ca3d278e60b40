#include "rollbook/biff/SheetCells.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffText.h"
#include "rollbook/biff/ByteIO.h"
#include "rollbook/biff/SharedFormula.h"
#include "rollbook/biff/SharedStrings.h"

#include <algorithm>

namespace zelvano::xls
{

namespace
{

constexpr std::uint16_t kDefaultXf = 15;

[[noreturn]] void damaged(const char* what)
{
    throw XlsError(std::string("The workbook is damaged: ") + what + ".", XlsError::Kind::Damaged);
}

bool isSingleCell(std::uint16_t type)
{
    switch (type) {
    case rt::Number:
    case rt::Rk:
    case rt::LabelSst:
    case rt::Label:
    case rt::RString:
    case rt::Blank:
    case rt::BoolErr:
    case rt::Formula:
        return true;
    default:
        return false;
    }
}

std::size_t minimumSize(std::uint16_t type)
{
    switch (type) {
    case rt::Number:
        return 14;
    case rt::Rk:
    case rt::LabelSst:
        return 10;
    case rt::Label:
    case rt::RString:
        return 9;
    case rt::Blank:
        return 6;
    case rt::BoolErr:
        return 8;
    case rt::Formula:
        return 22;
    default:
        return 6;
    }
}

double rkValue(std::uint32_t rk)
{
    double v;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint8_t bytes[8] = {0,
                                       0,
                                       0,
                                       0,
                                       static_cast<std::uint8_t>(rk & 0xFC),
                                       static_cast<std::uint8_t>(rk >> 8),
                                       static_cast<std::uint8_t>(rk >> 16),
                                       static_cast<std::uint8_t>(rk >> 24)};
        v = io::f64(bytes);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

Bytes cellHeader(std::uint16_t row, std::uint16_t col, std::uint16_t xf)
{
    Bytes b;
    io::put16(b, row);
    io::put16(b, col);
    io::put16(b, xf);
    return b;
}

// The formula's tokens point at another cell's formula (shared or array).
bool isPtgExp(const std::uint8_t* data, std::size_t size, std::uint16_t* row, std::uint16_t* col)
{
    if (size < 27 || io::u16(data + 20) != 5 || data[22] != 0x01)
        return false;
    *row = io::u16(data + 23);
    *col = io::u16(data + 25);
    return true;
}

} // namespace

SheetCells SheetCells::parse(const Bytes& stream, const std::vector<RecordPos>& records,
                             const SharedStrings& strings)
{
    SheetCells sheet;
    int depth = 0;
    std::size_t firstTable = records.size();
    std::size_t dimensions = records.size();
    std::size_t window2 = records.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordPos& r = records[i];
        const std::uint8_t* data = stream.data() + r.dataPos();
        if (r.type == rt::Bof)
            ++depth;
        if (r.type == rt::Eof)
            --depth;
        const bool top = depth == 1 && r.type != rt::Bof;
        if (top && r.type == rt::ColInfo && r.size >= 8)
            sheet.m_columnFormats.push_back({io::u16(data), io::u16(data + 2), io::u16(data + 6)});
        if (top && r.type == rt::DefaultRowHeight && r.size >= 4) {
            sheet.m_defaultRowFlags = io::u16(data);
            sheet.m_defaultRowHeight = io::u16(data + 2);
        }
        if (top && r.type == rt::Dimensions && dimensions == records.size())
            dimensions = i;
        if (top && r.type == rt::Window2 && window2 == records.size())
            window2 = i;

        bool inTable = false;
        if (top && r.type == rt::Row) {
            if (r.size < 16)
                damaged("a row record is cut short");
            RowSlot& slot = sheet.m_rows[io::u16(data)];
            if (!slot.hasRowRecord) {
                slot.hasRowRecord = true;
                slot.rowOffset = r.pos;
                inTable = true;
            }
        } else if (top && r.type == rt::DbCell) {
            inTable = true; // written afresh with the table
        } else if (top && (isSingleCell(r.type) || r.type == rt::MulRk || r.type == rt::MulBlank)) {
            if (r.size < minimumSize(r.type))
                damaged("a cell record is cut short");
            CellSpan span;
            span.type = r.type;
            span.offset = r.pos;
            span.firstCol = io::u16(data + 2);
            span.lastCol = span.firstCol;
            if (r.type == rt::MulRk || r.type == rt::MulBlank) {
                const std::size_t each = r.type == rt::MulRk ? 6 : 2;
                span.lastCol = io::u16(data + r.size - 2);
                if (span.lastCol < span.firstCol ||
                    r.size != 6 + each * (std::size_t{span.lastCol} - span.firstCol + 1))
                    damaged("a multiple-cell record does not match its columns");
            }
            if (r.type == rt::LabelSst && io::u32(data + 6) >= strings.size())
                damaged("a cell refers to a text that is not in the string table");
            std::size_t last = i;
            if (r.type == rt::Formula) {
                // The records that belong to the formula follow it.
                bool afterString = false;
                while (last + 1 < records.size()) {
                    const std::uint16_t next = records[last + 1].type;
                    if (next == rt::ShrFmla || next == rt::Array || next == rt::Table) {
                        afterString = false;
                    } else if (next == rt::String) {
                        afterString = true;
                    } else if (next == rt::Continue && afterString) {
                    } else {
                        break;
                    }
                    ++last;
                }
            }
            span.length = records[last].end() - r.pos;
            sheet.m_rows[io::u16(data)].cells.push_back(span);
            i = last;
            inTable = true;
        }
        if (inTable) {
            if (firstTable == records.size()) {
                firstTable = i;
                sheet.m_keptBeforeTable = sheet.m_kept.size();
            }
        } else {
            sheet.m_kept.push_back(i);
        }
    }
    if (firstTable == records.size()) {
        // No cells yet: new ones go after DIMENSIONS, else before WINDOW2,
        // else before the end of the sheet.
        std::size_t before = records.size() - 1;
        if (dimensions < records.size())
            before = dimensions + 1;
        else if (window2 < records.size())
            before = window2;
        sheet.m_keptBeforeTable =
            std::lower_bound(sheet.m_kept.begin(), sheet.m_kept.end(), before) -
            sheet.m_kept.begin();
    }
    for (auto& [row, slot] : sheet.m_rows)
        std::stable_sort(
            slot.cells.begin(), slot.cells.end(),
            [](const CellSpan& a, const CellSpan& b) { return a.firstCol < b.firstCol; });
    return sheet;
}

const CellSpan* SheetCells::find(std::uint16_t row, std::uint16_t col, std::size_t* index) const
{
    const auto it = m_rows.find(row);
    if (it == m_rows.end())
        return nullptr;
    const auto& cells = it->second.cells;
    auto pos = std::upper_bound(cells.begin(), cells.end(), col,
                                [](std::uint16_t c, const CellSpan& s) { return c < s.firstCol; });
    if (pos == cells.begin())
        return nullptr;
    --pos;
    if (col > pos->lastCol)
        return nullptr;
    if (index)
        *index = static_cast<std::size_t>(pos - cells.begin());
    return &*pos;
}

CellValue SheetCells::value(const Bytes& stream, const SharedStrings& strings, std::uint16_t row,
                            std::uint16_t col) const
{
    const CellSpan* span = find(row, col);
    return span ? valueIn(stream, strings, *span, col) : CellValue{};
}

CellValue SheetCells::valueIn(const Bytes& stream, const SharedStrings& strings,
                              const CellSpan& cell, std::uint16_t col) const
{
    const CellSpan* span = &cell;
    const std::uint8_t* rec = bytesOf(stream, *span);
    const std::uint8_t* data = rec + 4;
    const std::size_t size = io::u16(rec + 2);
    switch (span->type) {
    case rt::Number:
        return CellValue::ofNumber(io::f64(data + 6));
    case rt::Rk:
        return CellValue::ofNumber(rkValue(io::u32(data + 6)));
    case rt::MulRk:
        return CellValue::ofNumber(rkValue(io::u32(data + 4 + 6 * (col - span->firstCol) + 2)));
    case rt::LabelSst:
        return CellValue::ofText(utf16ToUtf8(strings.text(io::u32(data + 6))));
    case rt::Label:
    case rt::RString:
        return CellValue::ofText(utf16ToUtf8(readUnicodeString(data + 6, size - 6, false)));
    case rt::BoolErr:
        return data[7] ? CellValue::ofError(data[6]) : CellValue::ofBoolean(data[6] != 0);
    case rt::Formula: {
        if (io::u16(data + 12) != 0xFFFF)
            return CellValue::ofNumber(io::f64(data + 6));
        switch (data[6]) {
        case 0: {
            // The text result is in the STRING record among the ones that follow.
            std::size_t at = span->offset + 4 + size;
            const std::size_t end = span->offset + span->length;
            const Bytes& source = span->made ? m_made : stream;
            std::vector<ContinuedReader::Segment> segments;
            bool inString = false;
            while (at + 4 <= end) {
                const std::uint16_t type = io::u16(&source[at]);
                const std::uint16_t len = io::u16(&source[at + 2]);
                if (type == rt::String)
                    inString = true;
                if (inString && (type == rt::String || type == rt::Continue))
                    segments.push_back({&source[at + 4], len, static_cast<std::uint32_t>(at)});
                at += 4 + len;
            }
            if (segments.empty())
                return CellValue::ofText({});
            ContinuedReader reader(std::move(segments));
            const std::uint16_t cch = reader.u16();
            const bool high = reader.u8() & 1;
            return CellValue::ofText(utf16ToUtf8(reader.chars(cch, high)));
        }
        case 1:
            return CellValue::ofBoolean(data[8] != 0);
        case 2:
            return CellValue::ofError(data[8]);
        case 3:
            return CellValue::ofText({});
        default:
            return {};
        }
    }
    default:
        return {};
    }
}

namespace
{

// The number a NUMBER, RK or MULRK record holds at `col`; false for any
// other record.
bool plainNumber(const std::uint8_t* rec, std::uint16_t type, std::uint16_t firstCol,
                 std::uint16_t col, double& out)
{
    const std::uint8_t* data = rec + 4;
    switch (type) {
    case rt::Number:
        out = io::f64(data + 6);
        return true;
    case rt::Rk:
        out = rkValue(io::u32(data + 6));
        return true;
    case rt::MulRk:
        out = rkValue(io::u32(data + 4 + 6 * (col - firstCol) + 2));
        return true;
    default:
        return false;
    }
}

} // namespace

void SheetCells::forEach(const Bytes& stream, const SharedStrings& strings,
                         const std::function<void(int, int, const CellValue&)>& f, int first) const
{
    CellValue v; // one for all: a number is set in place
    for (const auto& [row, slot] : m_rows)
        for (const CellSpan& span : slot.cells) {
            if (span.type == rt::Blank || span.type == rt::MulBlank)
                continue;
            // The span is at hand: no lookup per cell.
            const std::uint8_t* rec = bytesOf(stream, span);
            for (std::uint32_t col = span.firstCol; col <= span.lastCol; ++col) {
                const auto c = static_cast<std::uint16_t>(col);
                if (plainNumber(rec, span.type, span.firstCol, c, v.number)) {
                    v.type = CellValue::Type::Number;
                    v.text.clear();
                    v.boolean = false;
                    v.error = 0;
                } else {
                    v = valueIn(stream, strings, span, c);
                }
                if (!v.isEmpty())
                    f(row + first, c + first, v);
            }
        }
}

std::uint16_t SheetCells::defaultFormat(const Bytes& stream, std::uint16_t row,
                                        std::uint16_t col) const
{
    const auto it = m_rows.find(row);
    if (it != m_rows.end() && it->second.hasRowRecord) {
        const std::uint8_t* data = rowRecord(stream, it->second) + 4;
        if (io::u16(data + 12) & 0x0080) // the row has its own format
            return io::u16(data + 14) & 0x0FFF;
    }
    for (const ColumnFormat& c : m_columnFormats)
        if (col >= c.first && col <= c.last)
            return c.xf;
    return kDefaultXf;
}

std::uint16_t SheetCells::formatOf(const Bytes& stream, std::uint16_t row, std::uint16_t col) const
{
    const CellSpan* span = find(row, col);
    if (!span)
        return defaultFormat(stream, row, col);
    const std::uint8_t* data = bytesOf(stream, *span) + 4;
    if (span->type == rt::MulRk)
        return io::u16(data + 4 + 6 * (col - span->firstCol));
    if (span->type == rt::MulBlank)
        return io::u16(data + 4 + 2 * (col - span->firstCol));
    return io::u16(data + 4);
}

CellSpan SheetCells::makeRecord(std::uint16_t type, const Bytes& body, std::uint16_t firstCol,
                                std::uint16_t lastCol)
{
    CellSpan span;
    span.type = type;
    span.offset = static_cast<std::uint32_t>(m_made.size());
    appendRecord(m_made, type, body);
    span.length = static_cast<std::uint32_t>(m_made.size()) - span.offset;
    span.firstCol = firstCol;
    span.lastCol = lastCol;
    span.made = true;
    return span;
}

void SheetCells::prepareFormulaOverwrite(const Bytes& stream, std::uint16_t row,
                                         const CellSpan& span, bool apply)
{
    const std::uint8_t* rec = bytesOf(stream, span);
    const std::size_t size = io::u16(rec + 2);
    std::uint16_t refRow = 0, refCol = 0;
    const bool exp = isPtgExp(rec + 4, size, &refRow, &refCol);
    const std::uint16_t grbit = io::u16(rec + 4 + 14);

    // Which records follow the formula?
    bool anchorShared = false;
    std::size_t at = span.offset + 4 + size;
    const Bytes& source = span.made ? m_made : stream;
    std::size_t shrFmla = 0;
    bool ownArray = false;
    while (at + 4 <= span.offset + span.length) {
        const std::uint16_t type = io::u16(&source[at]);
        if (type == rt::Array && io::u16(&source[at + 2]) >= 6) {
            // An array formula of this one cell goes with it.
            const std::uint8_t* ref = &source[at + 4];
            ownArray = io::u16(ref) == row && io::u16(ref + 2) == row && ref[4] == span.firstCol &&
                       ref[5] == span.firstCol;
        }
        if ((type == rt::Array && !ownArray) || type == rt::Table)
            throw XlsError("This cell is part of an array formula or data table and cannot be "
                           "changed on its own.",
                           XlsError::Kind::PartOfArray);
        if (type == rt::ShrFmla) {
            anchorShared = true;
            shrFmla = at;
        }
        at += 4 + io::u16(&source[at + 2]);
    }
    if (exp && ownArray && refRow == row && refCol == span.firstCol)
        return;
    if (exp && !anchorShared) {
        const CellSpan* anchor = find(refRow, refCol);
        const bool sharedUser = (grbit & 0x0008) != 0;
        if (!sharedUser || !anchor || anchor->type != rt::Formula)
            throw XlsError("This cell is part of an array formula or data table and cannot be "
                           "changed on its own.",
                           XlsError::Kind::PartOfArray);
        return; // one user of a shared formula less: the formula stays with its first cell
    }
    if (!anchorShared)
        return;

    // The first cell of a shared formula carries the formula for all the
    // others. Give each other user its own copy, made absolute for its cell,
    // before the first cell goes.
    const std::uint16_t shrSize = io::u16(&source[shrFmla + 2]);
    const Bytes shrBody(source.begin() + shrFmla + 4, source.begin() + shrFmla + 4 + shrSize);
    if (shrBody.size() < 10)
        damaged("a shared formula is cut short");
    const std::uint16_t rwFirst = io::u16(&shrBody[0]);
    const std::uint16_t rwLast = io::u16(&shrBody[2]);
    const std::uint8_t colFirst = shrBody[4];
    const std::uint8_t colLast = shrBody[5];
    const std::uint16_t anchorRow = row;
    const std::uint16_t anchorCol = span.firstCol;

    struct Replacement {
        std::uint16_t row;
        std::size_t index;
        Bytes records;
    };
    std::vector<Replacement> replacements;
    for (auto it = m_rows.lower_bound(rwFirst); it != m_rows.end() && it->first <= rwLast; ++it) {
        for (std::size_t k = 0; k < it->second.cells.size(); ++k) {
            const CellSpan& user = it->second.cells[k];
            if (user.type != rt::Formula || user.firstCol < colFirst || user.firstCol > colLast)
                continue;
            if (it->first == anchorRow && user.firstCol == anchorCol)
                continue;
            const std::uint8_t* urec = bytesOf(stream, user);
            const std::size_t usize = io::u16(urec + 2);
            std::uint16_t r = 0, c = 0;
            if (!isPtgExp(urec + 4, usize, &r, &c) || r != anchorRow || c != anchorCol)
                continue;
            auto tokens = unshareFormula(shrBody, it->first, user.firstCol);
            if (!tokens)
                throw XlsError("This cell starts a shared formula that cannot be split; the cell "
                               "was not changed.",
                               XlsError::Kind::SharedFormulaCut);
            Bytes body(urec + 4, urec + 4 + 20);
            io::set16(&body[14], io::u16(&body[14]) & ~0x0008);
            io::put16(body, io::u16(&shrBody[8]));
            body.insert(body.end(), tokens->begin(), tokens->end());
            if (body.size() > kMaxRecordData)
                throw XlsError("This cell starts a shared formula that cannot be split; the cell "
                               "was not changed.",
                               XlsError::Kind::SharedFormulaCut);
            Bytes records;
            appendRecord(records, rt::Formula, body);
            // Its cached text result, if any, goes with it.
            records.insert(records.end(), urec + 4 + usize, urec + user.length);
            replacements.push_back({it->first, k, std::move(records)});
        }
    }
    if (!apply)
        return;
    for (Replacement& r : replacements) {
        RowSlot& slot = m_rows[r.row];
        CellSpan& user = slot.cells[r.index];
        CellSpan made;
        made.type = rt::Formula;
        made.offset = static_cast<std::uint32_t>(m_made.size());
        m_made.insert(m_made.end(), r.records.begin(), r.records.end());
        made.length = static_cast<std::uint32_t>(r.records.size());
        made.firstCol = made.lastCol = user.firstCol;
        made.made = true;
        user = made;
        slot.changed = true;
    }
}

void SheetCells::replace(const Bytes& stream, std::uint16_t row, std::uint16_t col,
                         std::uint16_t type, const Bytes* body)
{
    std::size_t index = 0;
    const CellSpan* found = find(row, col, &index);
    if (found && found->type == rt::Formula)
        prepareFormulaOverwrite(stream, row, *found, true);

    RowSlot& slot = m_rows[row];
    std::vector<CellSpan> pieces;
    if (found) {
        const CellSpan old = *found;
        if (old.type == rt::MulRk || old.type == rt::MulBlank) {
            // Split the record around the cell; the neighbours keep their formats.
            // A copy: new records may move the buffer the old one lies in.
            const std::uint8_t* at = bytesOf(stream, old);
            const Bytes oldRecord(at, at + old.length);
            const std::uint8_t* data = oldRecord.data() + 4;
            const std::size_t each = old.type == rt::MulRk ? 6 : 2;
            auto piece = [&](std::uint16_t first, std::uint16_t last) {
                if (first > last)
                    return;
                Bytes b;
                io::put16(b, row);
                io::put16(b, first);
                const std::uint8_t* from = data + 4 + each * (first - old.firstCol);
                b.insert(b.end(), from, from + each * (std::size_t{last} - first + 1));
                std::uint16_t t = old.type;
                if (first == last)
                    t = old.type == rt::MulRk ? rt::Rk : rt::Blank;
                else
                    io::put16(b, last);
                pieces.push_back(makeRecord(t, b, first, last));
            };
            if (col > old.firstCol)
                piece(old.firstCol, static_cast<std::uint16_t>(col - 1));
            if (body)
                pieces.push_back(makeRecord(type, *body, col, col));
            if (col < old.lastCol)
                piece(static_cast<std::uint16_t>(col + 1), old.lastCol);
        } else if (body) {
            pieces.push_back(makeRecord(type, *body, col, col));
        }
        slot.cells.erase(slot.cells.begin() + static_cast<std::ptrdiff_t>(index));
        slot.cells.insert(slot.cells.begin() + static_cast<std::ptrdiff_t>(index), pieces.begin(),
                          pieces.end());
    } else if (body) {
        const CellSpan made = makeRecord(type, *body, col, col);
        auto pos =
            std::upper_bound(slot.cells.begin(), slot.cells.end(), col,
                             [](std::uint16_t c, const CellSpan& s) { return c < s.firstCol; });
        slot.cells.insert(pos, made);
    }
    if (!slot.hasRowRecord && !slot.cells.empty()) {
        // A new row gets a ROW record of the sheet's default height.
        Bytes b;
        io::put16(b, row);
        io::put16(b, 0);
        io::put16(b, 0);
        io::put16(b, m_defaultRowHeight & 0x7FFF);
        io::put16(b, 0);
        io::put16(b, 0);
        io::put16(b, static_cast<std::uint16_t>(0x0100 | ((m_defaultRowFlags & 0x01) ? 0x40 : 0)));
        io::put16(b, kDefaultXf);
        slot.rowOffset = static_cast<std::uint32_t>(m_made.size());
        appendRecord(m_made, rt::Row, b);
        slot.hasRowRecord = true;
        slot.rowMade = true;
    }
    if (!slot.hasRowRecord && slot.cells.empty())
        m_rows.erase(row);
    else
        slot.changed = true;
    m_changed = true;
}

void SheetCells::checkCanChange(const Bytes& stream, std::uint16_t row, std::uint16_t col)
{
    const CellSpan* found = find(row, col);
    if (found && found->type == rt::Formula)
        prepareFormulaOverwrite(stream, row, *found, false);
}

void SheetCells::setNumber(const Bytes& stream, std::uint16_t row, std::uint16_t col, double value)
{
    Bytes body = cellHeader(row, col, formatOf(stream, row, col));
    io::putF64(body, value);
    replace(stream, row, col, rt::Number, &body);
}

void SheetCells::setString(const Bytes& stream, std::uint16_t row, std::uint16_t col,
                           std::uint32_t sstIndex)
{
    Bytes body = cellHeader(row, col, formatOf(stream, row, col));
    io::put32(body, sstIndex);
    replace(stream, row, col, rt::LabelSst, &body);
}

void SheetCells::setEmpty(const Bytes& stream, std::uint16_t row, std::uint16_t col)
{
    const CellSpan* span = find(row, col);
    if (!span)
        return; // already empty
    if (span->type == rt::Blank || (span->type == rt::MulBlank))
        return;
    // A cell formatted like a new cell there would be leaves nothing to keep.
    const std::uint16_t xf = formatOf(stream, row, col);
    if (xf == defaultFormat(stream, row, col)) {
        replace(stream, row, col, 0, nullptr);
    } else {
        Bytes body = cellHeader(row, col, xf);
        replace(stream, row, col, rt::Blank, &body);
    }
}

} // namespace zelvano::xls
