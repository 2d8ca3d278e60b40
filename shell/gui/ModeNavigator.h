#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>

namespace zelvano
{

struct AppServices;

// Makes the working window of a mode; main wires the real windows in, tests
// their own.
class WindowFactory
{
public:
    virtual ~WindowFactory() = default;
    virtual QWidget* createModeWindow(std::int16_t modeCode) = 0;
};

// Keeps exactly one window open: the mode menu or one working window.
// Entering a mode shows its window and unloads the menu; a window's return
// item unloads the window and shows a freshly loaded menu; closing the last
// window with its close box ends the program.
class ModeNavigator
{
public:
    ModeNavigator(AppServices& services, WindowFactory& windows);

    void showMenu();
    // The menu's enter button: shows the window of services.modeCode.
    void enterMode(QWidget* menu);
    // A working window's return item.
    void returnToMenu(QWidget* window);
    // Every window calls this at the end of its close handling.
    void windowClosed(QWidget* window);

    QWidget* currentWindow() const { return m_current; }

private:
    AppServices& m_services;
    WindowFactory& m_windows;
    QPointer<QWidget> m_current;
    bool m_switching = false;
};

} // namespace zelvano
