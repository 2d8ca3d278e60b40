#pragma once

#include "draw/RollingSchedule.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace zelvano
{

struct AppServices;

// The rolling display every draw window shares: `Timer1` runs the slowing
// pace of RollingSchedule, each tick asks the window for a fresh pick, and
// the last one plays the cue at rest and hands the result to the window.
class RollingDraw : public QObject
{
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> step;   // show one pick
        std::function<void()> atRest; // the last pick stands: finish the draw
        // The prize window writes the award (with its own cue) first and
        // lets the cue at rest be the one heard.
        bool restCueAfterFinish = false;
    };

    // `restCue` is "sound\type.wav" in the number and classroom windows and
    // "sound\over.wav" in the prize window; empty plays none.
    RollingDraw(AppServices& services, QString restCue, Hooks hooks, QObject* parent = nullptr);

    // Starts the rolling display with its start cue.
    void start();
    // One tick: a pick, and at the end the rest cue and the finish.
    void Timer1_Timer();
    bool isRolling() const;
    // Ends a run at once without a result (the window is closing).
    void cancel();

    QTimer* Timer1() const { return m_timer1; }
    const RollingSchedule& schedule() const { return m_schedule; }

private:
    AppServices& m_services;
    QString m_restCue;
    Hooks m_hooks;
    RollingSchedule m_schedule;
    QTimer* m_timer1 = nullptr;
};

} // namespace zelvano
