#include "shell/gui/EntryCheck.h"

#include "shell/gui/EventHook.h"

#include <QFocusEvent>
#include <QLineEdit>

#include <memory>

namespace zelvano {

void checkOnCommit(QLineEdit* box, std::function<void()> check, std::function<bool()> when)
{
    auto running = std::make_shared<bool>(false);
    auto once = [running, check = std::move(check)] {
        if (*running)
            return;
        *running = true;
        check();
        *running = false;
    };
    EventHook::attach(box, QEvent::FocusOut, [once, when = std::move(when)](QEvent* event) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            (!when || when()))
            once();
        return false;
    });
    QObject::connect(box, &QLineEdit::returnPressed, box, once);
}

} // namespace zelvano
