// The inputs of a monkey's step: a click, press or double click somewhere
// on the window, a key, a menu of the bar, an item of a menu.
#include "Monkey.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <functional>

namespace zelvano::testing
{

namespace
{

// The keys a person hits without looking: navigation, entry, digits and
// letters, and the function keys the windows give their items.
const std::vector<Qt::Key>& plainKeys()
{
    static const std::vector<Qt::Key> keys = [] {
        std::vector<Qt::Key> k = {
            Qt::Key_Up,        Qt::Key_Down,   Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Return,
            Qt::Key_Enter,     Qt::Key_Tab,    Qt::Key_Tab,    Qt::Key_Escape, Qt::Key_Space,
            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home,   Qt::Key_End,    Qt::Key_PageUp,
            Qt::Key_PageDown,  Qt::Key_Minus,  Qt::Key_Period, Qt::Key_Comma};
        for (int d = Qt::Key_0; d <= Qt::Key_9; ++d)
            k.push_back(Qt::Key(d));
        for (int d = Qt::Key_0; d <= Qt::Key_9; ++d)
            k.push_back(Qt::Key(d)); // numbers are what the boxes take
        for (int c = Qt::Key_A; c <= Qt::Key_Z; ++c)
            k.push_back(Qt::Key(c));
        for (int f = Qt::Key_F1; f <= Qt::Key_F12; ++f)
            k.push_back(Qt::Key(f));
        return k;
    }();
    return keys;
}

// A point on a shown, enabled widget of the window; lists are clicked on
// their entries more often than beside them.
std::pair<QWidget*, QPoint> mouseSpot(Monkey& monkey, QWidget* window)
{
    QList<QWidget*> targets{window};
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isWindow() && child->isVisible() && child->isEnabled() &&
            child->window() == window && child->width() > 0 && child->height() > 0)
            targets << child;
    }
    QWidget* target = targets.at(monkey.below(int(targets.size())));
    QPoint local(monkey.below(target->width()), monkey.below(target->height()));
    if (auto* view = qobject_cast<QAbstractItemView*>(target->parentWidget());
        view && view->viewport() == target && view->model() && monkey.chance(0.7)) {
        std::vector<QRect> shown;
        const int rows = view->model()->rowCount(view->rootIndex());
        for (int row = 0; row < rows && shown.size() < 200; ++row) {
            const QRect rect = view->visualRect(view->model()->index(row, 0, view->rootIndex()));
            if (rect.intersects(target->rect()))
                shown.push_back(rect.intersected(target->rect()));
        }
        if (!shown.empty())
            local = shown[static_cast<size_t>(monkey.below(int(shown.size())))].center();
    }
    return {target, local};
}

// The press, release and double click of one mouse step; a right press
// also asks for a context menu, as the window system does.
void sendMouse(const MonkeyStep& step, QWidget* receiver, QPoint elsewhere)
{
    QPointer<QWidget> to(receiver);
    const auto contextMenu = [&] {
        if (to && step.button == Qt::RightButton) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, step.pos, to->mapToGlobal(step.pos));
            QApplication::sendEvent(to, &event);
        }
    };
    switch (step.kind) {
    case MonkeyStep::Kind::Click:
        QTest::mousePress(to, step.button, {}, step.pos);
        contextMenu();
        if (to)
            QTest::mouseRelease(to, step.button, {}, step.pos);
        break;
    case MonkeyStep::Kind::Press:
        // Pressed here, let go somewhere else (the release goes to the
        // widget that took the press).
        QTest::mousePress(to, step.button, {}, step.pos);
        contextMenu();
        if (to)
            QTest::mouseRelease(to, step.button, {}, elsewhere);
        break;
    default:
        QTest::mouseClick(to, step.button, {}, step.pos);
        if (to)
            QTest::mouseDClick(to, step.button, {}, step.pos);
        if (to)
            QTest::mouseRelease(to, step.button, {}, step.pos);
        break;
    }
}

} // namespace

bool Monkey::mouseStep(QWidget* window, MonkeyStep::Kind kind)
{
    const auto [target, local] = mouseSpot(*this, window);
    // The window system hands the input to the widget under the point.
    const QPoint inWindow = target->mapTo(window, local);
    QWidget* receiver = window->childAt(inWindow);
    if (!receiver)
        receiver = window;
    const int buttonRoll = below(100);
    MonkeyStep step;
    step.kind = kind;
    step.widget = receiver;
    step.button = buttonRoll < 70   ? Qt::LeftButton
                  : buttonRoll < 92 ? Qt::RightButton
                                    : Qt::MiddleButton;
    step.pos = receiver->mapFrom(window, inWindow);
    const QPoint elsewhere(below(receiver->width() * 2) - receiver->width() / 2,
                           below(receiver->height() * 2) - receiver->height() / 2);
    perform(step, [&] { sendMouse(step, receiver, elsewhere); });
    return true;
}

std::vector<QKeySequence> Monkey::leftOutKeys(QWidget* window) const
{
    std::vector<QKeySequence> keys;
    for (const QAction* action : window->findChildren<QAction*>()) {
        if (isLeftOut(action))
            for (const QKeySequence& key : action->shortcuts())
                keys.push_back(key);
    }
    return keys;
}

bool Monkey::keyStep(QWidget* window)
{
    QWidget* receiver = QApplication::focusWidget();
    if (!receiver || receiver->window() != window)
        receiver = window->focusWidget() ? window->focusWidget() : window;
    const std::vector<QKeySequence> forbidden = leftOutKeys(window);

    // The shortcuts of the window's items, so they come up often enough.
    std::vector<QKeyCombination> shortcuts;
    for (const QAction* action : window->findChildren<QAction*>()) {
        if (!isLeftOut(action))
            for (const QKeySequence& key : action->shortcuts())
                shortcuts.push_back(key[0]);
    }
    QKeyCombination combination(Qt::Key_Space);
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!shortcuts.empty() && chance(0.3)) {
            combination = shortcuts[static_cast<size_t>(below(int(shortcuts.size())))];
        } else {
            const auto& keys = plainKeys();
            const Qt::Key key = keys[static_cast<size_t>(below(int(keys.size())))];
            Qt::KeyboardModifiers modifiers;
            if (key == Qt::Key_Tab && chance(0.3))
                modifiers = Qt::ShiftModifier;
            else if (key >= Qt::Key_A && key <= Qt::Key_Z && chance(0.15))
                modifiers = Qt::ControlModifier;
            combination = QKeyCombination(modifiers, key);
        }
        const QKeySequence sequence(combination);
        if (std::none_of(forbidden.begin(), forbidden.end(),
                         [&](const QKeySequence& k) { return k == sequence; }))
            break;
        combination = QKeyCombination(Qt::Key_Space);
    }
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::Key;
    step.widget = receiver;
    step.key = combination.key();
    step.modifiers = combination.keyboardModifiers();
    if (step.key == Qt::Key_Tab && step.modifiers == Qt::ShiftModifier)
        step.key = Qt::Key_Backtab;
    perform(step, [&] { QTest::keyClick(receiver, Qt::Key(step.key), step.modifiers); });
    return true;
}

QList<QAction*> Monkey::reachableItems(QWidget* window) const
{
    QList<QAction*> items;
    const auto* bar = window->findChild<QMenuBar*>();
    if (!bar || !bar->isVisible())
        return items;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (!action->isVisible() || !action->isEnabled() || action->isSeparator() ||
                isLeftOut(action))
                continue;
            if (QMenu* menu = action->menu())
                walk(menu->actions());
            else
                items << action;
        }
    };
    walk(bar->actions());
    return items;
}

bool Monkey::menuBarStep(QWidget* window)
{
    auto* bar = window->findChild<QMenuBar*>();
    if (!bar || !bar->isVisible())
        return false;
    QList<QAction*> menus;
    for (QAction* action : bar->actions())
        if (action->isVisible() && action->isEnabled() && action->menu())
            menus << action;
    if (menus.isEmpty())
        return false;
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::MenuBar;
    step.widget = bar;
    step.action = menus.at(below(int(menus.size())));
    step.button = Qt::LeftButton;
    step.pos = bar->actionGeometry(step.action).center();
    perform(step, [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, step.pos); });
    return true;
}

bool Monkey::triggerStep(QWidget* window)
{
    const QList<QAction*> items = reachableItems(window);
    if (items.isEmpty())
        return false;
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::Trigger;
    step.action = items.at(below(int(items.size())));
    perform(step, [&] { step.action->trigger(); });
    return true;
}

} // namespace zelvano::testing
