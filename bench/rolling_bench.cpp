// Measures the number window's rolling draw as a person sees it: a real
// window offscreen at 1920x1080 with the 100-point label repainted every
// tick. Prints `name: value unit` lines: the run length against its nominal
// 2660 ms, the worst lateness of one tick, and the time to rebuild a list of
// 30000 values with its menu.
#include "draw/RollingDraw.h"
#include "numberdraw/FrmYh.h"

#include "BenchWorld.h"
#include "shell/core/AppServices.h"
#include "shell/core/EntropyRandom.h"
#include "shell/core/MessageService.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/core/SoundPlayer.h"
#include "shell/core/SystemClock.h"
#include "shell/gui/ModeNavigator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace
{

using namespace zelvano;

class NoMessages final : public MessageService
{
public:
    MessageAnswer show(const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Yes;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    NoMessages messages;
    bench::BenchWorld world(folder.path(), messages);

    FrmYh window(world.services, world.navigator, Mode::NumberDraw);
    window.show();
    window.cmdOk_Click(0);
    window.cmdOk_Click(1);
    window.cmdOk_Click(2);
    window.resize(1920, 1080);
    QApplication::processEvents();

    // The label repaints on every pick, as on a projector.
    QObject::connect(window.rollingDraw().Timer1(), &QTimer::timeout, &window,
                     [&] { window.centralWidget()->repaint(); });
    constexpr int kRuns = 3;
    double longest = 0;
    double total = 0;
    std::int64_t worstLateness = 0;
    for (int run = 0; run < kRuns; ++run) {
        window.MnFs(2)->setChecked(true);
        QElapsedTimer timer;
        timer.start();
        window.lblXm_Click();
        while (window.isRolling()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            worstLateness = std::max(worstLateness, window.rollingDraw().schedule().latenessMs());
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        longest = std::max(longest, ms);
    }

    window.txtXh(0)->setText(QStringLiteral("1"));
    window.txtXh(1)->setText(QStringLiteral("30000"));
    QElapsedTimer rebuild;
    rebuild.start();
    window.rangeEntry(1);
    const double rebuildMs = rebuild.nsecsElapsed() / 1e6;

    std::printf("rolling_draw_mean: %.1f ms\n", total / kRuns);
    std::printf("rolling_draw_longest: %.1f ms\n", longest);
    std::printf("rolling_draw_nominal: %d ms\n", RollingSchedule::kNominalRunMs);
    std::printf("rolling_draw_deviation: %.2f %%\n",
                100.0 * (longest - RollingSchedule::kNominalRunMs) /
                    RollingSchedule::kNominalRunMs);
    std::printf("rolling_tick_worst_lateness: %lld ms\n", static_cast<long long>(worstLateness));
    std::printf("rebuild_30000_values: %.1f ms\n", rebuildMs);
    return 0;
}
