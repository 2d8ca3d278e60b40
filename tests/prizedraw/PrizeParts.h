#pragma once

// The prize window's parts as a person finds them on screen: by their
// names, not through accessors of the window.

#include "prizedraw/FrmDjYh.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

namespace zelvano::testing
{

template <typename T> T* namedPart(const QWidget* w, const QString& name)
{
    T* part = w->findChild<T*>(name);
    if (!part)
        qFatal("the prize window has no part %s", qPrintable(name));
    return part;
}

inline QLabel* lblXm(const FrmDjYh* w)
{
    return namedPart<QLabel>(w, "lblXm");
}
inline QLabel* lblXm2(const FrmDjYh* w)
{
    return namedPart<QLabel>(w, "lblXm2");
}
inline QLabel* imgJp(const FrmDjYh* w)
{
    return namedPart<QLabel>(w, "imgJp");
}
inline QLabel* lblXx(const FrmDjYh* w)
{
    return namedPart<QLabel>(w, "lblXx");
}
inline QFrame* fraJp(const FrmDjYh* w)
{
    return namedPart<QFrame>(w, "fraJp");
}
inline QFrame* fraTs(const FrmDjYh* w)
{
    return namedPart<QFrame>(w, "fraTs");
}
inline QFrame* FraTs2(const FrmDjYh* w)
{
    return namedPart<QFrame>(w, "FraTs2");
}
inline QFrame* FraLine(const FrmDjYh* w)
{
    return namedPart<QFrame>(w, "FraLine");
}
inline QListWidget* lstJp(const FrmDjYh* w)
{
    return namedPart<QListWidget>(w, "lstJp");
}
inline QListWidget* lstMd(const FrmDjYh* w)
{
    return namedPart<QListWidget>(w, "lstMd");
}
inline QListWidget* lstHj(const FrmDjYh* w)
{
    return namedPart<QListWidget>(w, "lstHj");
}
inline QComboBox* cmbMd(const FrmDjYh* w)
{
    return namedPart<QComboBox>(w, "cmbMd");
}
inline QCheckBox* chkMd(const FrmDjYh* w)
{
    return namedPart<QCheckBox>(w, "chkMd");
}
inline QToolButton* imgOk(const FrmDjYh* w)
{
    return namedPart<QToolButton>(w, "imgOk");
}

// The list panel's "确定" and "×".
inline QPushButton* okButton(const FrmDjYh* w)
{
    return namedPart<QPushButton>(w, "cmdOk_0");
}
inline QToolButton* closeButton(const FrmDjYh* w)
{
    return namedPart<QToolButton>(w, "lblClose_0");
}

// "名单设置" item `i`: 0 "获奖等级", 1 "选择名单", 2 "摇奖" ... 8 "返回主页".
inline QAction* MnSz(const FrmDjYh* w, int i)
{
    return namedPart<QAction>(w, QStringLiteral("MnSz_%1").arg(i));
}
// Item `i` of the submenu of "名单设置" item `item`, null beyond its end.
inline QAction* subItem(const FrmDjYh* w, int item, int i)
{
    const QList<QAction*> items = MnSz(w, item)->menu()->actions();
    return i >= 0 && i < items.size() ? items.at(i) : nullptr;
}
inline QAction* MnDj(const FrmDjYh* w, int i)
{
    return subItem(w, 0, i);
}
inline QAction* MnMd(const FrmDjYh* w, int i)
{
    return subItem(w, 1, i);
}
// The menu bar's menus: 0 "名单设置", 1 "格式".
inline QMenu* topMenu(const FrmDjYh* w, int i)
{
    return w->menuBar()->actions().at(i)->menu();
}

// The choice menu a click popped up (0 "获奖等级", 1 "选择名单"), -1 for
// none; the menu is closed again.
inline int poppedUpMenu(const FrmDjYh* w)
{
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup)
        return -1;
    const int shown = popup == MnSz(w, 0)->menu() ? 0 : popup == MnSz(w, 1)->menu() ? 1 : 2;
    popup->close();
    return shown;
}

} // namespace zelvano::testing
