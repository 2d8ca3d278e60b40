#pragma once

#include <QDate>

#include <cstdint>

namespace zelvano
{

// Time as the windows see it. The speech timer measures with the monotonic
// clock so that a run across midnight or a change of the system time still
// counts right; the date names a day's score column.
class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start, never going back.
    virtual std::int64_t monotonicMs() const = 0;
    // Seconds since local midnight, with fraction.
    virtual double secondsSinceMidnight() const = 0;
    virtual QDate today() const = 0;
    // Lets `ms` milliseconds pass before returning, without freezing the
    // windows: the program keeps painting (input waits), a test's clock
    // only moves on.
    virtual void wait(int ms) = 0;
};

} // namespace zelvano
