#include "numberdraw/logic/RollingSchedule.h"

#include "shell/core/Numbers.h"

namespace zelvano
{

int RollingSchedule::start()
{
    m_interval = kFirstIntervalMs;
    m_ticks = 0;
    return m_interval;
}

RollingSchedule::Tick RollingSchedule::tick()
{
    m_interval = toInt32(m_interval * 1.2);
    ++m_ticks;
    return {m_interval, m_interval > kStopAboveMs};
}

} // namespace zelvano
