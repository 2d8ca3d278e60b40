#include "presentation/parts/EntryCheck.h"

#include "presentation/parts/EventHook.h"

#include <QFocusEvent>
#include <QLineEdit>

#include <memory>

namespace zelvano
{

void checkOnCommit(QLineEdit* box, std::function<void()> check, std::function<bool()> when)
{
    auto running = std::make_shared<bool>(false);
    auto once = [box, running, check = std::move(check)] {
        if (*running)
            return;
        *running = true;
        box->setModified(false);
        check();
        *running = false;
    };
    EventHook::attach(box, QEvent::FocusOut, [box, once, when = std::move(when)](QEvent* event) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving a box whose text nobody typed since it was last checked
        // (or filled in by the program) commits nothing.
        if (box->isModified() && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason && (!when || when()))
            once();
        return false;
    });
    QObject::connect(box, &QLineEdit::returnPressed, box, once);
}

} // namespace zelvano
