// Prints how long the program takes from process start to the mode menu on
// screen, how long the process takes to end once its last window closed,
// and how long one settings read takes, as `name: value unit` lines: medians
// of 7 fresh processes, each against a fresh copy of the delivered settings
// database, with the speech engine as installed on the machine; beside it,
// interleaved, the same libraries showing one plain Qt window (the floor).
#include "shell/core/AppFolders.h"
#include "shell/core/AppServices.h"
#include "shell/core/FolderPlatform.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ProgramServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace
{

#ifdef _WIN32
double fileTimeMs(const FILETIME& t)
{
    return (ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart) / 1e4;
}

// Milliseconds on a clock every process of the machine shares.
double sharedClockMs()
{
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return fileTimeMs(now);
}

double msSinceProcessStart()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return sharedClockMs() - fileTimeMs(created);
}
#else
double sharedClockMs()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// From the kernel's record of this process's start (clock ticks since boot).
double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 22) {
            startTicks = std::stoull(field);
            break;
        }
    }
    return sharedClockMs() - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}
#endif

class NoWindows final : public zelvano::WindowFactory
{
public:
    QWidget* createModeWindow(zelvano::Mode) override { return nullptr; }
};

// One process: the menu up, then closed as a person closes the last window.
// Its settings are a copy of `delivered`, as a first start seeds them
// (creating a database would derive a second key and time that too).
int runOnce(int argc, char** argv, const QString& delivered)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QFile::copy(delivered, folder.filePath(zelvano::SettingsStore::kDatabaseName));

    // The data folder is found as the program finds it, so its cost counts.
    const zelvano::AppFolders folders = zelvano::AppFolders::find(
        {QStringLiteral("startup_bench"), QStringLiteral("--data-dir"), folder.path()},
        zelvano::SystemFolderPlatform());
    zelvano::ProgramServices program(folders);
    NoWindows windows;
    zelvano::ModeNavigator navigator(program.services(), windows);
    navigator.showMenu();
    QWidget* menu = navigator.currentWindow();
    while (!menu->isVisible())
        QApplication::processEvents();
    QApplication::processEvents();
    const double startup = msSinceProcessStart();

    zelvano::SettingsStore& settings = *program.services().settings;
    constexpr int kReads = 200;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kReads; ++i)
        settings.readSetting(QStringLiteral("Bsj"));
    const double perRead = timer.nsecsElapsed() / 1e6 / kReads;

    std::printf("%.3f %.3f %.3f\n", startup, perRead, sharedClockMs());
    std::fflush(stdout);
    QTimer::singleShot(0, menu, [menu] { menu->close(); });
    return app.exec();
}

// The floor: the same program's libraries loaded and one plain window with
// a Chinese caption shown, nothing of ours done.
int runFloor(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("课堂互动"));
    window.show();
    while (!window.isVisible())
        QApplication::processEvents();
    QApplication::processEvents();
    std::printf("%.3f 0 %.3f\n", msSinceProcessStart(), sharedClockMs());
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    return app.exec();
}

struct Run {
    double up = 0, read = 0, ended = 0;
};

// One fresh process of this program; false when it failed.
bool runChild(const std::string& command, Run& run)
{
#ifdef _WIN32
    // cmd drops the outer pair of quotes of a line holding more than two.
    FILE* child = popen(("\"" + command + "\"").c_str(), "r");
#else
    FILE* child = popen(command.c_str(), "r");
#endif
    if (!child)
        return false;
    double closedAt = 0;
    const int got = std::fscanf(child, "%lf %lf %lf", &run.up, &run.read, &closedAt);
    // The pipe ends with the process, after its last destructor.
    while (std::fgetc(child) != EOF) {
    }
    const int status = pclose(child);
    run.ended = sharedClockMs() - closedAt;
    return got == 3 && status == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--once")
        return runOnce(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc > 1 && std::string(argv[1]) == "--floor")
        return runFloor(argc, argv);
    QTemporaryDir delivered;
    const QString database = delivered.filePath(zelvano::SettingsStore::kDatabaseName);
    if (!zelvano::createSettingsDatabase(database))
        return 1;
    std::vector<double> startup, perRead, ending;
    const std::string self =
        "\"" + std::string(argv[0]) + "\" --once \"" + database.toStdString() + "\"";
    const std::string floor = "\"" + std::string(argv[0]) + "\" --floor";
    std::vector<double> floorUp;
    // Interleaved with the floor, so a busy moment falls on both alike.
    for (int round = 0; round < 7; ++round) {
        Run ours, bare;
        if (!runChild(self, ours) || !runChild(floor, bare))
            return 1;
        startup.push_back(ours.up);
        perRead.push_back(ours.read);
        ending.push_back(ours.ended);
        floorUp.push_back(bare.up);
    }
    std::printf("startup_to_menu: %.1f ms\n", median(startup));
    std::printf("startup_plain_qt_window: %.1f ms\n", median(floorUp));
    std::printf("startup_over_plain_qt_window: %.2f x\n", median(startup) / median(floorUp));
    std::printf("exit_after_last_window: %.1f ms\n", median(ending));
    std::printf("read_setting: %.3f ms\n", median(perRead));
    return 0;
}
