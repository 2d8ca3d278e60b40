#pragma once

#include "shell/core/Mode.h"

#include <QString>

namespace zelvano
{

// The caption of a mode's option in the menu ("课堂互动" ... "定奖摇号").
QString modeCaption(Mode mode);

// The description the menu shows for a mode: its lines joined by three
// CR LF pairs, leading spaces kept.
QString modeDescription(Mode mode);

// The mode a stored "Afm" value selects: its number rounded half to even,
// the classroom for an empty text or a value outside 0..4.
Mode modeFromSetting(const QString& storedValue);

// The mode an arrow key moves to from `mode`: `step` options down (up when
// negative), the first following the last round the list.
Mode neighbourMode(Mode mode, int step);

} // namespace zelvano
