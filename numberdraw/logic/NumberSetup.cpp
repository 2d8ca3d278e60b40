#include "numberdraw/logic/NumberSetup.h"

namespace zelvano
{

namespace
{

// The step in which closing `panel` moves the setup on, and the step after.
struct Transition {
    NumberSetupStep from;
    NumberSetupStep to;
    int nextPanel; // the panel shown next, -1 for none
};

Transition transitionOf(NumberPanel panel)
{
    switch (panel) {
    case NumberPanel::Values:
        return {NumberSetupStep::Values, NumberSetupStep::Grouping,
                static_cast<int>(NumberPanel::Grouping)};
    case NumberPanel::Grouping:
        return {NumberSetupStep::Grouping, NumberSetupStep::Timer,
                static_cast<int>(NumberPanel::Timer)};
    case NumberPanel::Timer:
        break;
    }
    return {NumberSetupStep::Timer, NumberSetupStep::Ready, -1};
}

} // namespace

bool NumberSetup::valuesLoaded()
{
    const bool startsOver = m_step != NumberSetupStep::Start && m_step != NumberSetupStep::Values;
    m_step = NumberSetupStep::Values;
    return startsOver;
}

void NumberSetup::panelShown(NumberPanel panel)
{
    m_shown[static_cast<int>(panel)] = true;
}

bool NumberSetup::panelClosed(NumberPanel panel)
{
    m_shown[static_cast<int>(panel)] = false;
    const Transition t = transitionOf(panel);
    if (m_step != t.from)
        return false;
    m_step = t.to;
    if (t.nextPanel >= 0)
        m_shown[t.nextPanel] = true;
    return true;
}

bool NumberSetup::isShown(NumberPanel panel) const
{
    return m_shown[static_cast<int>(panel)];
}

bool NumberSetup::isDone() const
{
    return m_step == NumberSetupStep::Ready || m_step == NumberSetupStep::Drawing;
}

bool NumberSetup::drawStarted()
{
    const bool first = m_step == NumberSetupStep::Ready;
    if (isDone())
        m_step = NumberSetupStep::Drawing;
    return first;
}

} // namespace zelvano
