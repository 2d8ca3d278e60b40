#pragma once

#include "rollbook/ops/CellAnchor.h"

#include <QString>

#include <functional>
#include <variant>
#include <vector>

namespace zelvano
{

// A number, or a text (an empty text empties the cell).
using CellContent = std::variant<double, QString>;

// One cell a window writes into the current worksheet, with what it stands for.
struct CellWrite {
    int row = 0;
    int column = 0;
    CellContent value;
    CellAnchor anchor;
};

// One change of ours to the roll book, kept until the file holds it.
struct PendingChange {
    QString sheet; // worksheet name
    int row = 0;
    int column = 0;
    CellContent value;
    CellAnchor anchor;
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

// The changes of ours that the roll-book file does not hold yet: written
// into the workbook in memory and waiting for a save, or kept aside because
// a file saved by another program gave them no place.
class PendingChanges
{
public:
    // A change written into the workbook in memory.
    void add(PendingChange change);
    // The file now holds every written change.
    void markSaved() { m_written.clear(); }
    void clear();

    const std::vector<PendingChange>& written() const { return m_written; }
    const std::vector<KeptChange>& kept() const { return m_kept; }
    bool empty() const { return m_written.empty() && m_kept.empty(); }

    // Another program saved the file while these changes waited: each one,
    // kept ones included, in the order made, goes to the sheet of the same
    // name and to the row that still means what its anchor says. The others
    // are kept with their reason. Returns how many were written.
    int replace(const BookView& book, const ChangeWriter& write);

private:
    std::vector<PendingChange> m_written;
    std::vector<KeptChange> m_kept;
};

// Where a change goes in `book`: the sheet and row, or why it has none.
struct Placement {
    bool placed = false;
    KeptReason reason = KeptReason::RowGone;
    int sheet = -1;
    int row = 0;
};
Placement placeChange(const PendingChange& change, const BookView& book);

// What the teacher is told after the file was read again: how many changes
// were written again, and which were kept, counted by reason.
QString reloadReport(int rewritten, const std::vector<KeptChange>& kept);
// What the teacher is told when the window closes with changes that never
// found their place: each cell and value, to be written by hand.
QString unplacedReport(const std::vector<KeptChange>& kept);

} // namespace zelvano
