#pragma once
// The number window's controls as a person or a screen reader finds them,
// so the window needs no getters for its tests.

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

namespace zelvano::testing
{

// The window's controls as a person or a screen reader finds them: by their
// accessible or object names, a setup panel by its "确定" button.
template <typename T> T* part(QWidget* window, const QString& name)
{
    for (T* widget : window->findChildren<T*>()) {
        if (widget->objectName() == name || widget->accessibleName() == name)
            return widget;
    }
    return nullptr;
}

inline QListWidget* valueList(QWidget* w)
{
    return part<QListWidget>(w, QStringLiteral("号码列表"));
}
inline QListWidget* groupList(QWidget* w)
{
    return part<QListWidget>(w, QStringLiteral("List2"));
}
inline QListWidget* memberList(QWidget* w)
{
    return part<QListWidget>(w, QStringLiteral("List1"));
}
inline QLineEdit* addBox(QWidget* w)
{
    return part<QLineEdit>(w, QStringLiteral("添加值"));
}
inline QLineEdit* groupBox(QWidget* w, int i)
{
    return part<QLineEdit>(w, i == 0 ? QStringLiteral("规定组数") : QStringLiteral("每组人数"));
}
inline QComboBox* compositionBox(QWidget* w)
{
    return part<QComboBox>(w, QStringLiteral("组合方式"));
}
inline QLabel* chosenLine(QWidget* w)
{
    return part<QLabel>(w, QStringLiteral("LabCz"));
}
inline QLabel* summaryLine(QWidget* w)
{
    return part<QLabel>(w, QStringLiteral("LabXx"));
}
inline QFrame* panelOf(QWidget* w, int i)
{
    return qobject_cast<QFrame*>(
        part<QPushButton>(w, QStringLiteral("cmdOk%1").arg(i))->parentWidget());
}
inline QToolButton* groupButton(QWidget* w, int i)
{
    return part<QToolButton>(w, i == 0 ? QStringLiteral("随机分组") : QStringLiteral("顺序分组"));
}
inline QAction* topMenu(QMainWindow* w, int i)
{
    return w->menuBar()->actions().at(i);
}

} // namespace zelvano::testing
