#pragma once

#include <QWidget>

class QTabBar;
class QTableView;

namespace zelvano
{

class RollBookModel;
class RollBookSession;

// What the teacher sees for "点名册": the roll book as a spreadsheet would
// show it, with sheet tabs in workbook order, row numbers and column letters,
// the two title rows frozen above the list, and cells that can be edited.
// It reads and writes the window's own workbook, so a score written by the
// program and an edit by the teacher never overwrite each other. It belongs
// to the window that opened it and closes with it.
class RollBookViewer : public QWidget
{
    Q_OBJECT
public:
    explicit RollBookViewer(RollBookSession& session, QWidget* parent = nullptr);
    ~RollBookViewer() override;

    // Shows worksheet `index` and brings the viewer forward.
    void showSheet(int index);
    // Reads the workbook again (after a save or a reload).
    void refresh();

    QTabBar* sheetTabs() const { return m_tabs; }
    QTableView* grid() const { return m_grid; }
    QTableView* frozenRows() const { return m_frozen; }
    RollBookModel* model() const { return m_model; }

    static constexpr int kFrozenRows = 2;

private:
    void fillTabs();
    void applyFreeze();

    RollBookSession& m_session;
    RollBookModel* m_model = nullptr;
    QTabBar* m_tabs = nullptr;
    QTableView* m_frozen = nullptr;
    QTableView* m_grid = nullptr;
};

} // namespace zelvano
