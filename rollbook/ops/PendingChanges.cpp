#include "rollbook/ops/PendingChanges.h"

#include <QStringList>

#include <algorithm>
#include <map>
#include <set>

namespace zelvano
{

namespace
{

// Addresses listed per reason before the rest is only counted.
constexpr int kListedAddresses = 5;

QString reasonText(KeptReason reason)
{
    switch (reason) {
    case KeptReason::SheetGone:
        return QStringLiteral("所在的工作表已不存在");
    case KeptReason::SheetUnreadable:
        return QStringLiteral("所在的工作表无法读取");
    case KeptReason::RowGone:
        return QStringLiteral("找不到原来那一行的人或奖品");
    case KeptReason::RowAmbiguous:
        return QStringLiteral("原来那一行的人或奖品出现在不止一行");
    case KeptReason::CellTaken:
        return QStringLiteral("那一格已写入别的内容");
    case KeptReason::Refused:
        return QStringLiteral("那一格不能单独修改");
    }
    return {};
}

QString placeText(const PendingChange& change)
{
    QString text = cellAddress(change.sheet, change.row, change.column);
    if (!change.anchor.keys.empty())
        text += QStringLiteral("（%1）").arg(change.anchor.keyText());
    return text;
}

QString valueText(const CellContent& value)
{
    if (const double* number = std::get_if<double>(&value))
        return QString::number(*number, 'g', 15);
    const QString& text = std::get<QString>(value);
    return text.isEmpty() ? QStringLiteral("清空") : QStringLiteral("“%1”").arg(text);
}

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

QString reloadReport(int rewritten, const std::vector<KeptChange>& kept, const QString& fileName)
{
    QString text = QStringLiteral("%1已被其他程序修改，已重新读取；").arg(fileName);
    if (rewritten > 0 || kept.empty())
        text += QStringLiteral("\r\n本程序尚未保存的%1处修改已重新写入。").arg(rewritten);
    if (kept.empty())
        return text;
    text += QStringLiteral("\r\n另有%1处修改没有写入，仍由本程序保留：").arg(kept.size());
    std::map<KeptReason, QStringList> byReason;
    for (const KeptChange& change : kept)
        byReason[change.reason] << placeText(change.change);
    for (const auto& [reason, places] : byReason) {
        QStringList listed = places.mid(0, kListedAddresses);
        if (places.size() > kListedAddresses)
            listed << QStringLiteral("等");
        text += QStringLiteral("\r\n%1处%2：%3")
                    .arg(places.size())
                    .arg(reasonText(reason), listed.join(QStringLiteral("、")));
    }
    return text;
}

QString unplacedReport(const std::vector<KeptChange>& kept, const QString& fileName)
{
    QString text =
        QStringLiteral("以下%1处修改没能写入%2，请手动补记：").arg(kept.size()).arg(fileName);
    for (const KeptChange& change : kept) {
        text += QStringLiteral("\r\n%1 写入%2（%3）")
                    .arg(placeText(change.change), valueText(change.change.value),
                         reasonText(change.reason));
    }
    return text;
}

} // namespace zelvano
