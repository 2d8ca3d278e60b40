#include "classroom/FrmKtHd.h"
#include "drawrecord/logic/DrawRecordFile.h"
#include "numberdraw/FrmYh.h"
#include "prizedraw/FrmDjYh.h"
#include "shell/core/AppFolders.h"
#include "shell/core/FolderPlatform.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ProgramServices.h"
#include "shell/gui/QtTranslation.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace
{

using namespace zelvano;

// The window of each mode: the classroom, the number and seat draw, and the
// prize draw in its two modes.
class ProgramWindows final : public WindowFactory
{
public:
    ProgramWindows(AppServices& services, ModeNavigator*& navigator)
        : m_services(services), m_navigator(navigator)
    {
    }

    QWidget* createModeWindow(Mode mode) override
    {
        switch (mode) {
        case Mode::Classroom:
            return new FrmKtHd(m_services, *m_navigator);
        case Mode::NumberDraw:
        case Mode::SeatDraw:
            return new FrmYh(m_services, *m_navigator, mode);
        case Mode::FixedPerson:
        case Mode::FixedPrize:
            return new FrmDjYh(m_services, *m_navigator, mode);
        }
        return nullptr;
    }

private:
    AppServices& m_services;
    ModeNavigator*& m_navigator;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The standard buttons and dialogs speak Chinese, as the rest does.
    installQtChineseTexts();
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelvano.Zelvano"));
    // Exactly one window is open at a time; the navigator decides when the
    // last one has gone.
    app.setQuitOnLastWindowClosed(false);

    // The data folder is made and seeded before the menu first reads the
    // settings database.
    const AppFolders folders = AppFolders::find(app.arguments(), SystemFolderPlatform());
    ProgramServices program(folders);
    AppServices& services = program.services();
    if (!folders.reportProblem(*services.messages))
        return 1;
    DrawRecordFile drawRecord(services.dataDir, *services.messages, *services.clock);
    services.drawLog = &drawRecord;

    ModeNavigator* navigatorRef = nullptr;
    ProgramWindows windows(services, navigatorRef);
    ModeNavigator navigator(services, windows);
    navigatorRef = &navigator;
    navigator.showMenu();

    // A start check for installed copies: once the first window is up, say
    // what is shown and where the teacher's files are, then end.
    if (app.arguments().contains(QStringLiteral("--check-start"))) {
        QTimer::singleShot(0, &app, [&] {
            QWidget* shown = navigator.currentWindow();
            std::printf("shown: %s\ndata: %s\n",
                        shown && shown->isVisible() ? qPrintable(shown->windowTitle()) : "",
                        qPrintable(services.dataDir));
            std::fflush(stdout);
            QCoreApplication::exit(shown && shown->isVisible() ? 0 : 1);
        });
    }
    return app.exec();
}
