#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/ops/CellAnchor.h"
#include "rollbook/ops/CellWrite.h"

#include <QString>

#include <vector>

namespace zelvano
{

// The cells a record changes, planned on the worksheet as it is now.
struct RecordPlan {
    std::vector<CellWrite> cells;
    // The row the record belongs to is not in the sheet any more.
    bool rowGone = false;
    // A cell no longer holds what the record expects (changed by hand or
    // by another program): nothing of it may be written.
    bool changedOutside = false;
};

// One cell as a record changed it: what it held before (empty included)
// and what was written, with what the cell stands for.
struct CellChange {
    int row = 0;
    int column = 0;
    xls::CellValue before;
    CellContent after;
    CellAnchor anchor;
};

// What applying a record changed, kept so it can be taken back. A date
// header the record created is one of its cells, empty before.
struct AppliedCells {
    bool applied = false;
    QString sheet;
    std::vector<CellChange> cells;
    // Ties the changes waiting for a save to this record.
    int id = 0;
};

// What the teacher is told when the row a record belongs to is gone.
struct RecordNotice {
    QString text;
    QString title;
};

// A result a window records in the roll book (points added to a person, an
// award), as a command of that window's logic, which alone knows the
// sheet's layout. The roll book applies it: the cells are planned on the
// sheet as it is at that moment, so a record that waits for the file is
// planned again when it is applied, and it is applied exactly once.
class RecordCommand
{
public:
    virtual ~RecordCommand() = default;

    // The worksheet it goes to, found by its name.
    virtual QString sheet() const = 0;
    // The cells to change; `cells` reads the sheet as it is now and
    // `lastRow` is its last row holding anything.
    virtual RecordPlan plan(const SheetCellReader& cells, int lastRow) = 0;
    virtual RecordNotice goneNotice(const QString& rollBookName) const = 0;
    // True: when it cannot be written (the file cannot be opened, its row
    // is gone, a cell refuses it) it waits and is applied at the next
    // access. False: it is given up, and the window asks the teacher to
    // try again.
    virtual bool waitsWhenNotWritten() const = 0;
    // The record as a person would write it by hand, for the list of those
    // that never reached the file.
    virtual QString handText() const = 0;
    // The record this one takes back; null for an ordinary record.
    virtual const RecordCommand* takesBack() const { return nullptr; }

    // Set by the roll book when the record's cells were written.
    const AppliedCells& applied() const { return m_applied; }
    void setApplied(AppliedCells applied) { m_applied = std::move(applied); }

private:
    AppliedCells m_applied;
};

} // namespace zelvano
