#include "shell/core/MessageService.h"

namespace zelvano
{

QString buttonName(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QStringLiteral("确定");
    case MessageAnswer::Cancel:
        return QStringLiteral("取消");
    case MessageAnswer::Yes:
        return QStringLiteral("是");
    case MessageAnswer::No:
        return QStringLiteral("否");
    case MessageAnswer::Retry:
        return QStringLiteral("重试");
    case MessageAnswer::Close:
        return QStringLiteral("请它关闭");
    }
    return {};
}

QStringList buttonNames(MessageButtons buttons)
{
    using A = MessageAnswer;
    auto names = [](std::initializer_list<A> answers) {
        QStringList out;
        for (A a : answers)
            out << buttonName(a);
        return out;
    };
    switch (buttons) {
    case MessageButtons::Ok:
        return names({A::Ok});
    case MessageButtons::OkCancel:
        return names({A::Ok, A::Cancel});
    case MessageButtons::YesNo:
        return names({A::Yes, A::No});
    case MessageButtons::YesNoCancel:
        return names({A::Yes, A::No, A::Cancel});
    case MessageButtons::RetryCancel:
        return names({A::Retry, A::Cancel});
    case MessageButtons::RetryCloseCancel:
        return names({A::Retry, A::Close, A::Cancel});
    }
    return {};
}

} // namespace zelvano
