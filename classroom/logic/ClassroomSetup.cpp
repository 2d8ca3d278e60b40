#include "classroom/logic/ClassroomSetup.h"

namespace zelvano
{

bool ClassroomSetup::activate()
{
    if (m_step != ClassroomStep::Opening)
        return false;
    // Moved on first, so a message shown while looking cannot look again.
    m_step = ClassroomStep::ChoosingClass;
    return true;
}

void ClassroomSetup::rollBookMissing()
{
    m_step = ClassroomStep::Opening;
    m_awaited = ClassroomPanel::None;
}

SetupAction ClassroomSetup::close(ClassroomPanel panel, bool classChosen)
{
    if (panel == ClassroomPanel::Class) {
        if (m_step != ClassroomStep::ChoosingClass)
            return SetupAction::HidePanel;
        if (!classChosen)
            return SetupAction::AskToQuit;
        m_step = ClassroomStep::SettingUp;
        m_awaited = ClassroomPanel::Grouping;
        return SetupAction::LoadClass;
    }
    if (m_step != ClassroomStep::SettingUp || panel != m_awaited)
        return SetupAction::HidePanel;
    switch (panel) {
    case ClassroomPanel::Grouping:
        m_awaited = ClassroomPanel::Scoring;
        return SetupAction::ShowScoring;
    case ClassroomPanel::Scoring:
        m_awaited = ClassroomPanel::Timer;
        return SetupAction::ShowTimer;
    case ClassroomPanel::Timer:
        m_awaited = ClassroomPanel::None;
        m_step = ClassroomStep::Ready;
        return SetupAction::StartCalling;
    default:
        return SetupAction::HidePanel;
    }
}

void ClassroomSetup::classRejected()
{
    m_step = ClassroomStep::ChoosingClass;
    m_awaited = ClassroomPanel::None;
}

bool ClassroomSetup::called()
{
    if (m_step != ClassroomStep::Ready)
        return false;
    m_step = ClassroomStep::Calling;
    return true;
}

} // namespace zelvano
