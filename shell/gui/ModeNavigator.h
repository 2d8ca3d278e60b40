#pragma once

#include "shell/core/Mode.h"

#include <QPointer>
#include <QWidget>

namespace zelvano
{

struct AppServices;

// Makes the working window of a mode; main wires the real windows in, tests
// their own.
class WindowFactory
{
public:
    virtual ~WindowFactory() = default;
    virtual QWidget* createModeWindow(Mode mode) = 0;
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
    // The menu's enter button: shows the window of `mode`.
    void enterMode(QWidget* menu, Mode mode);
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
