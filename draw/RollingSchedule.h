#pragma once

#include <cstdint>

namespace zelvano
{

// The pace of a rolling draw: the first pick waits 3 ms, every tick waits
// 1.2 times as long as the one before (rounded half to even), and the draw
// stops once the interval passes 500 ms. That makes 28 picks, the last of
// which is the result.
//
// Each wait is measured from the start of the run, not from the previous
// tick, so time spent repainting a large label does not add up: the run
// lasts close to its nominal 2660 ms.
class RollingSchedule
{
public:
    static constexpr int kFirstIntervalMs = 3;
    static constexpr int kStopAboveMs = 500;
    static constexpr int kNominalRunMs = 2660;

    // Starts a run at `nowMs` (monotonic); returns the first wait.
    int start(std::int64_t nowMs = 0);

    struct Tick {
        int nextIntervalMs; // the interval this tick sets
        bool finished;      // this tick's pick is the result: stop
        int delayMs;        // wait until the next tick's deadline (0 if late)
    };
    // One tick at `nowMs`.
    Tick tick(std::int64_t nowMs = 0);

    int intervalMs() const { return m_interval; }
    int ticks() const { return m_ticks; }
    // How late the latest tick came against its deadline.
    std::int64_t latenessMs() const { return m_lateness; }

private:
    int m_interval = 0;
    int m_ticks = 0;
    std::int64_t m_startMs = 0;
    std::int64_t m_deadlineMs = 0;
    std::int64_t m_lateness = 0;
};

} // namespace zelvano
