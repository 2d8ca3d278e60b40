#include "rollbook/ops/RollBookViewer.h"

#include "rollbook/Workbook.h"
#include "shell/gui/Fonts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvano
{

namespace
{

// Column letters as the spreadsheet names them: A..Z, AA..IV.
QString columnName(int column)
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

} // namespace

RollBookViewer::RollBookViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("点名册.xls"));
    setFont(songFont(11));
    resize(900, 600);

    m_sheets = new QComboBox(this);
    m_sheets->setAccessibleName(QStringLiteral("工作表"));
    m_note = new QLabel(QStringLiteral("工作表"), this);
    m_grid = new QTableWidget(this);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAccessibleName(QStringLiteral("点名册"));

    auto* top = new QHBoxLayout;
    top->addWidget(m_note);
    top->addWidget(m_sheets, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    connect(m_sheets, &QComboBox::activated, this, &RollBookViewer::fill);
}

void RollBookViewer::showSheet(const xls::Workbook& workbook, int index)
{
    m_workbook = &workbook;
    m_sheets->clear();
    for (const std::string& name : workbook.worksheetNames())
        m_sheets->addItem(QString::fromStdString(name));
    m_sheets->setCurrentIndex(index);
    fill(index);
    show();
    raise();
    activateWindow();
}

void RollBookViewer::fill(int index)
{
    m_grid->clear();
    if (!m_workbook || index < 0 || index >= static_cast<int>(m_workbook->worksheetCount()))
        return;
    int rows = 0;
    int columns = 0;
    m_workbook->forEachCell(static_cast<std::size_t>(index),
                            [&](int row, int column, const xls::CellValue&) {
                                rows = std::max(rows, row);
                                columns = std::max(columns, column);
                            });
    m_grid->setRowCount(rows);
    m_grid->setColumnCount(columns);
    QStringList headers;
    for (int c = 1; c <= columns; ++c)
        headers << columnName(c);
    m_grid->setHorizontalHeaderLabels(headers);
    m_workbook->forEachCell(
        static_cast<std::size_t>(index), [&](int row, int column, const xls::CellValue& value) {
            auto* item = new QTableWidgetItem(QString::fromStdString(value.toText()));
            if (value.type == xls::CellValue::Type::Number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(row - 1, column - 1, item);
        });
    m_grid->resizeColumnsToContents();
}

} // namespace zelvano
