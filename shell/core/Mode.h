#pragma once

#include <cstdint>

namespace zelvano
{

// The five modes, with the numbers the menu's options and the stored "Afm"
// setting give them.
enum class Mode : std::int16_t {
    Classroom = 0,   // 课堂互动
    NumberDraw = 1,  // 摇号码
    SeatDraw = 2,    // 摇座位
    FixedPerson = 3, // 定名抽奖: the person is drawn first, then the prize
    FixedPrize = 4,  // 定奖摇号: the prize is chosen first, then the winner
};

inline constexpr int kModeCount = 5;

// The number of a mode: its option's index in the menu and its stored value.
constexpr int modeIndex(Mode mode)
{
    return static_cast<int>(mode);
}

// The mode of option `index`, which must be in 0..kModeCount-1.
constexpr Mode modeAt(int index)
{
    return static_cast<Mode>(index);
}

} // namespace zelvano
