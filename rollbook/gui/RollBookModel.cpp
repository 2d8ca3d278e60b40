#include "rollbook/gui/RollBookModel.h"

#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"
#include "rollbook/gui/RollBookSession.h"

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

RollBookModel::RollBookModel(RollBookSession& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session)
{
}

void RollBookModel::setSheet(int sheet)
{
    beginResetModel();
    m_sheet = sheet;
    const xls::Workbook* workbook = m_session.workbook();
    m_sheetName = workbook && sheet >= 0 && sheet < m_session.worksheetCount()
                      ? QString::fromStdString(workbook->worksheetNames()[size_t(sheet)])
                      : QString();
    m_readable = m_session.sheetReadable(sheet);
    const QSize extent = measure();
    m_rows = extent.height();
    m_columns = extent.width();
    endResetModel();
}

void RollBookModel::refresh()
{
    const int now = m_session.openWorksheetIndex(m_sheetName);
    if (now < 0 || !m_session.sheetReadable(now) || !m_readable) {
        setSheet(std::max(now, 0));
        return;
    }
    // A reset here would throw away the current cell, the scroll position
    // and the editor that is committing the edit that led to this refresh.
    m_sheet = now;
    const QSize extent = measure();
    if (extent.height() > m_rows) {
        beginInsertRows({}, m_rows, extent.height() - 1);
        m_rows = extent.height();
        endInsertRows();
    }
    if (extent.width() > m_columns) {
        beginInsertColumns({}, m_columns, extent.width() - 1);
        m_columns = extent.width();
        endInsertColumns();
    }
    if (m_rows > 0 && m_columns > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
}

QSize RollBookModel::measure() const
{
    int rows = 0;
    int columns = 0;
    const xls::Workbook* workbook = m_session.workbook();
    if (workbook && m_readable) {
        try {
            workbook->forEachCell(static_cast<std::size_t>(m_sheet),
                                  [&](int row, int column, const xls::CellValue&) {
                                      rows = std::max(rows, row);
                                      columns = std::max(columns, column);
                                  });
        } catch (const xls::XlsError&) {
            // Read as far as it goes; the cells themselves read empty.
        }
    }
    return {std::min(std::max(columns + kSpareColumns, 10), kMaxColumns),
            std::min(rows + kSpareRows, kMaxRows)};
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
    auto edit = m_session.editCell(m_sheetName, index.row() + 1, index.column() + 1, typed);
    emit dataChanged(index, index);
    if (!edit)
        return false;
    m_edits.push_back(std::move(edit));
    return true;
}

bool RollBookModel::takeBackLastEdit()
{
    if (m_edits.empty())
        return false;
    const RecordOutcome outcome = m_session.book().takeBack(m_edits.back());
    // Taken back, or refused and told (the cell changed since): never again.
    // Unreachable, the edit stays for another try.
    if (outcome.status != RecordStatus::Unreachable)
        m_edits.pop_back();
    // A failed save keeps the take-back waiting for the next access.
    m_session.commit(outcome);
    if (outcome.status != RecordStatus::Written)
        return false;
    refresh();
    return true;
}

Qt::ItemFlags RollBookModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return m_readable ? flags | Qt::ItemIsEditable : flags;
}

QVariant RollBookModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(columnLetters(section + 1))
                                         : QVariant(section + 1);
}

} // namespace zelvano
