#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvano::xls
{

// The largest sheet an .xlsx workbook holds: 1,048,576 rows by 16,384
// columns (A to XFD).
inline constexpr int kXlsxMaxRow = 1048576;
inline constexpr int kXlsxMaxColumn = 16384;

// A cell's place, 1-based.
struct CellPos {
    int row = 0;
    int col = 0;
    bool operator==(const CellPos&) const = default;
    // Row by row, as the cells lie in a sheet's XML.
    bool operator<(const CellPos& o) const { return row != o.row ? row < o.row : col < o.col; }
};

// A rectangle of cells, first at the top left.
struct CellRange {
    CellPos first;
    CellPos last;
    bool operator==(const CellRange&) const = default;
    bool contains(CellPos p) const
    {
        return p.row >= first.row && p.row <= last.row && p.col >= first.col && p.col <= last.col;
    }
};

// "A" -> 1, "XFD" -> 16384 (letters in either case); nothing past XFD.
std::optional<int> parseColumnName(std::string_view letters);
// 1 -> "A", 16384 -> "XFD".
std::string columnName(int col);

// "B3" -> (3, 2); no '$', nothing outside the sheet's limits.
std::optional<CellPos> parseCellRef(std::string_view ref);
std::string cellRefText(CellPos pos);

// "A1:C4" or a single "B2"; nothing for anything else or a reversed range.
std::optional<CellRange> parseRange(std::string_view ref);
// "A1:C4", or "B2" for a single cell.
std::string rangeText(const CellRange& range);

} // namespace zelvano::xls
