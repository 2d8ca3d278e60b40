#include "rollbook/gui/RollBookViewer.h"

#include "rollbook/Workbook.h"
#include "rollbook/gui/RollBookModel.h"
#include "rollbook/gui/RollBookSession.h"
#include "shell/gui/Fonts.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>

#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace zelvano
{

namespace
{

// A stray key never changes the roll book: a cell is opened only on
// purpose, by a double click, F2 or Enter; Enter commits and Esc cancels.
class RollBookGrid final : public QTableView
{
public:
    using QTableView::QTableView;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && event->modifiers() == Qt::NoModifier && state() != EditingState &&
            currentIndex().isValid() && edit(currentIndex(), EditKeyPressed, event)) {
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
    }
};

QTableView* makeGridView(RollBookModel* model, QWidget* parent)
{
    auto* view = new RollBookGrid(parent);
    view->setModel(model);
    view->setAlternatingRowColors(false);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->horizontalHeader()->setDefaultSectionSize(90);
    view->verticalHeader()->setDefaultSectionSize(26);
    view->verticalHeader()->setFixedWidth(52);
    return view;
}

} // namespace

RollBookViewer::RollBookViewer(RollBookSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session)
{
    // The full path tells the teacher where the file is kept.
    setWindowTitle(QDir::toNativeSeparators(session.rollBookPath()));
    setFont(songFont(11));
    resize(960, 640);

    m_model = new RollBookModel(session, this);
    m_frozen = makeGridView(m_model, this);
    m_frozen->setAccessibleName(QStringLiteral("标题行"));
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid = makeGridView(m_model, this);
    m_grid->setAccessibleName(QStringLiteral("点名册"));
    m_grid->horizontalHeader()->hide();
    m_tabs = new QTabBar(this);
    m_tabs->setAccessibleName(QStringLiteral("工作表"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(m_frozen);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_tabs);

    // The frozen rows scroll sideways with the list and keep its widths.
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_frozen->horizontalScrollBar(), &QScrollBar::setValue);
    connect(m_frozen->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { m_grid->setColumnWidth(column, size); });
    // Ctrl+Z takes the last edit back; inside an open cell it undoes typing.
    auto* takeBack = new QAction(QStringLiteral("撤销上次修改"), this);
    takeBack->setShortcut(QKeySequence::Undo);
    connect(takeBack, &QAction::triggered, this, [this] { m_model->takeBackLastEdit(); });
    addAction(takeBack);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index != m_model->sheet()) {
            m_model->setSheet(index);
            applyFreeze();
        }
    });
}

RollBookViewer::~RollBookViewer() = default;

void RollBookViewer::fillTabs()
{
    const QSignalBlocker quiet(m_tabs);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    // Straight from the workbook: reading the names must not open or save.
    if (const xls::Workbook* workbook = m_session.workbook()) {
        for (const std::string& name : workbook->worksheetNames())
            m_tabs->addTab(QString::fromStdString(name));
    }
}

void RollBookViewer::applyFreeze()
{
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const bool frozen = row < kFrozenRows;
        m_frozen->setRowHidden(row, !frozen);
        m_grid->setRowHidden(row, frozen);
    }
    // The title in row 1 runs on over the empty cells to its right, as in a
    // spreadsheet; the header row keeps every cell reachable for a new date.
    m_frozen->clearSpans();
    const int columns = m_model->columnCount();
    for (int row = 0; row < std::min(1, rows); ++row) {
        int column = 0;
        while (column < columns) {
            int next = column + 1;
            while (next < columns && m_model->index(row, next).data().toString().isEmpty())
                ++next;
            const bool filled = !m_model->index(row, column).data().toString().isEmpty();
            if (filled && next - column > 1)
                m_frozen->setSpan(row, column, 1, next - column);
            column = next;
        }
    }
    const int height =
        m_frozen->horizontalHeader()->height() + kFrozenRows * m_frozen->rowHeight(0) + 4;
    m_frozen->setFixedHeight(height);
    for (int column = 0; column < m_model->columnCount(); ++column)
        m_grid->setColumnWidth(column, m_frozen->columnWidth(column));
}

void RollBookViewer::showSheet(int index)
{
    fillTabs();
    m_tabs->setCurrentIndex(index);
    m_model->setSheet(index);
    applyFreeze();
    show();
    raise();
    activateWindow();
}

void RollBookViewer::refresh()
{
    m_model->refresh();
    fillTabs();
    m_tabs->setCurrentIndex(m_model->sheet());
    applyFreeze();
}

} // namespace zelvano
