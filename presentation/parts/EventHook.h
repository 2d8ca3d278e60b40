#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

namespace zelvano
{

// Runs a handler when a widget receives an event of one type, such as focus
// in or out; the event then goes on as usual unless the handler returns true.
class EventHook : public QObject
{
public:
    using Handler = std::function<bool(QEvent*)>;
    static EventHook* attach(QObject* target, QEvent::Type type, Handler handler);
    static EventHook* attach(QObject* target, QEvent::Type type, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject* target, QEvent::Type type, Handler handler);
    QEvent::Type m_type;
    Handler m_handler;
};

} // namespace zelvano
