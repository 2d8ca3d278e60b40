#include "shell/gui/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace zelvano
{

namespace
{

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The answers a box offers, in their order, and the role each plays. A
// vector, not an initializer_list: a list's array would not outlive the return.
std::vector<std::pair<MessageAnswer, QMessageBox::ButtonRole>> answersOf(MessageButtons buttons)
{
    using A = MessageAnswer;
    using R = QMessageBox::ButtonRole;
    switch (buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
        return {{A::Ok, R::AcceptRole}, {A::Cancel, R::RejectRole}};
    case MessageButtons::YesNo:
        return {{A::Yes, R::YesRole}, {A::No, R::NoRole}};
    case MessageButtons::YesNoCancel:
        return {{A::Yes, R::YesRole}, {A::No, R::NoRole}, {A::Cancel, R::RejectRole}};
    case MessageButtons::RetryCancel:
        return {{A::Retry, R::AcceptRole}, {A::Cancel, R::RejectRole}};
    case MessageButtons::RetryCloseCancel:
        return {{A::Retry, R::AcceptRole}, {A::Close, R::ActionRole}, {A::Cancel, R::RejectRole}};
    }
    return {{A::Ok, R::AcceptRole}};
}

} // namespace

MessageAnswer QtMessageService::show(const QString& text, const QString& title, MessageIcon icon,
                                     MessageButtons buttons)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    // Buttons carry the names the messages tell the teacher to click,
    // whatever translation Qt has loaded.
    std::vector<std::pair<QAbstractButton*, MessageAnswer>> shown;
    for (const auto& [answer, role] : answersOf(buttons)) {
        QPushButton* button = box.addButton(buttonName(answer), role);
        button->setAccessibleName(buttonName(answer));
        shown.emplace_back(button, answer);
        if (role == QMessageBox::RejectRole || role == QMessageBox::NoRole)
            box.setEscapeButton(button);
    }
    box.setDefaultButton(static_cast<QPushButton*>(shown.front().first));
    box.exec();
    for (const auto& [button, answer] : shown) {
        if (box.clickedButton() == button)
            return answer;
    }
    // Closed without a button: as its escape button, or Ok where there is none.
    const bool cancellable = buttons != MessageButtons::Ok;
    if (!cancellable)
        return MessageAnswer::Ok;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}

} // namespace zelvano
