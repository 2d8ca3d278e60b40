#include "draw/RollingDraw.h"

#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/SoundPlayer.h"

#include <QTimer>

namespace zelvano
{

RollingDraw::RollingDraw(AppServices& services, QString restCue, Hooks hooks, QObject* parent)
    : QObject(parent), m_services(services), m_restCue(std::move(restCue)),
      m_hooks(std::move(hooks)), m_timer1(new QTimer(this))
{
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &RollingDraw::Timer1_Timer);
}

bool RollingDraw::isRolling() const
{
    return m_timer1->isActive();
}

void RollingDraw::start()
{
    m_timer1->start(m_schedule.start(m_services.clock->monotonicMs()));
    m_services.sound->playSound(QStringLiteral("sound\\type0.wav"));
}

void RollingDraw::Timer1_Timer()
{
    const RollingSchedule::Tick tick = m_schedule.tick(m_services.clock->monotonicMs());
    if (!tick.finished)
        m_timer1->start(tick.delayMs);
    else
        m_timer1->stop();
    if (m_hooks.step)
        m_hooks.step();
    if (!tick.finished)
        return;
    const bool cueFirst = !m_hooks.restCueAfterFinish;
    if (cueFirst && !m_restCue.isEmpty())
        m_services.sound->playSound(m_restCue);
    if (m_hooks.atRest)
        m_hooks.atRest();
    if (!cueFirst && !m_restCue.isEmpty())
        m_services.sound->playSound(m_restCue);
}

void RollingDraw::cancel()
{
    m_timer1->stop();
}

} // namespace zelvano
