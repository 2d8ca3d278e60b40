#include "rollbook/ops/TakeBackRecord.h"

#include <variant>

namespace zelvano
{

bool cellHolds(const xls::CellValue& cell, const CellContent& written)
{
    if (const double* number = std::get_if<double>(&written))
        return cell.type == xls::CellValue::Type::Number && cell.number == *number;
    const QString& text = std::get<QString>(written);
    if (text.isEmpty())
        return cell.isEmpty() || (cell.type == xls::CellValue::Type::Text && cell.text.empty());
    return cell.type == xls::CellValue::Type::Text && QString::fromStdString(cell.text) == text;
}

CellContent restoringContent(const xls::CellValue& before)
{
    switch (before.type) {
    case xls::CellValue::Type::Empty:
        return QString();
    case xls::CellValue::Type::Number:
        return before.number;
    case xls::CellValue::Type::Text:
        return QString::fromStdString(before.text);
    case xls::CellValue::Type::Boolean:
    case xls::CellValue::Type::Error:
        break;
    }
    return QString::fromStdString(before.toText());
}

TakeBackRecord::TakeBackRecord(std::shared_ptr<RecordCommand> original)
    : m_original(std::move(original))
{
}

QString TakeBackRecord::sheet() const
{
    return m_original->applied().sheet;
}

RecordPlan TakeBackRecord::plan(const SheetCellReader& cells, int lastRow)
{
    m_changedRow = 0;
    m_changedColumn = 0;
    RecordPlan plan;
    for (const CellChange& change : m_original->applied().cells) {
        const AnchoredRow found = findAnchoredRow(change.anchor, change.row, cells, lastRow);
        if (found.match == AnchoredRow::Match::Gone ||
            found.match == AnchoredRow::Match::Ambiguous) {
            return {{}, true, false};
        }
        if (!cellHolds(cells(found.row, change.column), change.after)) {
            m_changedRow = found.row;
            m_changedColumn = change.column;
            return {{}, false, true};
        }
        // The cell now holds our value, so an anchor that writes only into
        // an empty header would refuse the very restore.
        CellAnchor anchor = change.anchor;
        anchor.onlyIntoEmpty = false;
        plan.cells.push_back({found.row, change.column, restoringContent(change.before), anchor});
    }
    return plan;
}

RecordNotice TakeBackRecord::goneNotice(const QString& /*rollBookName*/) const
{
    if (m_changedRow > 0) {
        return {
            QStringLiteral("点名册中%1已被改动，不再是本程序写入的内容，"
                           "没有撤销，点名册保持原样。\r\n（%2）")
                .arg(cellAddress(sheet(), m_changedRow, m_changedColumn), m_original->handText()),
            QStringLiteral("警告")};
    }
    return {QStringLiteral("点名册中找不到原来那一行，没有撤销，点名册保持原样。\r\n（%1）")
                .arg(m_original->handText()),
            QStringLiteral("警告")};
}

QString TakeBackRecord::handText() const
{
    return QStringLiteral("撤销：") + m_original->handText();
}

} // namespace zelvano
