#pragma once

#include <QString>
#include <QStringList>

namespace zelvano
{

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
// RetryCloseCancel: 重试 / 请它关闭 / 取消, for a file another program holds.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, RetryCloseCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry, Close };

// The names the buttons show, in their order: a message that tells the
// teacher to click “重试” can rely on a button of that name.
QStringList buttonNames(MessageButtons buttons);
QString buttonName(MessageAnswer answer);

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
