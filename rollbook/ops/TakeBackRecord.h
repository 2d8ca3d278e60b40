#pragma once

#include "rollbook/ops/RecordCommand.h"

#include <memory>

namespace zelvano
{

// True when the cell holds exactly what was written: the same number, the
// same text, or nothing for an empty text.
bool cellHolds(const xls::CellValue& cell, const CellContent& written);
// What restores a cell to `before`: its number or text, an empty text for
// an empty cell. A truth value or an error code comes back as its text.
CellContent restoringContent(const xls::CellValue& before);

// Takes a record back: every cell it changed gets what it held before, in
// the row that still holds the same person or prize (a date header at its
// address). Applied by the roll book like any record, so it waits and is
// written exactly once as the record it takes back would be. When a cell
// no longer holds what the record wrote, nothing is changed.
class TakeBackRecord final : public RecordCommand
{
public:
    explicit TakeBackRecord(std::shared_ptr<RecordCommand> original);

    QString sheet() const override;
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override;
    RecordNotice goneNotice(const QString& rollBookName) const override;
    bool waitsWhenNotWritten() const override { return m_original->waitsWhenNotWritten(); }
    QString handText() const override;
    const RecordCommand* takesBack() const override { return m_original.get(); }

private:
    std::shared_ptr<RecordCommand> m_original;
    // The cell found changed by the last plan; 0 when none was.
    int m_changedRow = 0;
    int m_changedColumn = 0;
};

} // namespace zelvano
