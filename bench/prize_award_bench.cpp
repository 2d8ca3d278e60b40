// Times what the host waits for after a prize draw: the last tick of the
// rolling, which writes the award into "抽奖品" (F, G, C, D) and saves the
// roll book. A real prize window offscreen, ten awards in a row, on the
// sample roll book and on a made one of 30 classes x 60 people x 180
// lessons. Prints `name: value unit` lines.
//   prize_award_bench [PYTHON]
#include "prizedraw/FrmDjYh.h"
#include "rollbook/Workbook.h"

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
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

using namespace zelvano;

// What the host waited for, in milliseconds, over this many awards.
constexpr int kAwards = 10;
// The time a host should not notice.
constexpr int kTargetMs = 150;

class CountedMessages final : public MessageService
{
public:
    MessageAnswer show(const QString& text, const QString&, MessageIcon, MessageButtons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

struct Figures {
    double median = 0;
    double longest = 0;
    double bytes = 0;
};

// Awards of prize `prize` (0-based, with at least kAwards units) in a
// prize window on the roll book in `folder`.
Figures timeAwards(const QString& folder, int prize, CountedMessages& messages)
{
    bench::BenchWorld world(folder, messages);

    FrmDjYh window(world.services, world.navigator, Mode::FixedPrize);
    window.show();
    window.Form_Activate();
    window.cmdOk_Click(0);
    window.cmdOk_Click(0);
    std::vector<double> times;
    for (int award = 0; award < kAwards; ++award) {
        window.MnDj_Click(prize);
        for (int tick = 0; tick < 27; ++tick)
            window.Timer1_Timer();
        QElapsedTimer timer;
        timer.start();
        window.Timer1_Timer(); // the 28th: the award is written and saved
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    Figures figures;
    figures.median = times[times.size() / 2];
    figures.longest = times.back();
    figures.bytes = double(QFile(QDir(folder).filePath(QStringLiteral("点名册.xls"))).size());
    window.close();
    return figures;
}

void print(const char* name, const Figures& figures)
{
    std::printf("prize_award_%s_median: %.1f ms\n", name, figures.median);
    std::printf("prize_award_%s_longest: %.1f ms\n", name, figures.longest);
    std::printf("prize_award_%s_file: %.0f KB\n", name, figures.bytes / 1024);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString python = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "/usr/bin/python3";
    CountedMessages messages;

    QTemporaryDir sample;
    QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                sample.filePath(QStringLiteral("点名册.xls")));
    QFile::setPermissions(sample.filePath(QStringLiteral("点名册.xls")),
                          QFile::ReadOwner | QFile::WriteOwner);
    print("sample", timeAwards(sample.path(), 5, messages)); // 参与奖, 15 units

    QTemporaryDir big;
    const QString bigBook = big.filePath(QStringLiteral("点名册.xls"));
    QProcess maker;
    maker.start(python, {QStringLiteral(ZELVANO_BENCH_DIR "/xls_make_book.py"), bigBook,
                         QStringLiteral("30"), QStringLiteral("180")});
    if (!maker.waitForFinished(300000) || maker.exitCode() != 0) {
        std::fprintf(stderr, "xls_make_book.py failed: %s\n",
                     maker.readAllStandardError().constData());
        return 1;
    }
    {
        // Stock for the first prize and 60 people on the made prize sheet.
        auto book = xls::Workbook::open(std::filesystem::path(bigBook.toStdU16String()));
        const size_t prizes = book.worksheetCount() - 1;
        for (int row = 3; row <= 7; ++row)
            book.setNumber(prizes, row, 5, 20);
        for (int v = 1; v <= 60; ++v) {
            book.setText(prizes, v + 20, 1, std::to_string(v));
            book.setText(prizes, v + 20, 2, "姓名" + std::to_string(v));
        }
        book.save();
    }
    print("30_classes", timeAwards(big.path(), 0, messages));
    std::printf("prize_award_target: %d ms\n", kTargetMs);
    std::printf("prize_award_messages: %d count\n", messages.shown);
    return 0;
}
