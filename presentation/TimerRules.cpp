#include "presentation/TimerRules.h"

#include "shell/core/Numbers.h"

#include <QChar>
#include <Qt>

#include <algorithm>
#include <limits>

namespace zelvano
{

int runSeconds(QStringView timeText, int unitIndex)
{
    // Wider than 16 bits on purpose: the product is clamped, never wrapped.
    std::int64_t seconds = toInt16(Val(timeText));
    if (unitIndex == UnitMinutes)
        seconds *= 60;
    else if (unitIndex == UnitHours)
        seconds *= 3600;
    return static_cast<int>(std::clamp<std::int64_t>(seconds, 0, kLongestRunSeconds));
}

QString steppedNumberText(QStringView boxText, bool up)
{
    const int value = toInt16(Val(boxText));
    const int stepped =
        std::clamp(up ? value + 1 : value - 1, int(std::numeric_limits<std::int16_t>::min()),
                   int(std::numeric_limits<std::int16_t>::max()));
    return QString::number(stepped);
}

QString numberBoxText(QStringView boxText)
{
    return numberText(Val(boxText));
}

bool numberBoxAcceptsKey(int qtKey, QStringView keyText)
{
    if (qtKey == Qt::Key_Backspace)
        return true;
    if (keyText.isEmpty() || qtKey == Qt::Key_Delete || qtKey == Qt::Key_Tab ||
        qtKey == Qt::Key_Backtab)
        return true;
    if (keyText.size() != 1)
        return false;
    const QChar c = keyText.front();
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
}

void TimerRun::start(int durationSeconds, std::int64_t nowMs)
{
    m_duration = std::clamp(durationSeconds, 0, kLongestRunSeconds);
    m_startMs = nowMs;
}

TimerRun::Tick TimerRun::tick(std::int64_t nowMs, int modeIndex) const
{
    const std::int64_t elapsedMs = std::max<std::int64_t>(0, nowMs - m_startMs);
    std::int64_t elapsed = elapsedMs / 1000;
    std::int64_t remaining = m_duration - elapsed;
    Tick result;
    if (remaining <= 0) {
        remaining = 0;
        elapsed = m_duration;
        result.timedOut = true;
    }
    result.display = durationText(modeIndex == CountUp ? elapsed : remaining);
    return result;
}

} // namespace zelvano
