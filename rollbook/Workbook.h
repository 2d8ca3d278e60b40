#pragma once

#include "rollbook/BiffWorkbook.h"
#include "rollbook/CellValue.h"
#include "rollbook/cfb/CompoundFile.h"
#include "rollbook/cfb/FileWatch.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// The roll book as the program sees it: an .xls file opened in memory,
// read and changed cell by cell, saved atomically.
//
// Worksheets are addressed by their 0-based position among the worksheets
// (worksheetNames()); chart sheets, macro sheets and modules are listed by
// sheets() but are not worksheets. Rows and columns are 1-based, as the
// spreadsheet counts them (row 1..65536, column 1..256).
//
// Every failure throws XlsError with one line for a person. A failed save
// keeps the unsaved changes, so the caller can retry.
class Workbook
{
public:
    static Workbook open(const std::filesystem::path& path);

    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;
    ~Workbook();

    const std::filesystem::path& path() const { return m_path; }

    // Every sheet in workbook order, with its kind and visibility.
    const std::vector<SheetInfo>& sheets() const { return m_biff.sheets(); }
    // Names of the worksheets, in workbook order.
    std::vector<std::string> worksheetNames() const;
    std::size_t worksheetCount() const { return m_worksheets.size(); }

    CellValue cell(std::size_t worksheet, int row, int col) const;
    // The value converted to text and trimmed of spaces.
    std::string cellText(std::size_t worksheet, int row, int col) const;

    // Every cell holding a value, row by row (1-based row and column).
    void forEachCell(std::size_t worksheet,
                     const std::function<void(int row, int col, const CellValue&)>& f) const;

    // Reads the worksheet's cells now (they are read on first use): throws
    // XlsError when they are damaged, so a caller can refuse the sheet as a
    // whole before reading or writing any of it.
    void loadCells(std::size_t worksheet) const;
    // The last row (1-based) holding a record; 0 for an empty sheet.
    int lastRow(std::size_t worksheet) const;
    // Throws XlsError, changing nothing, when the cell cannot take a new
    // value: part of an array formula or data table, the first cell of a
    // shared formula that cannot be split.
    void checkCanChange(std::size_t worksheet, int row, int col);

    void setNumber(std::size_t worksheet, int row, int col, double value);
    // An empty text empties the cell.
    void setText(std::size_t worksheet, int row, int col, std::string_view text);
    void setEmpty(std::size_t worksheet, int row, int col);

    // Changes made since the file was read or last saved.
    bool isDirty() const { return m_savePending || m_biff.changed(); }

    // Writes the changes to the file atomically; the first save in this run
    // keeps the file as it was in backupPath().
    void save();
    // "点名册.xls" -> "点名册.bak.xls" in the same folder.
    std::filesystem::path backupPath() const;

    // The file as it was when read or last saved by us.
    const FileStamp& stamp() const { return m_stamp; }
    // Another program saved over the file since then.
    bool changedOnDisk() const;
    WriteAccess writeAccess() const;

private:
    Workbook(std::filesystem::path path, CompoundFile cfb, BiffWorkbook biff, FileStamp stamp);
    std::size_t sheetIndex(std::size_t worksheet) const;
    void rebuildWorksheetList();

    std::filesystem::path m_path;
    CompoundFile m_cfb;
    BiffWorkbook m_biff;
    FileStamp m_stamp;
    std::vector<std::size_t> m_worksheets; // positions in sheets()
    bool m_savePending = false;            // changes written to m_biff, not yet to disk
    bool m_unreadable = false;             // our own saved image did not read back
};

// Reads the BIFF8 workbook stream of a compound file: "Workbook" matched
// case-insensitively; a file holding only an Excel 5/95 "Book" stream is
// refused.
BiffWorkbook readWorkbookStream(const CompoundFile& cfb);

} // namespace zelvano::xls
