#pragma once

#include <QString>

namespace zelvano
{

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

// Modal message boxes and questions. The program shows real boxes; tests
// script the answers and read what would have been shown.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

} // namespace zelvano
