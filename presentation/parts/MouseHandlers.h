#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace zelvano
{

// Gives a plain widget (a label, a window's background) the click and
// mouse-down handlers that the windows name: `onClick` for a left click
// released over the widget, `onMouseDown` for every button press. Presses
// that land on the widget are taken, so the window behind never sees them
// too; presses that a child let pass are left alone.
class MouseHandlers : public QObject
{
public:
    using Click = std::function<void()>;
    using MouseDown = std::function<void(Qt::MouseButton, QPoint globalPos)>;

    static MouseHandlers* attach(QWidget* widget, Click onClick, MouseDown onMouseDown = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MouseHandlers(QWidget* widget, Click onClick, MouseDown onMouseDown);
    Click m_onClick;
    MouseDown m_onMouseDown;
    bool m_leftPressed = false;
};

} // namespace zelvano
