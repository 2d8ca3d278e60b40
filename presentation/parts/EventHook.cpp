#include "presentation/parts/EventHook.h"

namespace zelvano
{

EventHook::EventHook(QObject* target, QEvent::Type type, Handler handler)
    : QObject(target), m_type(type), m_handler(std::move(handler))
{
    target->installEventFilter(this);
}

EventHook* EventHook::attach(QObject* target, QEvent::Type type, Handler handler)
{
    return new EventHook(target, type, std::move(handler));
}

EventHook* EventHook::attach(QObject* target, QEvent::Type type, std::function<void()> handler)
{
    return new EventHook(target, type, [handler = std::move(handler)](QEvent*) {
        handler();
        return false;
    });
}

bool EventHook::eventFilter(QObject*, QEvent* event)
{
    return event->type() == m_type && m_handler(event);
}

} // namespace zelvano
