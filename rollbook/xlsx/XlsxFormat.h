#pragma once

#include "rollbook/WorkbookFormat.h"
#include "rollbook/XlsError.h"
#include "rollbook/xlsx/Package.h"
#include "rollbook/xlsx/SharedStringTable.h"
#include "rollbook/xlsx/SheetXml.h"

#include <memory>
#include <optional>
#include <vector>

namespace zelvano::xls
{

// An Excel 2007+ workbook held in memory. Sheets are read on first use; a
// save hands on a new image in which only the changed sheets, the shared
// strings (when a text was added) and the parts tying them together differ.
class XlsxFormat : public WorkbookFormat
{
public:
    // Throws XlsError for a file that is not a workbook or is damaged.
    explicit XlsxFormat(Bytes image);

    int maxRow() const override { return 1048576; }
    int maxColumn() const override { return 16384; }
    const std::vector<SheetInfo>& sheets() const override { return m_infos; }

    CellValue cell(std::size_t sheet, int row, int col) const override;
    void
    forEachCell(std::size_t sheet,
                const std::function<void(int row, int col, const CellValue&)>& f) const override;
    int lastRow(std::size_t sheet) const override;

    void checkCanChange(std::size_t sheet, int row, int col) override;
    void setNumber(std::size_t sheet, int row, int col, double value) override;
    void setText(std::size_t sheet, int row, int col, std::string_view utf8) override;
    void setEmpty(std::size_t sheet, int row, int col) override;

    std::size_t addWorksheet(std::string_view utf8Name) override;
    bool isDirty() const override { return m_dirty; }
    void save(const std::function<void(const Bytes& image)>& writeFile) override;

private:
    void load(Bytes image);
    const SharedStringTable& strings() const;
    // The sheet's cells; nothing for a sheet that is not a worksheet. A sheet
    // read `forChange` keeps its bytes.
    SheetXml* cellsOf(std::size_t sheet, bool forChange = false) const;
    // The same with the shared strings its values need (read on first use).
    const SheetXml* readableCellsOf(std::size_t sheet) const;
    SheetXml& writableCellsOf(std::size_t sheet);
    XlsError partMissing(std::size_t sheet) const;
    Package::Edit changes() const;
    Bytes newImage() const;

    std::unique_ptr<Package> m_package;
    std::vector<SheetInfo> m_infos;
    mutable std::optional<std::string> m_stringsXml; // as read, empty when none
    mutable std::optional<SharedStringTable> m_strings;
    mutable std::vector<std::unique_ptr<SheetXml>> m_cells;
    bool m_dirty = false;
};

} // namespace zelvano::xls
