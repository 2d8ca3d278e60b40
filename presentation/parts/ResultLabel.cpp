#include "presentation/parts/ResultLabel.h"

#include <QAccessible>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace zelvano
{

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

void fitLabelText(QLabel* label, const QFont& font, int width, int height, double minimumPointSize)
{
    width = std::max(width, 1);
    const auto fitsAt = [&](double points) {
        QFont current = font;
        current.setPointSizeF(points);
        label->setFont(current);
        label->setWordWrap(false);
        label->adjustSize();
        if (label->width() > width) {
            label->setWordWrap(true);
            label->resize(width, label->heightForWidth(width));
        }
        return label->width() <= width && label->height() <= height;
    };
    const double wanted = font.pointSizeF();
    if (wanted <= minimumPointSize || fitsAt(wanted))
        return;
    // The largest whole size that fits: a larger wish never shows a smaller
    // text, so stepping the size up at the limit cannot shrink it.
    int low = static_cast<int>(std::ceil(minimumPointSize));
    int high = static_cast<int>(std::ceil(wanted)) - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (fitsAt(middle))
            low = middle;
        else
            high = middle - 1;
    }
    fitsAt(std::max<double>(low, minimumPointSize));
}

} // namespace zelvano
