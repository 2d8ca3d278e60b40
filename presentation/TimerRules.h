#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zelvano
{

// The arithmetic of the speech timer, free of widgets: how long a run lasts,
// what the clock face shows at each tick, and how the number boxes step.

// Units of the time box, in the order of the unit list: 秒, 分, 时.
enum TimerUnitIndex : std::int16_t { UnitSeconds = 0, UnitMinutes = 1, UnitHours = 2 };
// Counting modes, in the order of the mode list: 倒计时, 正计时.
enum TimerModeIndex : std::int16_t { CountDown = 0, CountUp = 1 };

// The longest run: the clock has always been a 16-bit count of seconds.
inline constexpr int kLongestRunSeconds = 32767;

// Seconds of a run from the time box text and the chosen unit. The text is
// read with Val and rounded half to even to 16 bits, then scaled by the unit
// (an index outside 0..2 counts as seconds).
//
// Durations are CLAMPED to 0..32767 seconds rather than refused: "10" hours
// runs the longest timer (9:06:07) instead of wrapping into a negative 16-bit
// product, and a negative value runs for 0 seconds, so it stops at the first
// tick with the end cue exactly as a text that is not a number does. A
// presenter in front of an audience gets a clock that behaves, never a box.
int runSeconds(QStringView timeText, int unitIndex);

// What the "+" (up) or "-" (down) button writes back into a number box: the
// box's Val rounded half to even to 16 bits, plus or minus one. At the ends of
// the 16-bit range the step clamps (32767 "+" stays 32767, -32768 "-" stays
// -32768) instead of wrapping to the other end.
QString steppedNumberText(QStringView boxText, bool up);

// The text a number box keeps when it loses the focus: the decimal text of its
// Val ("12abc" -> "12", "" -> "0", "1.50" -> "1.5").
QString numberBoxText(QStringView boxText);

// The key filter of the number boxes. Characters other than the digits, '.'
// and '-' are discarded, and so are control characters (Enter, Ctrl+V), so
// nothing but a number can be typed. Backspace is kept, and so are keys that
// type nothing (arrows, Home/End, Delete, Tab, function keys), which edit or
// move without putting a character into the box.
bool numberBoxAcceptsKey(int qtKey, QStringView keyText);

// One run of the clock, measured on the monotonic clock so that a run across
// midnight or a change of the system time counts right.
class TimerRun
{
public:
    struct Tick {
        QString display;       // what the time display shows now ("hh:mm:ss")
        bool timedOut = false; // the run has reached its duration
    };

    void start(int durationSeconds, std::int64_t nowMs);

    // Elapsed time is the whole seconds since the start; the remaining time
    // is the duration less that. At or past the duration the run times out:
    // a count-down then shows 00:00:00, a count-up the duration itself.
    Tick tick(std::int64_t nowMs, int modeIndex) const;

    int durationSeconds() const { return m_duration; }

private:
    int m_duration = 0;
    std::int64_t m_startMs = 0;
};

} // namespace zelvano
