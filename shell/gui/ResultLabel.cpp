#include "shell/gui/ResultLabel.h"

#include <QAccessible>
#include <QLabel>

namespace zelvano {

void makeResultLabel(QLabel* label)
{
    label->setAccessibleName(QString());
    label->setAccessibleDescription(label->objectName());
}

void announceResult(QLabel* label)
{
    if (!label->isVisible() || label->text().isEmpty())
        return;
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace zelvano
