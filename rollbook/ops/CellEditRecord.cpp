#include "rollbook/ops/CellEditRecord.h"

#include "shell/core/Numbers.h"

#include <variant>

namespace zelvano
{

CellContent typedContent(const QString& typed)
{
    const QString text = typed.trimmed();
    return isNumeric(text) ? CellContent(Val(text)) : CellContent(typed);
}

CellEditRecord::CellEditRecord(QString sheet, int row, int column, const QString& typed)
    : m_sheet(std::move(sheet)), m_row(row), m_column(column), m_value(typedContent(typed))
{
}

RecordPlan CellEditRecord::plan(const SheetCellReader& /*cells*/, int /*lastRow*/)
{
    // The address alone says what the cell is.
    return {{{m_row, m_column, m_value, CellAnchor::address()}}, false, false};
}

RecordNotice CellEditRecord::goneNotice(const QString& /*rollBookName*/) const
{
    // An address is never gone; only a take-back meets a changed cell.
    return {QStringLiteral("点名册中%1没有改动。").arg(cellAddress(m_sheet, m_row, m_column)),
            QStringLiteral("警告")};
}

QString CellEditRecord::handText() const
{
    const QString value = std::holds_alternative<double>(m_value)
                              ? numberText(std::get<double>(m_value))
                              : std::get<QString>(m_value);
    return QStringLiteral("%1 改为“%2”").arg(cellAddress(m_sheet, m_row, m_column), value);
}

} // namespace zelvano
