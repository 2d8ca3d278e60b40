#include "rollbook/ops/CellAnchor.h"

#include <QStringList>

#include <algorithm>

namespace zelvano
{

namespace
{

bool holdsKeys(const CellAnchor& anchor, int row, const SheetCellReader& cells)
{
    for (const auto& [column, text] : anchor.keys) {
        if (QString::fromStdString(xls::trimmedText(cells(row, column))) != text)
            return false;
    }
    return true;
}

} // namespace

QString columnLetters(int column)
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

CellAnchor CellAnchor::address()
{
    return {};
}

CellAnchor CellAnchor::rowHolding(std::vector<std::pair<int, QString>> keys, int firstRow,
                                  int lastRow)
{
    CellAnchor anchor;
    anchor.keys = std::move(keys);
    for (auto& key : anchor.keys)
        key.second = key.second.trimmed();
    anchor.firstRow = firstRow;
    anchor.lastRow = lastRow;
    return anchor;
}

CellAnchor CellAnchor::emptyHeader()
{
    CellAnchor anchor;
    anchor.onlyIntoEmpty = true;
    return anchor;
}

QString CellAnchor::keyText() const
{
    QStringList parts;
    for (const auto& key : keys)
        parts << key.second;
    return parts.join(QLatin1Char(' '));
}

AnchoredRow findAnchoredRow(const CellAnchor& anchor, int row, const SheetCellReader& cells,
                            int lastUsedRow)
{
    if (anchor.keys.empty() || holdsKeys(anchor, row, cells))
        return {AnchoredRow::Match::Same, row};
    AnchoredRow found;
    const int last = std::min(anchor.lastRow, lastUsedRow);
    for (int r = anchor.firstRow; r <= last; ++r) {
        if (r == row || !holdsKeys(anchor, r, cells))
            continue;
        // Two rows with the same person or prize: neither is surely ours.
        if (found.match == AnchoredRow::Match::Moved)
            return {AnchoredRow::Match::Ambiguous, 0};
        found = {AnchoredRow::Match::Moved, r};
    }
    return found;
}

QString cellAddress(const QString& sheet, int row, int column)
{
    return sheet + QLatin1Char('!') + columnLetters(column) + QString::number(row);
}

} // namespace zelvano
