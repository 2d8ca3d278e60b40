#pragma once

// The monkey runs of each window: the window opened on a scratch
// application folder, driven by the shared monkey from one seed, and then
// checked: still running, no modal box left, and (for the windows that keep
// the roll book) every score and award cell as the draws recorded it. The
// Qt tests run them short, bench/monkey_bench long.

#include "shell/core/Mode.h"

#include <QMap>
#include <QString>

#include <cstdint>

namespace zelvano::testing
{

struct MonkeyRun {
    std::uint64_t seed = 0;
    int actions = 1000;
    Mode mode = Mode::Classroom;
    QString book; // the roll book copied beside the window; empty for none
};

struct MonkeyResult {
    bool ok = false;
    QString failure; // with the seed and the last steps
    QString summary; // seed, actions, seconds and what the monkey did
    std::uint64_t seed = 0;
    int actions = 0;
    double seconds = 0;
    // What the window did under the monkey: draws, writes, resets, edits.
    QMap<QString, int> figures;
    QString line() const; // summary and figures on one line
};

// The roll books the runs use: the program's sample and one LibreOffice made.
QString sampleRollBook();
QString libreOfficeRollBook();

MonkeyResult runMenuMonkey(const MonkeyRun& run);
MonkeyResult runNumberMonkey(const MonkeyRun& run);    // modes 1 and 2
MonkeyResult runClassroomMonkey(const MonkeyRun& run); // mode 0
MonkeyResult runPrizeMonkey(const MonkeyRun& run);     // modes 3 and 4

} // namespace zelvano::testing
