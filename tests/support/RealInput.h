#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QPoint>
#include <QWidget>

namespace zelvano::testing
{

// A point inside `widget` that none of its visible children covers: its bare
// background, where a person clicks "beside" everything. Null when there is
// none.
inline QPoint bareSpot(const QWidget* widget)
{
    for (int y = widget->height() - 4; y > 0; y -= 13) {
        for (int x = 4; x < widget->width(); x += 17) {
            if (!widget->childAt(x, y))
                return {x, y};
        }
    }
    return {};
}

// What a real modal message box does to the box that had the focus: the
// window loses activation, so the box sees a focus-out while the message is
// up.
inline void loseFocusToMessageBox()
{
    if (QWidget* focused = QApplication::focusWidget()) {
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(focused, &out);
    }
}

} // namespace zelvano::testing
