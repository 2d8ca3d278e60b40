#include "presentation/parts/StartPicture.h"

namespace zelvano
{

StartPicture::StartPicture(QWidget* parent, const QString& caption, std::function<void()> onPress)
    : QToolButton(parent), m_caption(caption)
{
    setObjectName(QStringLiteral("imgOk"));
    setToolTip(caption);
    setAccessibleName(caption);
    setIconSize(QSize(140, 140));
    setCursor(Qt::PointingHandCursor);
    // The picture is the button: no raised panel on hover, no frame.
    setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    showLook(false);
    connect(this, &QToolButton::pressed, this, std::move(onPress));
    connect(this, &QToolButton::released, this, [this] { showLook(false); });
}

void StartPicture::showLook(bool hover)
{
    QPixmap& picture = hover ? m_hover : m_normal;
    if (picture.isNull()) {
        // The looks are built into the program.
        picture.load(hover ? QStringLiteral(":/img/bt1.gif") : QStringLiteral(":/img/bt2.gif"));
    }
    if (picture.isNull()) {
        setIcon(QIcon());
        setText(m_caption);
    } else {
        setIcon(QIcon(picture));
    }
}

void StartPicture::enterEvent(QEnterEvent* event)
{
    showLook(true);
    QToolButton::enterEvent(event);
}

void StartPicture::leaveEvent(QEvent* event)
{
    showLook(false);
    QToolButton::leaveEvent(event);
}

void StartPicture::showEvent(QShowEvent* event)
{
    // Hidden under the pointer when a draw started, it never saw the leave.
    showLook(underMouse());
    QToolButton::showEvent(event);
}

} // namespace zelvano
