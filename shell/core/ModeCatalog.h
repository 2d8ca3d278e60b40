#pragma once

#include <QString>

#include <cstdint>

namespace zelvano
{

inline constexpr int kModeCount = 5;

// The caption of a mode's option in the menu ("课堂互动" ... "定奖摇号").
QString modeCaption(int modeCode);

// The description the menu shows for a mode: its lines joined by three
// CR LF pairs, leading spaces kept.
QString modeDescription(int modeCode);

// The mode a stored "Afm" value selects: its number rounded half to even,
// mode 0 for an empty text or a value outside 0..4.
std::int16_t modeFromSetting(const QString& storedValue);

// The mode an arrow key moves to from `modeCode`: `step` options down (up
// when negative), the first following the last round the list.
int neighbourMode(int modeCode, int step);

} // namespace zelvano
