#include "draw/RollingSchedule.h"

#include "shell/core/Numbers.h"

#include <algorithm>

namespace zelvano
{

int RollingSchedule::start(std::int64_t nowMs)
{
    m_interval = kFirstIntervalMs;
    m_ticks = 0;
    m_startMs = nowMs;
    m_deadlineMs = nowMs + m_interval;
    m_lateness = 0;
    return m_interval;
}

RollingSchedule::Tick RollingSchedule::tick(std::int64_t nowMs)
{
    m_lateness = std::max<std::int64_t>(0, nowMs - m_deadlineMs);
    m_interval = toInt32(m_interval * 1.2);
    ++m_ticks;
    m_deadlineMs += m_interval;
    const auto delay = static_cast<int>(std::max<std::int64_t>(0, m_deadlineMs - nowMs));
    return {m_interval, m_interval > kStopAboveMs, delay};
}

} // namespace zelvano
