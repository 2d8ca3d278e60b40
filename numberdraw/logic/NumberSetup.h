#pragma once

namespace zelvano
{

// The guided setup of the number and seat window, one step after the other:
// a value list, then the grouping panel, then the timer panel, then the
// window is ready; the first draw lays the big display out for good.
enum class NumberSetupStep {
    Start,    // no value list yet
    Values,   // a value list is loaded; the value panel is up
    Grouping, // the grouping panel of the setup is up
    Timer,    // the timer panel of the setup is up
    Ready,    // menus on, waiting for the first draw
    Drawing,  // at least one draw made
};

// The panels of the setup; each can also be shown again from a menu.
enum class NumberPanel { Values, Grouping, Timer };

// The steps and which panels are up. Closing a panel moves the setup on only
// when it is that panel's step; otherwise it just goes away. A new value
// list takes the setup back to the grouping panel, so groups always cover
// the values drawn.
class NumberSetup
{
public:
    NumberSetupStep step() const { return m_step; }

    // A value list was made (or made again); true when this takes back a
    // setup that had gone past the value panel, which then starts over.
    bool valuesLoaded();
    bool hasValues() const { return m_step != NumberSetupStep::Start; }

    void panelShown(NumberPanel panel);
    // True when the setup goes on: the window shows the next panel (or, after
    // the timer panel, the ready display).
    bool panelClosed(NumberPanel panel);
    bool isShown(NumberPanel panel) const;

    // Draws, the order caption and the layout of the big display wait for
    // the setup to be done.
    bool isDone() const;
    bool awaitsFirstDraw() const { return m_step == NumberSetupStep::Ready; }
    // A draw begins; true for the first one.
    bool drawStarted();

private:
    NumberSetupStep m_step = NumberSetupStep::Start;
    bool m_shown[3] = {false, false, false};
};

} // namespace zelvano
