#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/WorkbookFormat.h"
#include "rollbook/cfb/FileWatch.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// The roll book as the program sees it: a workbook file opened in memory,
// read and changed cell by cell, saved atomically. Whether it is an Excel
// 97-2003 (.xls) or an Excel 2007+ (.xlsx) workbook is decided by what the
// file holds, not by its name.
//
// Worksheets are addressed by their 0-based position among the worksheets
// (worksheetNames()); chart sheets, macro sheets and modules are listed by
// sheets() but are not worksheets. Rows and columns are 1-based, as the
// spreadsheet counts them, up to maxRow() and maxColumn() of the format
// (65536 x 256 for .xls, 1048576 x 16384 for .xlsx).
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
    const std::vector<SheetInfo>& sheets() const { return m_format->sheets(); }
    // Names of the worksheets, in workbook order.
    std::vector<std::string> worksheetNames() const;
    std::size_t worksheetCount() const { return m_worksheets.size(); }

    int maxRow() const { return m_format->maxRow(); }
    int maxColumn() const { return m_format->maxColumn(); }

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

    // Adds an empty worksheet after the last sheet and returns its position
    // among the worksheets. Throws XlsError, changing nothing, for a name
    // checkSheetName refuses. Saved with the other changes.
    std::size_t addWorksheet(std::string_view utf8Name);

    // Changes made since the file was read or last saved.
    bool isDirty() const { return m_format->isDirty(); }

    // Writes the changes to the file atomically; the first save in this run
    // keeps the file as it was in backupPath().
    void save();
    // "点名册.xls" -> "点名册.bak.xls", "点名册.xlsx" -> "点名册.bak.xlsx", in
    // the same folder.
    std::filesystem::path backupPath() const;

    // The file as it was when read or last saved by us.
    const FileStamp& stamp() const { return m_stamp; }
    // Another program saved over the file since then.
    bool changedOnDisk() const;
    WriteAccess writeAccess() const;

private:
    Workbook(std::filesystem::path path, std::unique_ptr<WorkbookFormat> format, FileStamp stamp);
    std::size_t sheetIndex(std::size_t worksheet) const;
    int checkedRow(int row) const;
    int checkedCol(int col) const;

    std::filesystem::path m_path;
    std::unique_ptr<WorkbookFormat> m_format;
    FileStamp m_stamp;
    std::vector<std::size_t> m_worksheets; // positions in sheets()
};

// The format that reads a whole file image, chosen by its content: a ZIP
// package is an .xlsx workbook, a compound file an .xls one (unless it holds
// a password-encrypted package). Throws XlsError for anything else.
std::unique_ptr<WorkbookFormat> openWorkbookFormat(Bytes image);

} // namespace zelvano::xls
