#include "classroom/MiniWindow.h"

#include "presentation/parts/ResultLabel.h"
#include "shell/core/Preferences.h"
#include "shell/gui/Fonts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvano
{

MiniWindow::MiniWindow(QString dataDir, Handlers handlers)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      m_dataDir(std::move(dataDir)), m_handlers(std::move(handlers))
{
    // A window of its own, not owned by the full one: Windows hides owned
    // windows while their owner is minimized.
    setObjectName(QStringLiteral("MiniWindow"));
    setWindowTitle(QStringLiteral("迷你窗口"));
    setAccessibleName(QStringLiteral("迷你窗口"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#MiniWindow { background: #fff8e0; border: 2px solid #c08000; }"));

    m_class = new QLabel(this);
    m_class->setObjectName(QStringLiteral("lblMiniBj"));
    m_class->setFont(songFont(11));
    m_class->setAlignment(Qt::AlignCenter);
    m_draw = new QToolButton(this);
    m_draw->setObjectName(QStringLiteral("cmdMiniDm"));
    m_draw->setText(QStringLiteral("点  名"));
    m_draw->setAccessibleName(QStringLiteral("点名"));
    m_draw->setToolTip(QStringLiteral("点名下一位；双击空白处回到完整窗口"));
    m_draw->setFont(kaiFont(20, true));
    m_draw->setFocusPolicy(Qt::NoFocus);
    m_draw->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(m_draw, &QToolButton::clicked, this, [this] { m_handlers.draw(); });
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("lblMiniXm"));
    makeResultLabel(m_result);
    m_result->setFont(kaiFont(26, true));
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setMinimumHeight(56);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(m_class);
    layout->addWidget(m_draw, 1);
    layout->addWidget(m_result);
    resize(240, 190);
}

void MiniWindow::showFor(const QString& className)
{
    m_class->setText(className);
    move(rememberedPlace());
    show();
}

void MiniWindow::showResult(const QString& text)
{
    m_result->setText(text.simplified());
}

QPoint MiniWindow::rememberedPlace() const
{
    const QVariant place = readPreference(m_dataDir, QLatin1String(kPlaceKey));
    // A place on a screen that is gone (the projector unplugged) is not used.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (place.isValid() && screen->availableGeometry().contains(QRect(place.toPoint(), size())))
            return place.toPoint();
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect area = primary ? primary->availableGeometry() : QRect(0, 0, 800, 600);
    return {area.right() - width() - 24, area.top() + 24};
}

void MiniWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_grab = event->globalPosition().toPoint() - pos();
}

void MiniWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        move(event->globalPosition().toPoint() - m_grab);
}

void MiniWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    writePreference(m_dataDir, QLatin1String(kPlaceKey), pos());
}

void MiniWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    hide();
    m_handlers.back();
}

} // namespace zelvano
