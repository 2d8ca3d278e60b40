#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPoint>
#include <QTest>
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

// Clicks the shown button `objectName` of `parent` (a panel's "cmdOk1").
inline void click(QWidget* parent, const char* objectName)
{
    auto* button = parent->findChild<QAbstractButton*>(QLatin1String(objectName));
    QVERIFY2(button && button->isVisible(), objectName);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Types `text` over what a box holds and commits it with Enter.
inline void enter(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace zelvano::testing
