// How a monkey answers the menus and drop-down lists its inputs open: an
// item picked with the arrow keys and Enter, or Escape.
#include "Monkey.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>

namespace zelvano::testing
{

void Monkey::answerOnePopUp()
{
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup)
        return;
    if (auto* menu = qobject_cast<QMenu*>(popup))
        answerMenu(menu);
    else
        answerList(popup);
}

void Monkey::answerPopUps()
{
    for (int guard = 0; guard < 40 && m_failure.isEmpty(); ++guard) {
        if (!QApplication::activePopupWidget())
            return;
        answerOnePopUp();
    }
    // A person gives up and clicks elsewhere: every pop-up closes.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    flushPosted();
}

void Monkey::answerMenu(QMenu* menu)
{
    QList<QAction*> items;
    for (QAction* action : menu->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator() &&
            !isLeftOut(action))
            items << action;
    }
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::PopUp;
    step.widget = menu;
    if (!items.isEmpty() && !chance(0.2))
        step.action = items.at(below(int(items.size())));
    QPointer<QMenu> open(menu);
    perform(step, [&] {
        if (!step.action) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        // Walk down to the item as a person does with the arrow keys.
        for (int i = 0; i <= menu->actions().size() && open && menu->activeAction() != step.action;
             ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        if (!open)
            return;
        if (menu->activeAction() != step.action) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        QTest::keyClick(menu, step.action->menu() ? Qt::Key_Right : Qt::Key_Return);
    });
    // A menu that ignored its keys is closed, as a click elsewhere would.
    if (open && open->isVisible() && QApplication::activePopupWidget() == open && !step.action)
        open->close();
}

void Monkey::answerList(QWidget* popup)
{
    auto* view = popup->findChild<QAbstractItemView*>();
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::PopUp;
    step.widget = view ? static_cast<QWidget*>(view) : popup;
    const int rows = view && view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
    const int moves = rows > 0 && !chance(0.2) ? below(rows) : -1;
    step.name = moves < 0 ? QStringLiteral("Escape") : QStringLiteral("%1 down").arg(moves);
    QPointer<QWidget> open(popup);
    perform(step, [&] {
        QWidget* to = step.widget;
        if (moves < 0) {
            QTest::keyClick(to, Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < moves && open; ++i)
            QTest::keyClick(to, i % 7 == 6 ? Qt::Key_Up : Qt::Key_Down);
        if (open)
            QTest::keyClick(to, Qt::Key_Return);
    });
    if (open && QApplication::activePopupWidget() == open)
        open->close();
}

} // namespace zelvano::testing
