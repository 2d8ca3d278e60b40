#pragma once

namespace zelvano
{

// How far the classroom window's guided setup has come. The order matters:
// every later step keeps what the earlier ones allowed.
enum class ClassroomStep {
    Opening,       // the window is shown, the roll book not found yet
    ChoosingClass, // the class panel waits for a class
    SettingUp,     // grouping, scoring and timer panels in turn
    Ready,         // set up; nobody called yet
    Calling,       // at least one call made
};

// The panels the setup walks through, each closed by its × or OK.
enum class ClassroomPanel { None, Class, Grouping, Scoring, Timer };

// What the window does after a panel was closed.
enum class SetupAction {
    HidePanel,    // only hide the panel closed
    AskToQuit,    // no class chosen: ask whether to end the program
    LoadClass,    // read the chosen class and show its grouping
    ShowScoring,  // the guided setup goes on to the scoring panel
    ShowTimer,    // ... to the timer panel
    StartCalling, // the setup is done: the stage is the roll call's
};

// The classroom window's guided setup: which step it is in and which panel
// of the setting-up step it waits for. A panel closed outside the guided
// order (opened again from a menu) is only hidden.
class ClassroomSetup
{
public:
    ClassroomStep step() const { return m_step; }
    ClassroomPanel awaitedPanel() const { return m_awaited; }

    // The window was shown: true when the roll book is to be looked for now
    // (only on the first showing).
    bool activate();
    // The roll book was not found: a later showing looks again.
    void rollBookMissing();

    // A panel's × or OK; classChosen tells whether the class box holds one.
    SetupAction close(ClassroomPanel panel, bool classChosen);
    // The chosen class could not be read: the class is chosen again.
    void classRejected();

    // A call was made: true for the first one, after which the stage is
    // laid out for calling.
    bool called();

    // A class was taken: choosing another reloads at once, and the stage
    // is scaled to the window.
    bool classTaken() const { return m_step >= ClassroomStep::SettingUp; }
    // The setup is done: calls, the order caption and the bars are shown.
    bool readyToCall() const { return m_step >= ClassroomStep::Ready; }
    // Set up, but nobody called yet.
    bool awaitingFirstCall() const { return m_step == ClassroomStep::Ready; }

private:
    ClassroomStep m_step = ClassroomStep::Opening;
    ClassroomPanel m_awaited = ClassroomPanel::None;
};

} // namespace zelvano
