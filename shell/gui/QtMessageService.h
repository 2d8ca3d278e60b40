#pragma once

#include "shell/core/MessageService.h"

class QWidget;

namespace zelvano
{

// Real message boxes, modal over the active window.
class QtMessageService final : public MessageService
{
public:
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;
};

} // namespace zelvano
