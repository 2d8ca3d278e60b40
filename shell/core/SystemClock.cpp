#include "shell/core/SystemClock.h"

#include <QEventLoop>
#include <QTime>
#include <QTimer>

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

void SystemClock::wait(int ms)
{
    // An event loop rather than a sleep: the windows repaint meanwhile, and
    // a click made while waiting is kept until the wait is over, so nothing
    // starts a second write in the middle of this one.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace zelvano
