#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QScreen;

namespace zelvano
{

// Where a draw window is shown: "投影到" lists the screens (the laptop's
// and the projector's) and puts the window full screen on the one chosen;
// "全屏" (F11) switches full screen on and off. The screen chosen is
// remembered by its name and used again when a draw window opens while it
// is connected; with one screen the choice is full screen there.
class ProjectorScreen : public QObject
{
public:
    // Adds both items to `menu`; preferences live in `dataDir`.
    ProjectorScreen(QMainWindow* window, QMenu* menu, QString dataDir);

    // Full screen on `screen`, remembered.
    void projectTo(QScreen* screen);
    void setFullScreen(bool on);

    // The remembered screen's name; empty before any choice.
    static constexpr const char* kScreenKey = "projector/screen";

private:
    void fillScreens();
    void applyRemembered();

    QMainWindow* m_window;
    QString m_dataDir;
    QMenu* m_screens = nullptr;
    QAction* m_fullScreen = nullptr;
    bool m_shown = false;
};

// How a screen reads in "投影到": "2：HDMI-1（1920×1080）"; the primary
// screen is marked "（主屏幕）".
QString screenCaption(int number, const QString& name, int width, int height, bool primary);

} // namespace zelvano
