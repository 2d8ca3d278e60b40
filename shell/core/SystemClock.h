#pragma once

#include "shell/core/Clock.h"

#include <QElapsedTimer>

namespace zelvano
{

class SystemClock final : public Clock
{
public:
    SystemClock();
    std::int64_t monotonicMs() const override;
    double secondsSinceMidnight() const override;
    QDate today() const override;
    void wait(int ms) override;

private:
    QElapsedTimer m_started;
};

} // namespace zelvano
