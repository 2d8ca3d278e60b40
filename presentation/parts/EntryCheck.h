#pragma once

#include <functional>

class QLineEdit;

namespace zelvano
{

// Runs a box's check when the teacher commits an entry: Enter, or moving to
// another control after typing in the box. Focus that leaves only for a
// message box, a menu or another program is not leaving the box, a check
// that is still showing its message is not run a second time by the focus
// loss the message causes, and leaving a box untouched since its last check
// tells nothing again.
// `when`, if given, must hold for focus-out checks (a hidden or disabled box
// keeps its text until it is used again).
void checkOnCommit(QLineEdit* box, std::function<void()> check, std::function<bool()> when = {});

} // namespace zelvano
