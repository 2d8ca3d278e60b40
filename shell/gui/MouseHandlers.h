#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace zelvano {

// Gives a plain widget (a label, a window's background) the click and
// mouse-down handlers that the windows name: `onClick` for a left click
// released over the widget, `onMouseDown` for every button press.
class MouseHandlers : public QObject {
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
