// Prints how long the program takes from process start to the mode menu on
// screen, and how long one settings read takes, as `name: value unit` lines.
// Runs against a fresh copy of the delivered settings database.
#include "shell/core/AppFolders.h"
#include "shell/core/AppServices.h"
#include "shell/core/FolderPlatform.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ProgramServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace
{

// Milliseconds since this process was started, from the kernel's record of
// its start time (clock ticks since boot).
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
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

class NoWindows final : public zelvano::WindowFactory
{
public:
    QWidget* createModeWindow(std::int16_t) override { return nullptr; }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    zelvano::createSettingsDatabase(folder.filePath(zelvano::SettingsStore::kDatabaseName));

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

    std::printf("startup_to_menu: %.1f ms\n", startup);
    std::printf("read_setting: %.3f ms\n", perRead);
    return 0;
}
