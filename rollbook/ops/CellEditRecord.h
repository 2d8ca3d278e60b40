#pragma once

#include "rollbook/ops/RecordCommand.h"

namespace zelvano
{

// What a typed text stores: a number typed ("12", " 2.5 ") as that number,
// any other text ("03月05") as typed, and an empty text empties the cell.
CellContent typedContent(const QString& typed);

// A teacher's edit of one cell in the roll-book window, applied by the roll
// book as any record is, so it can be taken back by the same rule as a
// score: only while the cell still holds what was typed. Never kept to
// wait: an edit that cannot be written is told and typed again.
class CellEditRecord final : public RecordCommand
{
public:
    CellEditRecord(QString sheet, int row, int column, const QString& typed);

    QString sheet() const override { return m_sheet; }
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override;
    RecordNotice goneNotice(const QString& rollBookName) const override;
    bool waitsWhenNotWritten() const override { return false; }
    QString handText() const override;

private:
    QString m_sheet;
    int m_row = 0;
    int m_column = 0;
    CellContent m_value;
};

} // namespace zelvano
