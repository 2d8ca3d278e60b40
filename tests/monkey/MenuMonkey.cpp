// The mode menu under the monkey: whatever was clicked or typed, one option
// is checked and its description shown, 进入 opens the mode of the checked
// option, and the menu that comes back preselects the mode just left. Runs
// of the keys a person moves through the menu with (Tab, arrows, Return,
// Enter, Space) leave the focus on the selected option or on 进入.
#include "MonkeyWorld.h"
#include "NoWindows.h"

#include "shell/core/ModeCatalog.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/frmMl.h"

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace zelvano::testing
{

namespace
{

int checkedOption(const frmMl* menu)
{
    int checked = -1;
    for (int i = 0; i < kModeCount; ++i) {
        if (menu->OptMl(i)->isChecked()) {
            if (checked >= 0)
                return -1;
            checked = i;
        }
    }
    return checked;
}

frmMl* shownMenu(MonkeyWorld& world)
{
    return qobject_cast<frmMl*>(world.navigator.currentWindow());
}

// After a step that left the menu: 进入 was clicked, so the window of the
// option that was checked must be open; back to the menu, as the window's
// return item does, which must preselect the mode just left.
void returnFromMode(MonkeyWorld& world, const StubModeWindows& stubs, int checkedBefore)
{
    Monkey& monkey = world.monkey;
    QWidget* current = world.navigator.currentWindow();
    const int entered = stubs.entered.empty() ? -1 : stubs.entered.back();
    const QString stored = world.ts.setting("Afm");
    ++world.figures[QStringLiteral("modes entered")];
    if (entered != checkedBefore)
        monkey.fail(QStringLiteral("entered mode %1 while option %2 was checked")
                        .arg(entered)
                        .arg(checkedBefore));
    else if (stored != QString::number(entered))
        monkey.fail(
            QStringLiteral("entered mode %1 but Afm holds \"%2\"").arg(entered).arg(stored));
    world.navigator.returnToMenu(current);
    Monkey::flushPosted();
    const frmMl* again = shownMenu(world);
    if (!again || checkedOption(again) != entered)
        monkey.fail(QStringLiteral("the menu came back without mode %1 preselected").arg(entered));
    else
        QApplication::setActiveWindow(world.navigator.currentWindow());
}

// One option checked, the mode and the description follow it.
QString menuProblem(MonkeyWorld& world)
{
    const frmMl* shown = shownMenu(world);
    if (!shown)
        return QStringLiteral("the mode menu is gone");
    const int checked = checkedOption(shown);
    if (checked < 0)
        return QStringLiteral("not exactly one mode is checked");
    if (modeIndex(shown->mode()) != checked)
        return QStringLiteral("option %1 is checked but the mode is %2")
            .arg(checked)
            .arg(modeIndex(shown->mode()));
    if (shown->lblXx()->text() != modeDescription(modeAt(checked)))
        return QStringLiteral("option %1 is checked but another description is shown").arg(checked);
    return {};
}

// A few of the menu's own keys, each to whatever has the focus;
// `checkedBefore` follows the selection up to the key that enters.
bool keyboardRun(MonkeyWorld& world, int& checkedBefore)
{
    static const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Up,
                                   Qt::Key_Down,   Qt::Key_Left,    Qt::Key_Right,
                                   Qt::Key_Return, Qt::Key_Enter,   Qt::Key_Space};
    const frmMl* shown = shownMenu(world);
    if (!shown)
        return false;
    QApplication::setActiveWindow(world.navigator.currentWindow());
    for (int n = 1 + world.monkey.below(4); n > 0 && shownMenu(world) == shown; --n) {
        const Qt::Key key = keys[world.monkey.below(int(std::size(keys)))];
        QWidget* focused = QApplication::focusWidget();
        checkedBefore = checkedOption(shown);
        world.monkey.log(QStringLiteral("key %1 to %2")
                             .arg(key)
                             .arg(focused ? focused->objectName() : QStringLiteral("nothing")));
        QTest::keyClick(focused ? focused : world.navigator.currentWindow(), key);
        ++world.figures[QStringLiteral("menu keys")];
        if (shownMenu(world) != shown)
            break;
        const QWidget* now = QApplication::focusWidget();
        const int checked = checkedOption(shown);
        if (now != shown->imgIn() && (checked < 0 || now != shown->OptMl(checked)))
            world.fail(QStringLiteral("after key %1 the focus is on %2, not on option %3 or 进入")
                           .arg(key)
                           .arg(now ? now->objectName() : QStringLiteral("nothing"))
                           .arg(checked));
    }
    return true;
}

} // namespace

MonkeyResult runMenuMonkey(const MonkeyRun& run)
{
    StubModeWindows stubs;
    MonkeyWorld world(run, &stubs);
    stubs.navigator = &world.navigator;
    world.label = QStringLiteral("mode menu");
    Monkey& monkey = world.monkey;
    world.ts.setSetting("Afm", QString::number(monkey.below(kModeCount)));
    world.navigator.showMenu();
    const auto menu = [&] { return shownMenu(world); };
    const auto storedMode = [&] { return world.ts.setting("Afm"); };

    monkey.setWindows([&] {
        QList<QWidget*> windows;
        if (QWidget* current = world.navigator.currentWindow())
            windows << current;
        return windows;
    });
    int checkedBefore = -1;
    monkey.beforeStep([&](const MonkeyStep&) {
        if (const frmMl* shown = menu())
            checkedBefore = checkedOption(shown);
    });
    monkey.afterStep([&](const MonkeyStep&) {
        if (world.navigator.currentWindow() && !menu())
            returnFromMode(world, stubs, checkedBefore);
    });
    monkey.setCheck([&] { return menuProblem(world); });
    monkey.addExtra(QStringLiteral("move through the menu by keyboard"), 20,
                    [&] { return keyboardRun(world, checkedBefore); });

    const bool ran = monkey.run(run.actions);
    if (const frmMl* shown = menu(); shown && storedMode() != QString::number(checkedOption(shown)))
        monkey.fail(QStringLiteral("option %1 is checked at the end but Afm holds \"%2\"")
                        .arg(checkedOption(shown))
                        .arg(storedMode()));
    MonkeyResult result = world.finish(ran);
    delete world.navigator.currentWindow();
    return result;
}

} // namespace zelvano::testing
