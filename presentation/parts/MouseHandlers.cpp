#include "presentation/parts/MouseHandlers.h"

#include <QMouseEvent>
#include <QWidget>

namespace zelvano
{

MouseHandlers::MouseHandlers(QWidget* widget, Click onClick, MouseDown onMouseDown)
    : QObject(widget), m_onClick(std::move(onClick)), m_onMouseDown(std::move(onMouseDown))
{
    widget->installEventFilter(this);
}

MouseHandlers* MouseHandlers::attach(QWidget* widget, Click onClick, MouseDown onMouseDown)
{
    return new MouseHandlers(widget, std::move(onClick), std::move(onMouseDown));
}

bool MouseHandlers::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;

    auto* widget = static_cast<QWidget*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    // Labels, frames and panels ignore presses, so Qt hands a press on them
    // on to their parent. It was meant for the child, not for this widget.
    // A press of this widget ends wherever it is let go, also over a child:
    // otherwise a later release that a child passes on (a button pressed
    // and left) would complete it as a click.
    if (widget->childAt(at)) {
        if (type == QEvent::MouseButtonRelease)
            m_leftPressed = false;
        return false;
    }

    switch (type) {
    case QEvent::MouseButtonPress: {
        m_leftPressed = mouse->button() == Qt::LeftButton;
        if (m_onMouseDown)
            m_onMouseDown(mouse->button(), mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const bool click =
            m_leftPressed && mouse->button() == Qt::LeftButton && widget->rect().contains(at);
        m_leftPressed = false;
        if (click && m_onClick)
            m_onClick();
        break;
    }
    default:
        // The second press of a double click is not another click.
        break;
    }
    // Handled here: the window behind must not see the same press again.
    event->accept();
    return true;
}

} // namespace zelvano
