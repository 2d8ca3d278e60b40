#include "classroom/FrmKtHd.h"

#include "classroom/NewClassDialog.h"
#include "classroom/logic/PastedClass.h"
#include "rollbook/gui/RollBookSession.h"

#include <QComboBox>

namespace zelvano
{

void FrmKtHd::MnXjBj_Click()
{
    // One list at a time: a second call brings the open one forward.
    auto* dialog = findChild<NewClassDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        const auto sheets = m_rollBook->worksheetNames();
        if (!sheets) {
            m_rollBook->reportDamaged();
            return;
        }
        dialog = new NewClassDialog(
            *sheets,
            [this](const QString& name, const QStringList& names) {
                return createClass(name, names);
            },
            this);
    }
    // Not modal: the lesson goes on while the teacher gathers the list.
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool FrmKtHd::createClass(const QString& className, const QStringList& names)
{
    if (m_rollBook->addClassSheet(className, classSheetCells(className, names)) < 0)
        return false;
    const auto sheets = m_rollBook->worksheetNames();
    if (!sheets || !m_session.setClasses(*sheets))
        return true; // told when the class list is read next
    showClassList();
    m_cmbBj->setCurrentIndex(m_session.classIndex());
    // The teacher made the class to call it: it is chosen as from the class menu.
    const std::vector<ClassEntry>& classes = m_session.classes();
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i].name == className)
            MnBj_Click(static_cast<int>(i));
    return true;
}

} // namespace zelvano
