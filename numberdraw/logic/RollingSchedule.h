#pragma once

namespace zelvano
{

// The pace of a rolling draw: the first pick waits 3 ms, every tick waits
// 1.2 times as long as the one before (rounded half to even), and the draw
// stops once the interval passes 500 ms. That makes 28 picks, the last of
// which is the result.
class RollingSchedule
{
public:
    static constexpr int kFirstIntervalMs = 3;
    static constexpr int kStopAboveMs = 500;

    // Starts a run; returns the first interval.
    int start();

    // One tick: the next interval. True in `finished` when this tick's pick
    // is the result and the timer must stop.
    struct Tick {
        int nextIntervalMs;
        bool finished;
    };
    Tick tick();

    int intervalMs() const { return m_interval; }
    int ticks() const { return m_ticks; }

private:
    int m_interval = 0;
    int m_ticks = 0;
};

} // namespace zelvano
