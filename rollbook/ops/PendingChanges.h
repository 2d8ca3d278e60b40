#pragma once

#include "rollbook/ops/CellAnchor.h"
#include "rollbook/ops/CellWrite.h"
#include "rollbook/ops/RecordCommand.h"
#include "rollbook/ops/RollBookFile.h"

#include <QString>

#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace zelvano
{

// One change of ours to the roll book, kept until the file holds it.
struct PendingChange {
    QString sheet; // worksheet name
    int row = 0;
    int column = 0;
    CellContent value;
    CellAnchor anchor;
    // Made by a RecordCommand (a score, an award), not by a plain write.
    bool recorded = false;
    // The applied record it belongs to (AppliedCells::id); 0 for none.
    int recordId = 0;
};

// Why a change was not written again into a file another program saved.
enum class KeptReason {
    SheetGone,       // no worksheet of that name any more
    SheetUnreadable, // the worksheet cannot be read
    RowGone,         // no row holds the person or prize any more
    RowAmbiguous,    // several rows do
    CellTaken,       // a date header already holds another text
    Refused,         // the cell cannot be changed on its own (array formula ...)
};

struct KeptChange {
    PendingChange change;
    KeptReason reason;
};

// The workbook another program saved, as the re-placing reads it.
struct BookView {
    // Position of the worksheet with this name, -1 when there is none.
    std::function<int(const QString& name)> sheetIndex;
    // False when the worksheet's cells cannot be read.
    std::function<bool(int sheet)> readable;
    std::function<xls::CellValue(int sheet, int row, int column)> cell;
    // The last row holding a record, so a search for a moved row stops.
    std::function<int(int sheet)> lastRow;
};

// Writes one change at its new place; false when the workbook refuses it.
using ChangeWriter = std::function<bool(int sheet, int row, int column, const CellContent& value)>;

// Where a change of ours for one cell stands.
enum class ChangeState {
    None,      // the file holds it, or there is none
    Unsaved,   // written into the workbook in memory, waiting for a save
    KeptAside, // a file saved by another program had no place for it
};

// The changes of ours that the roll-book file does not hold yet: written
// into the workbook in memory and waiting for a save, kept aside because a
// file saved by another program gave them no place, or records that could
// not be written into the workbook at all yet (the file could not be
// opened) and wait to be applied, once, at the next access.
class PendingChanges
{
public:
    // A change written into the workbook in memory.
    void add(PendingChange change);
    // The file now holds every written change.
    void markSaved() { m_written.clear(); }
    // The changes among those written: cells of one score, award or edit
    // count once.
    int changeCount() const;
    // Forgets the written and kept changes (a fresh workbook); waiting
    // records stay.
    void clear();

    const std::vector<PendingChange>& written() const { return m_written; }
    const std::vector<KeptChange>& kept() const { return m_kept; }
    bool empty() const { return m_written.empty() && m_kept.empty(); }

    // The recorded change of `column` in the row `subject` stands for, on
    // `sheet`.
    ChangeState stateOf(const QString& sheet, int column, const CellAnchor& subject) const;

    void wait(std::shared_ptr<RecordCommand> record) { m_waiting.push_back(std::move(record)); }
    // Hands the waiting records over, oldest first, to be applied.
    std::vector<std::shared_ptr<RecordCommand>> takeWaiting();
    const std::vector<std::shared_ptr<RecordCommand>>& waiting() const { return m_waiting; }
    void dropWaiting() { m_waiting.clear(); }
    // Takes one record out of those waiting; false when it does not wait.
    bool dropWaitingRecord(const RecordCommand* record);

    // The changes of one applied record that the file does not hold
    // (written or kept aside), and forgetting them.
    bool holdsRecord(int recordId) const;
    bool holdsWrittenOf(int recordId) const;
    void dropRecord(int recordId);

    // Another program saved the file while these changes waited: each one,
    // kept ones included, in the order made, goes to the sheet of the same
    // name and to the row that still means what its anchor says. The others
    // are kept with their reason. Returns how many were written.
    int replace(const BookView& book, const ChangeWriter& write);

private:
    std::vector<PendingChange> m_written;
    std::vector<KeptChange> m_kept;
    std::vector<std::shared_ptr<RecordCommand>> m_waiting;
};

// Where a change goes in `book`: the sheet and row, or why it has none.
struct Placement {
    bool placed = false;
    KeptReason reason = KeptReason::RowGone;
    int sheet = -1;
    int row = 0;
};
Placement placeChange(const PendingChange& change, const BookView& book);

} // namespace zelvano
