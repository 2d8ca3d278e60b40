#include "rollbook/biff/BiffWorkbook.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffText.h"
#include "rollbook/biff/ByteIO.h"
#include "rollbook/biff/SheetWriter.h"

#include <algorithm>

namespace zelvano::xls
{

namespace
{
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::uint16_t kBiff8 = 0x0600;
} // namespace

struct BiffWorkbook::Sheet {
    std::size_t boundSheetRecord = 0; // index into m_globals
    bool hasSubstream = false;
    std::uint32_t begin = 0; // BOF position
    std::uint32_t end = 0;   // one past its EOF
    mutable std::unique_ptr<SheetCells> cells;
};

BiffWorkbook::BiffWorkbook() = default;
BiffWorkbook::BiffWorkbook(BiffWorkbook&&) noexcept = default;
BiffWorkbook& BiffWorkbook::operator=(BiffWorkbook&&) noexcept = default;
BiffWorkbook::~BiffWorkbook() = default;

BiffWorkbook BiffWorkbook::parse(Bytes stream)
{
    BiffWorkbook wb;
    wb.m_stream = std::move(stream);
    const Bytes& s = wb.m_stream;
    if (s.size() < 8 || io::u16(s.data()) != rt::Bof)
        throw XlsError("This is not an Excel 97-2003 workbook, or it was saved by a much older "
                       "version of Excel.");
    const std::uint16_t version = io::u16(s.data() + 4);
    if (version != kBiff8 || io::u16(s.data() + 2) < 8 || io::u16(s.data() + 6) != 0x0005)
        throw XlsError("This workbook was saved in an Excel format older than Excel 97; save it "
                       "as an Excel 97-2003 workbook.");
    wb.m_globals = readSubstream(s, 0);

    for (std::size_t i = 0; i < wb.m_globals.size(); ++i) {
        const RecordPos& r = wb.m_globals[i];
        const std::uint8_t* data = s.data() + r.dataPos();
        switch (r.type) {
        case rt::FilePass:
            throw XlsError("This workbook is protected by a password; remove the password in Excel "
                           "and save it again.",
                           XlsError::Kind::Password);
        case rt::BoundSheet: {
            if (r.size < 8)
                throw XlsError("The workbook is damaged: a sheet entry is cut short.",
                               XlsError::Kind::Damaged);
            SheetInfo info;
            info.name = utf16ToUtf8(readUnicodeString(data + 6, r.size - 6, true));
            switch (data[4] & 0x03) {
            case 1:
                info.visibility = SheetVisibility::Hidden;
                break;
            case 2:
                info.visibility = SheetVisibility::VeryHidden;
                break;
            default:
                break;
            }
            switch (data[5]) {
            case 0x00:
                info.kind = SheetKind::Worksheet;
                break;
            case 0x01:
                info.kind = SheetKind::MacroSheet;
                break;
            case 0x02:
                info.kind = SheetKind::Chart;
                break;
            case 0x06:
                info.kind = SheetKind::VbModule;
                break;
            default:
                info.kind = SheetKind::Other;
                break;
            }
            auto sheet = std::make_unique<Sheet>();
            sheet->boundSheetRecord = i;
            sheet->begin = io::u32(data);
            wb.m_sheets.push_back(std::move(info));
            wb.m_sheetData.push_back(std::move(sheet));
            break;
        }
        case rt::Sst:
            if (wb.m_sstIndex == kNone) {
                wb.m_sstIndex = i;
                wb.m_sstRecords.push_back(r);
                for (std::size_t k = i + 1;
                     k < wb.m_globals.size() && wb.m_globals[k].type == rt::Continue; ++k)
                    wb.m_sstRecords.push_back(wb.m_globals[k]);
            }
            break;
        case rt::ExtSst:
            if (wb.m_extSstIndex == kNone)
                wb.m_extSstIndex = i;
            break;
        default:
            break;
        }
    }
    wb.m_strings = SharedStrings::parse(s, wb.m_sstRecords);

    const std::uint32_t globalsEnd = wb.m_globals.back().end();
    std::vector<const Sheet*> order;
    for (std::size_t i = 0; i < wb.m_sheetData.size(); ++i) {
        Sheet& sheet = *wb.m_sheetData[i];
        const bool looksLikeBof = sheet.begin >= globalsEnd && sheet.begin + 8 <= s.size() &&
                                  io::u16(&s[sheet.begin]) == rt::Bof &&
                                  io::u16(&s[sheet.begin + 4]) == kBiff8;
        if (!looksLikeBof) {
            if (wb.m_sheets[i].kind == SheetKind::Worksheet)
                throw XlsError("The workbook is damaged: the sheet \"" + wb.m_sheets[i].name +
                                   "\" cannot be found in it.",
                               XlsError::Kind::Damaged);
            continue; // a module or chart without its own records
        }
        const auto records = readSubstream(s, sheet.begin);
        sheet.hasSubstream = true;
        sheet.end = records.back().end();
        order.push_back(&sheet);
    }
    std::sort(order.begin(), order.end(),
              [](const Sheet* a, const Sheet* b) { return a->begin < b->begin; });
    for (std::size_t i = 1; i < order.size(); ++i)
        if (order[i]->begin < order[i - 1]->end)
            throw XlsError("The workbook is damaged: two sheets overlap.", XlsError::Kind::Damaged);
    return wb;
}

SheetCells& BiffWorkbook::cellsOf(std::size_t sheet) const
{
    if (sheet >= m_sheetData.size())
        throw XlsError("There is no sheet " + std::to_string(sheet + 1) + " in the workbook.");
    const Sheet& data = *m_sheetData[sheet];
    if (!data.cells) {
        if (!data.hasSubstream)
            throw XlsError("The sheet \"" + m_sheets[sheet].name + "\" holds no cells.");
        data.cells = std::make_unique<SheetCells>(
            SheetCells::parse(m_stream, readSubstream(m_stream, data.begin), m_strings));
    }
    return *data.cells;
}

CellValue BiffWorkbook::cell(std::size_t sheet, std::uint16_t row, std::uint16_t col) const
{
    return cellsOf(sheet).value(m_stream, m_strings, row, col);
}

std::uint16_t BiffWorkbook::cellFormat(std::size_t sheet, std::uint16_t row,
                                       std::uint16_t col) const
{
    return cellsOf(sheet).formatOf(m_stream, row, col);
}

void BiffWorkbook::forEachCell(std::size_t sheet,
                               const std::function<void(int, int, const CellValue&)>& f,
                               int first) const
{
    cellsOf(sheet).forEach(m_stream, m_strings, f, first);
}

namespace
{
void checkCell(std::uint16_t col)
{
    if (col > 255)
        throw XlsError("An Excel 97-2003 workbook has at most 256 columns.");
}
} // namespace

void BiffWorkbook::checkCanChange(std::size_t sheet, std::uint16_t row, std::uint16_t col)
{
    checkCell(col);
    cellsOf(sheet).checkCanChange(m_stream, row, col);
}

int BiffWorkbook::lastRow(std::size_t sheet) const
{
    const auto& rows = cellsOf(sheet).rows();
    return rows.empty() ? -1 : rows.rbegin()->first;
}

void BiffWorkbook::setNumber(std::size_t sheet, std::uint16_t row, std::uint16_t col, double value)
{
    checkCell(col);
    cellsOf(sheet).setNumber(m_stream, row, col, value);
}

void BiffWorkbook::setText(std::size_t sheet, std::uint16_t row, std::uint16_t col,
                           std::string_view utf8)
{
    checkCell(col);
    if (utf8.empty()) {
        setEmpty(sheet, row, col);
        return;
    }
    std::u16string text = utf8ToUtf16(utf8);
    if (text.size() > 32767)
        throw XlsError("A cell holds at most 32767 characters.");
    SheetCells& cells = cellsOf(sheet);
    // A cell that cannot change must not leave a string behind.
    cells.checkCanChange(m_stream, row, col);
    cells.setString(m_stream, row, col, m_strings.findOrAdd(text));
}

void BiffWorkbook::setEmpty(std::size_t sheet, std::uint16_t row, std::uint16_t col)
{
    checkCell(col);
    cellsOf(sheet).setEmpty(m_stream, row, col);
}

bool BiffWorkbook::changed() const
{
    if (m_strings.changed())
        return true;
    for (const auto& sheet : m_sheetData)
        if (sheet->cells && sheet->cells->changed())
            return true;
    return false;
}

namespace
{

// A sheet's entry in the globals: where its BOF lies (set once known),
// visible, a worksheet, its name as UTF-16.
Bytes boundSheetBody(const std::u16string& name)
{
    Bytes body;
    io::put32(body, 0);
    body.push_back(0x00); // visible
    body.push_back(0x00); // worksheet
    body.push_back(static_cast<std::uint8_t>(name.size()));
    body.push_back(0x01); // two bytes a character
    for (char16_t c : name)
        io::put16(body, static_cast<std::uint16_t>(c));
    return body;
}

// The least a worksheet needs: its BOF (the build of the globals' own),
// the extent of no cells, and a window that is not selected.
void appendEmptyWorksheet(const Bytes& stream, Bytes& out)
{
    Bytes bof(stream.begin() + 4, stream.begin() + 4 + io::u16(stream.data() + 2));
    io::set16(&bof[2], 0x0010); // a worksheet substream
    appendRecord(out, rt::Bof, bof);
    appendRecord(out, rt::Dimensions, Bytes(14, 0));
    Bytes window(18, 0);
    io::set16(&window[0], 0x00B6); // grid, headers, zeros, outline symbols
    io::set16(&window[6], 0x0040); // the headers' default colour
    appendRecord(out, rt::Window2, window);
    appendRecord(out, rt::Eof, Bytes());
}

// The records that count the sheets: the workbook's reference to itself
// (SUPBOOK), and the list of sheet ids (TABID) that Excel keeps in step.
void countAddedSheet(const RecordPos& r, const Bytes& stream, Bytes& out)
{
    const std::uint8_t* data = stream.data() + r.dataPos();
    if (r.type == rt::SupBook && r.size >= 4 && io::u16(data + 2) == 0x0401) {
        out.insert(out.end(), stream.begin() + r.pos, stream.begin() + r.end());
        io::set16(&out[out.size() - r.size], static_cast<std::uint16_t>(io::u16(data) + 1));
        return;
    }
    std::uint16_t highest = 0;
    for (std::size_t at = 0; at + 2 <= r.size; at += 2)
        highest = std::max(highest, io::u16(data + at));
    Bytes ids(data, data + r.size);
    io::put16(ids, static_cast<std::uint16_t>(highest + 1));
    appendRecord(out, rt::TabId, ids);
}

} // namespace

Bytes BiffWorkbook::serialize() const
{
    return serialize(nullptr);
}

Bytes BiffWorkbook::serializeWithWorksheet(std::string_view name) const
{
    const std::u16string added = utf8ToUtf16(name);
    return serialize(&added);
}

std::size_t BiffWorkbook::writeGlobals(Bytes& out, const std::u16string* addedSheet,
                                       std::vector<std::size_t>& boundSheetAt) const
{
    const Bytes& s = m_stream;
    std::size_t lastBoundSheet = kNone;
    for (std::size_t i = 0; i < m_globals.size(); ++i)
        if (m_globals[i].type == rt::BoundSheet)
            lastBoundSheet = i;
    if (addedSheet && lastBoundSheet == kNone)
        throw XlsError("The workbook is damaged: it lists no sheets.", XlsError::Kind::Damaged);
    std::size_t addedAt = kNone;
    Bytes sst, extSst;
    // Records put before the string table move it: its index is written anew.
    const bool newStrings = m_strings.changed() || (addedSheet && m_sstIndex != kNone);
    bool extSstWritten = false;
    for (std::size_t i = 0; i < m_globals.size(); ++i) {
        const RecordPos& r = m_globals[i];
        if (newStrings) {
            if (i == m_sstIndex ||
                (m_sstIndex == kNone && r.type == rt::Eof && i + 1 == m_globals.size())) {
                m_strings.serialize(static_cast<std::uint32_t>(out.size()), sst, extSst);
                out.insert(out.end(), sst.begin(), sst.end());
                if (m_extSstIndex == kNone || m_extSstIndex < m_sstIndex) {
                    out.insert(out.end(), extSst.begin(), extSst.end());
                    extSstWritten = true;
                }
                if (i == m_sstIndex) {
                    i += m_sstRecords.size() - 1; // its CONTINUE records
                    continue;
                }
            } else if (i == m_extSstIndex) {
                if (!extSstWritten)
                    out.insert(out.end(), extSst.begin(), extSst.end());
                continue;
            }
        }
        if (r.type == rt::BoundSheet)
            boundSheetAt[i] = out.size();
        if (addedSheet && (r.type == rt::SupBook || r.type == rt::TabId))
            countAddedSheet(r, s, out);
        else
            out.insert(out.end(), s.begin() + r.pos, s.begin() + r.end());
        if (addedSheet && i == lastBoundSheet) {
            addedAt = out.size();
            appendRecord(out, rt::BoundSheet, boundSheetBody(*addedSheet));
        }
    }
    return addedAt;
}

Bytes BiffWorkbook::serialize(const std::u16string* addedSheet) const
{
    Bytes out;
    out.reserve(m_stream.size() + m_stream.size() / 8 + 4096);
    const Bytes& s = m_stream;

    // Globals: byte for byte, except a string table that grew.
    std::vector<std::size_t> boundSheetAt(m_globals.size(), kNone);
    const std::size_t addedEntry = writeGlobals(out, addedSheet, boundSheetAt);

    // Sheets in the order they lie in the stream, with whatever lies between
    // them kept.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < m_sheetData.size(); ++i)
        if (m_sheetData[i]->hasSubstream)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return m_sheetData[a]->begin < m_sheetData[b]->begin;
    });
    std::uint32_t previousEnd = m_globals.back().end();
    std::vector<std::uint32_t> newBegin(m_sheetData.size(), 0);
    for (std::size_t i : order) {
        const Sheet& sheet = *m_sheetData[i];
        out.insert(out.end(), s.begin() + previousEnd, s.begin() + sheet.begin);
        newBegin[i] = static_cast<std::uint32_t>(out.size());
        if (sheet.cells && sheet.cells->changed())
            writeChangedSheet(s, readSubstream(s, sheet.begin), *sheet.cells, out);
        else
            writeMovedSheet(s, sheet.begin, sheet.end,
                            static_cast<std::int64_t>(newBegin[i]) - sheet.begin, out);
        previousEnd = sheet.end;
    }
    // A new sheet follows the last one, before the padding after it.
    const std::size_t addedBegin = out.size();
    if (addedSheet)
        appendEmptyWorksheet(s, out);
    out.insert(out.end(), s.begin() + previousEnd, s.end());
    if (out.size() > 0xFFFFFFF0u)
        throw XlsError("The workbook would grow too large to be saved.");

    for (std::size_t i = 0; i < m_sheetData.size(); ++i) {
        const Sheet& sheet = *m_sheetData[i];
        const std::size_t at = boundSheetAt[sheet.boundSheetRecord];
        if (sheet.hasSubstream && at != kNone)
            io::set32(&out[at + 4], newBegin[i]);
    }
    if (addedSheet)
        io::set32(&out[addedEntry + 4], static_cast<std::uint32_t>(addedBegin));
    return out;
}

} // namespace zelvano::xls
