#include "shell/gui/MouseHandlers.h"

#include <QMouseEvent>
#include <QWidget>

namespace zelvano {

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
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_leftPressed = mouse->button() == Qt::LeftButton;
        if (m_onMouseDown)
            m_onMouseDown(mouse->button(), mouse->globalPosition().toPoint());
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = m_leftPressed && mouse->button() == Qt::LeftButton &&
                           widget->rect().contains(mouse->position().toPoint());
        m_leftPressed = false;
        if (click && m_onClick)
            m_onClick();
        return false;
    }
    default:
        return false;
    }
}

} // namespace zelvano
