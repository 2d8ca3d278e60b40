#include "classroom/FrmKtHd.h"
#include "numberdraw/FrmYh.h"
#include "prizedraw/FrmDjYh.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ProgramServices.h"

#include <QApplication>

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

    QWidget* createModeWindow(std::int16_t modeCode) override
    {
        switch (modeCode) {
        case 0:
            return new FrmKtHd(m_services, *m_navigator);
        case 1:
        case 2:
            return new FrmYh(m_services, *m_navigator);
        default:
            return new FrmDjYh(m_services, *m_navigator);
        }
    }

private:
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

    ProgramServices program(QCoreApplication::applicationDirPath());
    AppServices& services = program.services();

    ModeNavigator* navigatorRef = nullptr;
    ProgramWindows windows(services, navigatorRef);
    ModeNavigator navigator(services, windows);
    navigatorRef = &navigator;
    navigator.showMenu();
    return app.exec();
}
