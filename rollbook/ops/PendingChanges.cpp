#include "rollbook/ops/PendingChanges.h"

#include <algorithm>
#include <set>

namespace zelvano
{

namespace
{

QString textOf(const xls::CellValue& value)
{
    return QString::fromStdString(xls::trimmedText(value));
}

} // namespace

void PendingChanges::add(PendingChange change)
{
    m_written.push_back(std::move(change));
}

void PendingChanges::clear()
{
    m_written.clear();
    m_kept.clear();
}

ChangeState PendingChanges::stateOf(const QString& sheet, int column,
                                    const CellAnchor& subject) const
{
    const auto same = [&](const PendingChange& change) {
        return change.recorded && change.sheet == sheet && change.column == column &&
               change.anchor.keys == subject.keys;
    };
    for (const KeptChange& kept : m_kept) {
        if (same(kept.change))
            return ChangeState::KeptAside;
    }
    for (const PendingChange& change : m_written) {
        if (same(change))
            return ChangeState::Unsaved;
    }
    return ChangeState::None;
}

bool PendingChanges::dropWaitingRecord(const RecordCommand* record)
{
    const auto found =
        std::find_if(m_waiting.begin(), m_waiting.end(),
                     [record](const auto& waiting) { return waiting.get() == record; });
    if (found == m_waiting.end())
        return false;
    m_waiting.erase(found);
    return true;
}

int PendingChanges::changeCount() const
{
    std::set<int> changes;
    int unnamed = 0;
    for (const PendingChange& c : m_written) {
        if (c.recordId == 0)
            ++unnamed; // a cell written on its own
        else
            changes.insert(c.recordId);
    }
    return static_cast<int>(changes.size()) + unnamed;
}

bool PendingChanges::holdsWrittenOf(int recordId) const
{
    return recordId != 0 &&
           std::any_of(m_written.begin(), m_written.end(),
                       [recordId](const PendingChange& c) { return c.recordId == recordId; });
}

bool PendingChanges::holdsRecord(int recordId) const
{
    return holdsWrittenOf(recordId) ||
           (recordId != 0 &&
            std::any_of(m_kept.begin(), m_kept.end(),
                        [recordId](const KeptChange& c) { return c.change.recordId == recordId; }));
}

void PendingChanges::dropRecord(int recordId)
{
    if (recordId == 0)
        return;
    std::erase_if(m_written, [recordId](const PendingChange& c) { return c.recordId == recordId; });
    std::erase_if(m_kept,
                  [recordId](const KeptChange& c) { return c.change.recordId == recordId; });
}

std::vector<std::shared_ptr<RecordCommand>> PendingChanges::takeWaiting()
{
    std::vector<std::shared_ptr<RecordCommand>> out = std::move(m_waiting);
    m_waiting.clear();
    return out;
}

Placement placeChange(const PendingChange& change, const BookView& book)
{
    Placement placement;
    const int sheet = book.sheetIndex(change.sheet);
    if (sheet < 0) {
        placement.reason = KeptReason::SheetGone;
        return placement;
    }
    if (!book.readable(sheet)) {
        placement.reason = KeptReason::SheetUnreadable;
        return placement;
    }
    const SheetCellReader cells = [&](int row, int column) {
        return book.cell(sheet, row, column);
    };
    const AnchoredRow found =
        findAnchoredRow(change.anchor, change.row, cells, book.lastRow(sheet));
    if (found.match == AnchoredRow::Match::Gone || found.match == AnchoredRow::Match::Ambiguous) {
        placement.reason = found.match == AnchoredRow::Match::Gone ? KeptReason::RowGone
                                                                   : KeptReason::RowAmbiguous;
        return placement;
    }
    if (change.anchor.onlyIntoEmpty) {
        const QString now = textOf(cells(found.row, change.column));
        const QString* ours = std::get_if<QString>(&change.value);
        if (!now.isEmpty() && (!ours || now != ours->trimmed())) {
            placement.reason = KeptReason::CellTaken;
            return placement;
        }
    }
    placement.placed = true;
    placement.sheet = sheet;
    placement.row = found.row;
    return placement;
}

int PendingChanges::replace(const BookView& book, const ChangeWriter& write)
{
    // Kept changes are older than any written since: they go first.
    std::vector<PendingChange> all;
    for (KeptChange& kept : m_kept)
        all.push_back(std::move(kept.change));
    for (PendingChange& change : m_written)
        all.push_back(std::move(change));
    m_kept.clear();
    m_written.clear();

    int rewritten = 0;
    for (PendingChange& change : all) {
        const Placement placement = placeChange(change, book);
        if (!placement.placed) {
            m_kept.push_back({std::move(change), placement.reason});
            continue;
        }
        if (!write(placement.sheet, placement.row, change.column, change.value)) {
            m_kept.push_back({std::move(change), KeptReason::Refused});
            continue;
        }
        change.row = placement.row;
        m_written.push_back(std::move(change));
        ++rewritten;
    }
    return rewritten;
}

} // namespace zelvano
