#pragma once

#include "shell/core/MessageService.h"

#include <QString>

#include <memory>

namespace zelvano
{

// Tells a message once for one input of the teacher. Some inputs check the
// same entry twice (leaving a grouping box for a panel's 确定 runs the box's
// check, then the set-up step groups again): the second, identical message
// is not shown. A message counts as told until the events of that input are
// done, that is until the event loop turns.
class OncePerInputMessages final : public MessageService
{
public:
    explicit OncePerInputMessages(MessageService& messages) : m_messages(messages) {}
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    MessageService& m_messages;
    // Shared with the reset queued for the end of the input, which may come
    // after this object is gone.
    std::shared_ptr<QString> m_told = std::make_shared<QString>();
};

} // namespace zelvano
