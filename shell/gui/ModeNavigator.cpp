#include "shell/gui/ModeNavigator.h"

#include "shell/core/AppServices.h"
#include "shell/core/ProgramEnd.h"
#include "shell/gui/frmMl.h"

namespace zelvano
{

ModeNavigator::ModeNavigator(AppServices& services, WindowFactory& windows)
    : m_services(services), m_windows(windows)
{
}

void ModeNavigator::showMenu()
{
    auto* menu = new frmMl(m_services, *this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    m_current = menu;
    menu->show();
}

void ModeNavigator::enterMode(QWidget* menu, Mode mode)
{
    QWidget* window = m_windows.createModeWindow(mode);
    if (!window)
        return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_current = window;
    window->show();
    m_switching = true;
    menu->close();
    m_switching = false;
}

void ModeNavigator::returnToMenu(QWidget* window)
{
    m_switching = true;
    const bool closed = window->close();
    m_switching = false;
    if (closed)
        showMenu();
}

void ModeNavigator::windowClosed(QWidget* window)
{
    if (m_switching)
        return;
    if (window == m_current)
        m_current = nullptr;
    if (!m_current && m_services.programEnd)
        m_services.programEnd->endProgram();
}

} // namespace zelvano
