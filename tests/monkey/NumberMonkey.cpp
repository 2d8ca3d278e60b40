// The number and seat window under the monkey: value lists typed and
// edited, groups formed, draws rolled and timed, until nothing is left that
// could stop it. The window keeps no roll book, so what is checked is that
// it stays up, answers every input without a stray box, and that its draw
// pool never holds more than its value list.
#include "MonkeyWorld.h"

#include "draw/RollingDraw.h"
#include "numberdraw/FrmYh.h"
#include "presentation/SpeechTimer.h"

#include <QApplication>
#include <QTimer>

namespace zelvano::testing
{

MonkeyResult runNumberMonkey(const MonkeyRun& run)
{
    MonkeyWorld world(run);
    world.label = run.mode == Mode::SeatDraw ? QStringLiteral("seat window")
                                             : QStringLiteral("number window");
    QPointer<FrmYh> window = new FrmYh(world.services(), world.navigator, run.mode);
    window->show();
    QApplication::setActiveWindow(window);
    Monkey::flushPosted();

    Monkey& monkey = world.monkey;
    monkey.setWindows([&] { return window ? QList<QWidget*>{window.data()} : QList<QWidget*>{}; });
    monkey.leaveOut(&MonkeyWorld::returnsToMenu);
    monkey.addTimer(
        QStringLiteral("rolling draw"), [&] { return window && window->isRolling(); },
        [&] { window->Timer1_Timer(); },
        [&] { return window->rollingDraw().Timer1()->interval(); });
    monkey.addTimer(
        QStringLiteral("speech timer"), [&] { return window && window->speechTimer().isRunning(); },
        [&] { window->speechTimer().timJs_Timer(); }, [] { return 500; }, false);
    monkey.setCheck([&]() -> QString {
        if (world.ts.programEnd.calls > 0)
            return QStringLiteral("the program was ended");
        if (window &&
            window->session().poolSize() > static_cast<int>(window->session().values().size()))
            return QStringLiteral("the draw pool holds %1 values of a list of %2")
                .arg(window->session().poolSize())
                .arg(window->session().values().size());
        return {};
    });

    const bool ran = monkey.run(run.actions);
    world.figures[QStringLiteral("draws")] =
        static_cast<int>(world.ts.sound.played.count(QStringLiteral("sound\\type.wav")));
    if (window)
        world.figures[QStringLiteral("values at the end")] =
            static_cast<int>(window->session().values().size());
    MonkeyResult result = world.finish(ran);
    delete window;
    return result;
}

} // namespace zelvano::testing
