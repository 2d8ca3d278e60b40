#include "shell/core/SystemClock.h"

#include <QTime>

namespace zelvano
{

SystemClock::SystemClock()
{
    m_started.start();
}

std::int64_t SystemClock::monotonicMs() const
{
    return m_started.elapsed();
}

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

} // namespace zelvano
