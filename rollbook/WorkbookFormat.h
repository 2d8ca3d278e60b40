#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/SheetInfo.h"
#include "rollbook/cfb/CompoundFile.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// One file format of the roll book (Excel 97-2003 .xls, Excel 2007+ .xlsx)
// held in memory: its sheets and cells, read and changed in place, and the
// whole file image with the changes applied. Workbook puts the file on disk
// and decides which format opens a file.
//
// Sheets are addressed by their position in sheets() (chart sheets and the
// like included); rows and columns are 1-based and already checked against
// maxRow()/maxColumn() by the caller. Every failure throws XlsError with one
// line for a person; a failed change or save changes nothing.
class WorkbookFormat
{
public:
    virtual ~WorkbookFormat() = default;

    virtual int maxRow() const = 0;
    virtual int maxColumn() const = 0;

    virtual const std::vector<SheetInfo>& sheets() const = 0;

    virtual CellValue cell(std::size_t sheet, int row, int col) const = 0;
    // Every cell holding a value, row by row, 1-based.
    virtual void
    forEachCell(std::size_t sheet,
                const std::function<void(int row, int col, const CellValue&)>& f) const = 0;
    // The last row holding a cell or a row record; 0 for an empty sheet.
    // Reads the sheet's cells if not read yet: throws XlsError when they
    // are damaged.
    virtual int lastRow(std::size_t sheet) const = 0;

    // Throws XlsError, changing nothing, when the cell cannot take a new
    // value (part of an array formula, a shared formula that cannot be
    // handed on); XlsError::Kind says which.
    virtual void checkCanChange(std::size_t sheet, int row, int col) = 0;
    virtual void setNumber(std::size_t sheet, int row, int col, double value) = 0;
    // An empty text empties the cell.
    virtual void setText(std::size_t sheet, int row, int col, std::string_view utf8) = 0;
    virtual void setEmpty(std::size_t sheet, int row, int col) = 0;

    // Appends an empty, visible worksheet after the last sheet and returns
    // its position in sheets(); the caller has checked the name. Unsaved
    // changes stay unsaved, the new sheet with them.
    virtual std::size_t addWorksheet(std::string_view utf8Name) = 0;

    // Changes not yet handed to a successful save.
    virtual bool isDirty() const = 0;

    // Builds the file image with every change applied and passes it to
    // `writeFile`, which puts it on disk or throws. Only when `writeFile`
    // returns are the changes taken as saved; when it throws they are kept
    // for the next attempt and the exception goes on to the caller.
    virtual void save(const std::function<void(const Bytes& image)>& writeFile) = 0;
};

// The formats, opened from a whole file image; each throws XlsError for a
// file it cannot read soundly.
std::unique_ptr<WorkbookFormat> openBiffFormat(Bytes image);
std::unique_ptr<WorkbookFormat> openXlsxFormat(Bytes image);

} // namespace zelvano::xls
