#include "presentation/parts/ResultLabel.h"

#include <QAccessible>
#include <QLabel>

#include <algorithm>

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

void fitLabelText(QLabel* label, const QFont& font, int width, int height,
                  double minimumPointSize)
{
    width = std::max(width, 1);
    QFont current = font;
    for (;;) {
        label->setFont(current);
        label->setWordWrap(false);
        label->adjustSize();
        if (label->width() > width) {
            label->setWordWrap(true);
            label->resize(width, label->heightForWidth(width));
        }
        const bool fits = label->width() <= width && label->height() <= height;
        if (fits || current.pointSizeF() <= minimumPointSize)
            return;
        current.setPointSizeF(std::max(minimumPointSize, current.pointSizeF() * 0.9));
    }
}

} // namespace zelvano
