#pragma once

class QMenu;

namespace zelvano
{

// Enables or disables a top-level menu together with the shortcuts of every
// item under it: a disabled menu alone would still let Ctrl+G or F4 through.
// The items keep their own enabled state (the greyed current choice).
void setMenuAndShortcutsEnabled(QMenu* menu, bool enabled);

} // namespace zelvano
