#pragma once

#include <QAbstractTableModel>

namespace zelvano
{

class RollBookSession;

// One worksheet of the roll book as a grid, read straight from the
// window's workbook (nothing is copied, so a 30-class roll book opens at
// once) and edited through it: every edit is saved at once by the session,
// under the same rules as the program's own writes.
class RollBookModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RollBookModel(RollBookSession& session, QObject* parent = nullptr);

    void setSheet(int sheet);
    int sheet() const { return m_sheet; }
    // Reads the sheet's extent again after the workbook changed.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void measure();

    RollBookSession& m_session;
    int m_sheet = -1;
    int m_rows = 0;
    int m_columns = 0;
};

// Column letters as the spreadsheet names them: 1 -> A, 27 -> AA, 256 -> IV.
QString columnLetters(int column);

} // namespace zelvano
