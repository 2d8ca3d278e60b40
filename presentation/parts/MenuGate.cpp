#include "presentation/parts/MenuGate.h"

#include <QAction>
#include <QMenu>

namespace zelvano
{

namespace
{

void setShortcutsActive(QMenu* menu, bool active)
{
    for (QAction* action : menu->actions()) {
        // A widget-only context never matches a menu item, so the key does
        // nothing until the menu is enabled again.
        action->setShortcutContext(active ? Qt::WindowShortcut : Qt::WidgetShortcut);
        if (QMenu* sub = action->menu())
            setShortcutsActive(sub, active);
    }
}

} // namespace

void setMenuAndShortcutsEnabled(QMenu* menu, bool enabled)
{
    if (!menu)
        return;
    menu->menuAction()->setEnabled(enabled);
    setShortcutsActive(menu, enabled);
}

} // namespace zelvano
