#include "presentation/parts/ProjectorScreen.h"

#include "presentation/parts/EventHook.h"
#include "shell/core/Preferences.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace zelvano
{

namespace
{

// A screen as remembered: its name, or its place where it has none.
QString screenKey(const QScreen* screen)
{
    const QString name = screen->name();
    return name.isEmpty() ? QStringLiteral("#%1").arg(QGuiApplication::screens().indexOf(screen))
                          : name;
}

} // namespace

QString screenCaption(int number, const QString& name, int width, int height, bool primary)
{
    QString caption =
        QStringLiteral("%1：%2（%3×%4）").arg(number).arg(name).arg(width).arg(height);
    if (primary)
        caption += QStringLiteral("（主屏幕）");
    return caption;
}

ProjectorScreen::ProjectorScreen(QMainWindow* window, QMenu* menu, QString dataDir)
    : QObject(window), m_window(window), m_dataDir(std::move(dataDir))
{
    m_screens = menu->addMenu(QStringLiteral("投影到(&T)"));
    m_screens->setObjectName(QStringLiteral("MnTyd"));
    // Filled when opened: a projector may be plugged in at any time.
    connect(m_screens, &QMenu::aboutToShow, this, [this] { fillScreens(); });
    fillScreens();
    m_fullScreen = menu->addAction(QStringLiteral("全屏"));
    m_fullScreen->setObjectName(QStringLiteral("MnQp"));
    m_fullScreen->setCheckable(true);
    m_fullScreen->setShortcut(Qt::Key_F11);
    connect(m_fullScreen, &QAction::triggered, this, [this](bool on) { setFullScreen(on); });
    // The window's state can change without the item (the system's own keys).
    EventHook::attach(window, QEvent::WindowStateChange,
                      [this] { m_fullScreen->setChecked(m_window->isFullScreen()); });
    // Once shown at its design size, the remembered screen takes it over.
    EventHook::attach(window, QEvent::Show, [this] {
        if (!m_shown) {
            m_shown = true;
            QTimer::singleShot(0, this, [this] { applyRemembered(); });
        }
    });
}

void ProjectorScreen::fillScreens()
{
    m_screens->clear();
    auto* group = new QActionGroup(m_screens);
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QScreen* current = m_window->screen();
    for (int i = 0; i < screens.size(); ++i) {
        QScreen* screen = screens[i];
        const QSize size = screen->size();
        QAction* item =
            m_screens->addAction(screenCaption(i + 1, screen->name(), size.width(), size.height(),
                                               screen == QGuiApplication::primaryScreen()),
                                 this, [this, screen] { projectTo(screen); });
        item->setCheckable(true);
        item->setChecked(m_window->isFullScreen() && screen == current);
        group->addAction(item);
    }
}

void ProjectorScreen::projectTo(QScreen* screen)
{
    if (!QGuiApplication::screens().contains(screen))
        return; // unplugged while the menu was open
    writePreference(m_dataDir, QLatin1String(kScreenKey), screenKey(screen));
    if (m_window->isFullScreen())
        m_window->showNormal();
    // Moved onto the screen first: full screen fills the screen the window is on.
    const QRect area = screen->availableGeometry();
    m_window->move(area.topLeft());
    if (QWindow* handle = m_window->windowHandle())
        handle->setScreen(screen);
    m_window->setGeometry(area);
    setFullScreen(true);
}

void ProjectorScreen::setFullScreen(bool on)
{
    if (on)
        m_window->showFullScreen();
    else
        m_window->showNormal();
    m_fullScreen->setChecked(on);
}

void ProjectorScreen::applyRemembered()
{
    const QString name = readPreference(m_dataDir, QLatin1String(kScreenKey)).toString();
    if (name.isEmpty())
        return;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screenKey(screen) == name) {
            projectTo(screen);
            return;
        }
    }
    // The projector is not plugged in: the window stays as it opened.
}

} // namespace zelvano
