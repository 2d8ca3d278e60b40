#include "numberdraw/FrmYh.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/ModeWindowStub.h"
#include "shell/gui/ProgramServices.h"

#include <QApplication>

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
        case 2:
            return new FrmYh(m_services, *m_navigator);
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

    ProgramServices program(QCoreApplication::applicationDirPath());
    AppServices& services = program.services();

    ModeNavigator* navigatorRef = nullptr;
    ProgramWindows windows(services, navigatorRef);
    ModeNavigator navigator(services, windows);
    navigatorRef = &navigator;
    navigator.showMenu();
    return app.exec();
}
