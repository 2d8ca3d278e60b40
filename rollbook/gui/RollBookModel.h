#pragma once

#include "rollbook/ops/CellAnchor.h"
#include "rollbook/ops/RecordCommand.h"

#include <QAbstractTableModel>
#include <QSize>

#include <memory>
#include <vector>

namespace zelvano
{

class RollBookSession;

// One worksheet of the roll book as a grid, read straight from the
// window's workbook (nothing is copied, so a 30-class roll book opens at
// once) and edited through it: every edit is saved at once by the session,
// under the same rules as the program's own writes, and Ctrl+Z takes it back.
class RollBookModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit RollBookModel(RollBookSession& session, QObject* parent = nullptr);

    void setSheet(int sheet);
    int sheet() const { return m_sheet; }
    // Reads the workbook again after it changed (a save, or a file another
    // program saved): the same sheet, found by its name, keeps its rows and
    // columns, so the view keeps its place and an open editor; the grid only
    // grows. A sheet that is gone gives way to the first one.
    void refresh();
    // Takes the last edit made here back, by the rule a score is taken back
    // with: only while the cell still holds what was typed. False when
    // there was none, or it could not be taken back (told).
    bool takeBackLastEdit();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QSize measure() const;

    RollBookSession& m_session;
    int m_sheet = -1;
    QString m_sheetName;
    // A sheet whose cells cannot be read shows empty and takes no edits.
    bool m_readable = false;
    int m_rows = 0;
    int m_columns = 0;
    // The edits made here, oldest first, while they may be taken back.
    std::vector<std::shared_ptr<RecordCommand>> m_edits;
};

} // namespace zelvano
