#include "shell/core/AppServices.h"
#include "shell/core/EntropyRandom.h"
#include "shell/core/SettingsStore.h"
#include "shell/core/SystemClock.h"
#include "shell/core/SystemProcessControl.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ModeWindowStub.h"
#include "shell/gui/QtColourPicker.h"
#include "shell/gui/QtMessageService.h"
#include "shell/gui/QtProgramEnd.h"
#include "shell/gui/QtSoundPlayer.h"

#include <QApplication>
#include <QDir>

namespace
{

using namespace zelvano;

// The windows of each mode. Modes whose windows are still to come show a
// window with their caption and return item.
class ProgramWindows final : public WindowFactory
{
public:
    ProgramWindows(AppServices& services, ModeNavigator*& navigator)
        : m_services(services), m_navigator(navigator)
    {
    }

    QWidget* createModeWindow(std::int16_t modeCode) override
    {
        switch (modeCode) {
        case 0:
            return stub("Zelvano >> 课堂互动", "返回主页(&F)");
        case 1:
            return stub("Zelvano >> 摇号码", "返回(&F)");
        case 2:
            return stub("Zelvano >> 抽座位", "返回(&F)");
        case 3:
            return stub("Zelvano >> 定名抽奖", "返回主页");
        default:
            return stub("Zelvano >> 定奖摇号", "返回主页");
        }
    }

private:
    QWidget* stub(const char* caption, const char* returnCaption)
    {
        return new ModeWindowStub(QString::fromUtf8(caption), QStringLiteral("设置"),
                                  QString::fromUtf8(returnCaption), *m_navigator);
    }

    AppServices& m_services;
    ModeNavigator*& m_navigator;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Exactly one window is open at a time; the navigator decides when the
    // last one has gone.
    app.setQuitOnLastWindowClosed(false);

    const QString appDir = QCoreApplication::applicationDirPath();
    QtMessageService messages;
    QtColourPicker colours;
    QtProgramEnd programEnd;
    SystemClock clock;
    EntropyRandom random;
    QtSoundPlayer sound(appDir);
    SettingsStore settings(QDir(appDir).filePath(SettingsStore::kDatabaseName), messages);
    SystemProcessControl processes;

    AppServices services;
    services.appDir = appDir;
    services.messages = &messages;
    services.colours = &colours;
    services.programEnd = &programEnd;
    services.clock = &clock;
    services.random = &random;
    services.sound = &sound;
    services.settings = &settings;
    services.processes = &processes;

    ModeNavigator* navigatorRef = nullptr;
    ProgramWindows windows(services, navigatorRef);
    ModeNavigator navigator(services, windows);
    navigatorRef = &navigator;
    navigator.showMenu();
    return app.exec();
}
