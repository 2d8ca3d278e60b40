#include "classroom/logic/ClassroomSetup.h"

#include <gtest/gtest.h>

#include <string>

using namespace zelvano;

namespace
{

using Step = ClassroomStep;
using Panel = ClassroomPanel;
using Action = SetupAction;

// Walks the guided order until the setup stands at (step, awaited): every
// state a row starts from is reached the way the window reaches it.
ClassroomSetup reach(Step step, Panel awaited)
{
    ClassroomSetup setup;
    for (int guard = 0; guard < 8; ++guard) {
        if (setup.step() == step && setup.awaitedPanel() == awaited)
            return setup;
        switch (setup.step()) {
        case Step::Opening:
            setup.activate();
            break;
        case Step::ChoosingClass:
            setup.close(Panel::Class, true);
            break;
        case Step::SettingUp:
            setup.close(setup.awaitedPanel(), true);
            break;
        case Step::Ready:
            setup.called();
            break;
        case Step::Calling:
            break;
        }
    }
    ADD_FAILURE() << "state not reachable";
    return setup;
}

struct CloseRow {
    const char* name;
    Step step;
    Panel awaited;
    Panel closed;
    bool classChosen;
    Action action;
    Step stepAfter;
    Panel awaitedAfter;
};

class ClosingAPanel : public ::testing::TestWithParam<CloseRow>
{
};

TEST_P(ClosingAPanel, GivesActionAndNextStep)
{
    const CloseRow& row = GetParam();
    ClassroomSetup setup = reach(row.step, row.awaited);
    EXPECT_EQ(setup.close(row.closed, row.classChosen), row.action);
    EXPECT_EQ(setup.step(), row.stepAfter);
    EXPECT_EQ(setup.awaitedPanel(), row.awaitedAfter);
}

// clang-format off
const CloseRow kCloseRows[] = {
    {"ClassChosen_LoadsClassAndAwaitsGrouping", Step::ChoosingClass, Panel::None, Panel::Class, true,
     Action::LoadClass, Step::SettingUp, Panel::Grouping},
    {"NoClassChosen_AsksToQuitAndStays", Step::ChoosingClass, Panel::None, Panel::Class, false,
     Action::AskToQuit, Step::ChoosingClass, Panel::None},
    {"ClassPanelBeforeActivation_OnlyHides", Step::Opening, Panel::None, Panel::Class, false,
     Action::HidePanel, Step::Opening, Panel::None},
    {"ClassPanelFromMenuWhileSettingUp_OnlyHides", Step::SettingUp, Panel::Scoring, Panel::Class,
     true, Action::HidePanel, Step::SettingUp, Panel::Scoring},
    {"ClassPanelWhenReady_OnlyHides", Step::Ready, Panel::None, Panel::Class, false,
     Action::HidePanel, Step::Ready, Panel::None},
    {"AwaitedGrouping_GoesOnToScoring", Step::SettingUp, Panel::Grouping, Panel::Grouping, true,
     Action::ShowScoring, Step::SettingUp, Panel::Scoring},
    {"TimerOutOfTurn_OnlyHides", Step::SettingUp, Panel::Scoring, Panel::Timer, true,
     Action::HidePanel, Step::SettingUp, Panel::Scoring},
    {"ScoringClosed_GoesOnToTimer", Step::SettingUp, Panel::Scoring, Panel::Scoring, true,
     Action::ShowTimer, Step::SettingUp, Panel::Timer},
    {"TimerClosed_StartsCalling", Step::SettingUp, Panel::Timer, Panel::Timer, true,
     Action::StartCalling, Step::Ready, Panel::None},
    {"GroupingOutOfTurn_OnlyHides", Step::SettingUp, Panel::Timer, Panel::Grouping, true,
     Action::HidePanel, Step::SettingUp, Panel::Timer},
    {"GroupingWhenReady_OnlyHides", Step::Ready, Panel::None, Panel::Grouping, true,
     Action::HidePanel, Step::Ready, Panel::None},
    {"TimerWhileCalling_OnlyHides", Step::Calling, Panel::None, Panel::Timer, true,
     Action::HidePanel, Step::Calling, Panel::None},
    {"ScoringWhileChoosingClass_OnlyHides", Step::ChoosingClass, Panel::None, Panel::Scoring, true,
     Action::HidePanel, Step::ChoosingClass, Panel::None},
    {"NoPanel_OnlyHides", Step::SettingUp, Panel::Grouping, Panel::None, true,
     Action::HidePanel, Step::SettingUp, Panel::Grouping},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(ClassroomSetup, ClosingAPanel, ::testing::ValuesIn(kCloseRows),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace

TEST(ClassroomSetupSteps, Activation_LooksForRollBookOnlyOnFirstShowing)
{
    ClassroomSetup setup;
    EXPECT_TRUE(setup.activate());
    EXPECT_EQ(setup.step(), Step::ChoosingClass);
    EXPECT_FALSE(setup.activate());
    EXPECT_EQ(setup.step(), Step::ChoosingClass);
}

TEST(ClassroomSetupSteps, MissingRollBook_IsLookedForAgainOnNextShowing)
{
    ClassroomSetup setup;
    setup.activate();
    setup.rollBookMissing();
    EXPECT_EQ(setup.step(), Step::Opening);
    EXPECT_TRUE(setup.activate());
}

TEST(ClassroomSetupSteps, RejectedClass_ChoosesAgainAndWaitsForNoPanel)
{
    ClassroomSetup setup = reach(Step::SettingUp, Panel::Grouping);
    setup.classRejected();
    EXPECT_EQ(setup.step(), Step::ChoosingClass);
    EXPECT_EQ(setup.close(Panel::Grouping, true), Action::HidePanel);
    EXPECT_EQ(setup.close(Panel::Class, true), Action::LoadClass);
    EXPECT_EQ(setup.awaitedPanel(), Panel::Grouping);
}

TEST(ClassroomSetupSteps, OnlyFirstCallAfterSetup_LaysOutForCalling)
{
    ClassroomSetup setup = reach(Step::SettingUp, Panel::Timer);
    EXPECT_FALSE(setup.called()); // not set up yet
    setup.close(Panel::Timer, true);
    EXPECT_TRUE(setup.awaitingFirstCall());
    EXPECT_TRUE(setup.called());
    EXPECT_EQ(setup.step(), Step::Calling);
    EXPECT_FALSE(setup.called());
    EXPECT_FALSE(setup.awaitingFirstCall());
}

TEST(ClassroomSetupSteps, Queries_FollowTheSteps)
{
    struct Row {
        Step step;
        Panel awaited;
        bool classTaken;
        bool readyToCall;
    };
    const Row rows[] = {
        {Step::Opening, Panel::None, false, false},
        {Step::ChoosingClass, Panel::None, false, false},
        {Step::SettingUp, Panel::Scoring, true, false},
        {Step::Ready, Panel::None, true, true},
        {Step::Calling, Panel::None, true, true},
    };
    for (const Row& row : rows) {
        const ClassroomSetup setup = reach(row.step, row.awaited);
        EXPECT_EQ(setup.classTaken(), row.classTaken) << int(row.step);
        EXPECT_EQ(setup.readyToCall(), row.readyToCall) << int(row.step);
    }
}
