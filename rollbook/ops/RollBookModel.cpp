#include "rollbook/ops/RollBookModel.h"

#include "rollbook/Workbook.h"
#include "rollbook/ops/RollBookSession.h"

#include <algorithm>

namespace zelvano
{

namespace
{

// Room to type beyond the last filled cell, within the format's limits.
constexpr int kSpareRows = 20;
constexpr int kSpareColumns = 5;
constexpr int kMaxRows = 65536;
constexpr int kMaxColumns = 256;

} // namespace

QString columnLetters(int column)
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

RollBookModel::RollBookModel(RollBookSession& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session)
{
}

void RollBookModel::setSheet(int sheet)
{
    beginResetModel();
    m_sheet = sheet;
    measure();
    endResetModel();
}

void RollBookModel::refresh()
{
    setSheet(m_sheet);
}

void RollBookModel::measure()
{
    int rows = 0;
    int columns = 0;
    const xls::Workbook* workbook = m_session.workbook();
    if (workbook && m_sheet >= 0 && m_sheet < m_session.worksheetCount()) {
        workbook->forEachCell(static_cast<std::size_t>(m_sheet),
                              [&](int row, int column, const xls::CellValue&) {
                                  rows = std::max(rows, row);
                                  columns = std::max(columns, column);
                              });
    }
    m_rows = std::min(rows + kSpareRows, kMaxRows);
    m_columns = std::min(std::max(columns + kSpareColumns, 10), kMaxColumns);
}

int RollBookModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RollBookModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RollBookModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const xls::CellValue value = m_session.cellAt(m_sheet, index.row() + 1, index.column() + 1);
        return QString::fromStdString(value.toText());
    }
    if (role == Qt::TextAlignmentRole) {
        const xls::CellValue value = m_session.cellAt(m_sheet, index.row() + 1, index.column() + 1);
        if (value.type == xls::CellValue::Type::Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

bool RollBookModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString typed = value.toString();
    const QString before = data(index, Qt::EditRole).toString();
    if (typed == before)
        return false;
    const bool saved = m_session.editCell(m_sheet, index.row() + 1, index.column() + 1, typed);
    emit dataChanged(index, index);
    return saved;
}

Qt::ItemFlags RollBookModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant RollBookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(columnLetters(section + 1))
                                         : QVariant(section + 1);
}

} // namespace zelvano
