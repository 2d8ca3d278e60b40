#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/SheetInfo.h"
#include "rollbook/biff/BiffRecords.h"
#include "rollbook/biff/SharedStrings.h"
#include "rollbook/biff/SheetCells.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// The BIFF8 workbook stream: sheets, shared strings and cells, read in place
// and written back with only the records a change touches regenerated.
// Sheets are addressed by their position among all sheets (sheets()); rows
// and columns are 0-based here.
class BiffWorkbook
{
public:
    // Throws XlsError for anything but a sound, unencrypted BIFF8 stream.
    static BiffWorkbook parse(Bytes stream);

    BiffWorkbook(BiffWorkbook&&) noexcept;
    BiffWorkbook& operator=(BiffWorkbook&&) noexcept;
    ~BiffWorkbook();

    const std::vector<SheetInfo>& sheets() const { return m_sheets; }

    CellValue cell(std::size_t sheet, std::uint16_t row, std::uint16_t col) const;
    std::uint16_t cellFormat(std::size_t sheet, std::uint16_t row, std::uint16_t col) const;
    // Rows and columns numbered from `first`: 0 as here, 1 as the
    // spreadsheet counts.
    void forEachCell(std::size_t sheet,
                     const std::function<void(int row, int col, const CellValue&)>& f,
                     int first = 0) const;

    // Changes keep the cell's format; a cell that did not exist takes its
    // row's format, else its column's, else the default. Throws XlsError for
    // a sheet that holds no cells (chart, module) or a cell of an array formula.
    void setNumber(std::size_t sheet, std::uint16_t row, std::uint16_t col, double value);
    void setText(std::size_t sheet, std::uint16_t row, std::uint16_t col, std::string_view utf8);
    void setEmpty(std::size_t sheet, std::uint16_t row, std::uint16_t col);

    // Throws XlsError, changing nothing, when the cell could not take a new
    // value (see above).
    void checkCanChange(std::size_t sheet, std::uint16_t row, std::uint16_t col);
    // The last row (0-based) holding a record, -1 for none.
    int lastRow(std::size_t sheet) const;

    bool changed() const;

    // The stream as read (changes not applied).
    const Bytes& stream() const { return m_stream; }
    // Lends the stream out without a copy (to the container, to write the
    // file); the workbook must not be used until returnStream() gives the
    // same bytes back, perhaps with zeros added at the end.
    Bytes lendStream() { return std::move(m_stream); }
    void returnStream(Bytes stream) { m_stream = std::move(stream); }

    // The stream with every change applied.
    Bytes serialize() const;
    // The same with an empty worksheet `name` (UTF-8) after the last sheet,
    // visible and unselected; the caller has checked the name.
    Bytes serializeWithWorksheet(std::string_view name) const;

private:
    struct Sheet;
    BiffWorkbook();
    SheetCells& cellsOf(std::size_t sheet) const;
    Bytes serialize(const std::u16string* addedSheet) const;
    // The globals substream; where each BOUNDSHEET went, and the new one.
    std::size_t writeGlobals(Bytes& out, const std::u16string* addedSheet,
                             std::vector<std::size_t>& boundSheetAt) const;

    Bytes m_stream;
    std::vector<RecordPos> m_globals;
    std::vector<SheetInfo> m_sheets;
    std::vector<std::unique_ptr<Sheet>> m_sheetData;
    std::vector<RecordPos> m_sstRecords;
    std::size_t m_sstIndex = static_cast<std::size_t>(-1);
    std::size_t m_extSstIndex = static_cast<std::size_t>(-1);
    SharedStrings m_strings;
};

} // namespace zelvano::xls
