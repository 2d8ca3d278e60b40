#pragma once

#include "classroom/logic/PastedClass.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace zelvano
{

// "新建班级": the teacher pastes a list of names, sees who the class will
// be (numbered 1..N, duplicates and empty lines marked and counted), names
// the class, and the roll book gets its sheet. The dialog decides nothing
// about the file: `create` makes the sheet, and the dialog closes only when
// it did, so a failed save leaves the list here to try again.
class NewClassDialog : public QDialog
{
    Q_OBJECT

public:
    // Makes the class sheet; true when the roll book holds it.
    using Create = std::function<bool(const QString& className, const QStringList& names)>;

    NewClassDialog(QStringList sheets, Create create, QWidget* parent);

private:
    void buildControls();
    void refresh();
    void showPreview();
    void cmdJl_Click();

    QStringList m_sheets;
    Create m_create;
    PastedClass m_pasted;
    QPlainTextEdit* m_list = nullptr;
    QTableWidget* m_preview = nullptr;
    QLabel* m_count = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace zelvano
