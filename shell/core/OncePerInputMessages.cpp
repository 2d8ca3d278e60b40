#include "shell/core/OncePerInputMessages.h"

#include <QTimer>

namespace zelvano
{

MessageAnswer OncePerInputMessages::show(const QString& text, const QString& title,
                                         MessageIcon icon, MessageButtons buttons)
{
    if (!m_told->isNull() && text == *m_told && buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    const bool first = m_told->isNull();
    *m_told = text;
    if (first)
        QTimer::singleShot(0, [told = m_told] { *told = QString(); });
    return m_messages.show(text, title, icon, buttons);
}

} // namespace zelvano
