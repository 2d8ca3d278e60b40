// The monkey, long form: every window's monkey run with many actions, on
// the sample roll book and on one made by LibreOffice. Prints `name: value
// unit` lines per run (actions, seconds, seed, failures, and what the window
// did); a failure is printed in full on stderr and the exit code is 1.
//
//   monkey_bench [ACTIONS [SEED [RUN]]]
//
// ACTIONS per run (default 20000), SEED (default: fresh, printed), RUN a
// part of a run's name to run only those (menu, number, seat, classroom,
// prize3, prize4).
#include "Monkey.h"
#include "MonkeyRuns.h"

#include <QApplication>

#include <cstdio>
#include <functional>
#include <vector>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

struct Entry {
    const char* name;
    Mode mode;
    QString book;
    std::function<MonkeyResult(const MonkeyRun&)> run;
};

QString figureName(QString text)
{
    return text.replace(QLatin1Char(' '), QLatin1Char('_'))
        .replace(QLatin1Char('-'), QLatin1Char('_'));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int actions = args.size() > 1 ? args[1].toInt() : 20000;
    std::uint64_t seed = args.size() > 2 ? args[2].toULongLong() : 0;
    if (seed == 0) {
        qunsetenv("ZELVANO_MONKEY_SEED");
        seed = monkeySeed();
    }
    const QString only = args.size() > 3 ? args[3] : QString();

    const std::vector<Entry> entries = {
        {"menu", Mode::Classroom, {}, runMenuMonkey},
        {"number", Mode::NumberDraw, {}, runNumberMonkey},
        {"seat", Mode::SeatDraw, {}, runNumberMonkey},
        {"classroom_sample", Mode::Classroom, sampleRollBook(), runClassroomMonkey},
        {"classroom_lo", Mode::Classroom, libreOfficeRollBook(), runClassroomMonkey},
        {"prize3_sample", Mode::FixedPerson, sampleRollBook(), runPrizeMonkey},
        {"prize3_lo", Mode::FixedPerson, libreOfficeRollBook(), runPrizeMonkey},
        {"prize4_sample", Mode::FixedPrize, sampleRollBook(), runPrizeMonkey},
        {"prize4_lo", Mode::FixedPrize, libreOfficeRollBook(), runPrizeMonkey},
    };
    int failures = 0;
    for (const Entry& entry : entries) {
        const QString name = QStringLiteral("monkey_") + QLatin1String(entry.name);
        if (!only.isEmpty() && !name.contains(only))
            continue;
        MonkeyRun run;
        run.seed = seed;
        run.actions = actions;
        run.mode = entry.mode;
        run.book = entry.book;
        const MonkeyResult result = entry.run(run);
        std::printf("%s_seed: %llu seed\n", qPrintable(name),
                    static_cast<unsigned long long>(result.seed));
        std::printf("%s_actions: %d actions\n", qPrintable(name), result.actions);
        std::printf("%s_seconds: %.2f s\n", qPrintable(name), result.seconds);
        std::printf("%s_actions_per_second: %.0f actions/s\n", qPrintable(name),
                    result.seconds > 0 ? result.actions / result.seconds : 0.0);
        for (auto it = result.figures.begin(); it != result.figures.end(); ++it)
            std::printf("%s_%s: %d count\n", qPrintable(name), qPrintable(figureName(it.key())),
                        it.value());
        std::printf("%s_failures: %d count\n", qPrintable(name), result.ok ? 0 : 1);
        std::fflush(stdout);
        if (!result.ok) {
            ++failures;
            std::fprintf(stderr, "%s\n", qPrintable(result.failure));
        }
    }
    return failures == 0 ? 0 : 1;
}
