#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;

namespace zelvano
{

namespace xls
{
class Workbook;
}

// Shows the roll book to the teacher: one worksheet at a time as a grid,
// with a choice of sheet. It reads the window's own workbook, so what it
// shows is what the window will write to.
class RollBookViewer : public QWidget
{
    Q_OBJECT
public:
    explicit RollBookViewer(QWidget* parent = nullptr);

    // Shows worksheet `index` of `workbook` and brings the viewer forward.
    void showSheet(const xls::Workbook& workbook, int index);

    QTableWidget* grid() const { return m_grid; }
    QComboBox* sheetChoice() const { return m_sheets; }

private:
    void fill(int index);

    const xls::Workbook* m_workbook = nullptr;
    QComboBox* m_sheets = nullptr;
    QLabel* m_note = nullptr;
    QTableWidget* m_grid = nullptr;
};

} // namespace zelvano
