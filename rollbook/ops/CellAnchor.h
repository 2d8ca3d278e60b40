#pragma once

#include "rollbook/CellValue.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace zelvano
{

// What a cell written into the roll book stands for, said by the code that
// writes it. Another program (Excel, WPS) may sort, insert or delete rows
// while a change of ours waits to be saved; the change is written again only
// where the cell still means the same thing:
//  - a score or a winner's prize: the row that holds the person's number and
//    name (columns A and B);
//  - a prize's units used or winners: the row that holds its level and prize
//    name (columns B and C);
//  - a lesson's date header: row 2 of its column, while that cell is empty or
//    holds the same date;
//  - a teacher's edit in the roll-book window: its sheet and address.
// The sheet is always found by its name.
struct CellAnchor {
    // (column, trimmed text) of cells of the same row that name what the row
    // holds. Empty: the address alone says what the cell is.
    std::vector<std::pair<int, QString>> keys;
    // Where the row may be found again after a sort.
    int firstRow = 1;
    int lastRow = 65536;
    // Written only into an empty cell or one already holding the value.
    bool onlyIntoEmpty = false;

    static CellAnchor address();
    static CellAnchor rowHolding(std::vector<std::pair<int, QString>> keys, int firstRow,
                                 int lastRow = 65536);
    static CellAnchor emptyHeader();

    // The keys as a person reads them: "4 彭军", "三等奖 笔记本".
    QString keyText() const;
};

// A cell of one worksheet, rows and columns 1-based.
using SheetCellReader = std::function<xls::CellValue(int row, int column)>;

// Where an anchored row is now.
struct AnchoredRow {
    enum class Match { Same, Moved, Gone, Ambiguous };
    Match match = Match::Gone;
    int row = 0; // for Same and Moved
};

// `row` when it still holds the anchor's keys; otherwise the one row from
// firstRow to min(lastRow, lastUsedRow) that does. An anchor without keys
// always stays at `row`.
AnchoredRow findAnchoredRow(const CellAnchor& anchor, int row, const SheetCellReader& cells,
                            int lastUsedRow);

// Column letters as the spreadsheet names them: 1 -> A, 27 -> AA, 256 -> IV.
QString columnLetters(int column);

// "抽奖品!F5": how the teacher finds the cell in a spreadsheet program.
QString cellAddress(const QString& sheet, int row, int column);

} // namespace zelvano
