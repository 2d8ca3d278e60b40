#include "numberdraw/logic/NumberSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zelvano;

namespace
{

// One input of the setup: a value list made, a panel closed, a draw.
enum class Event { Values, CloseValues, CloseGrouping, CloseTimer, Draw };

struct SetupCase {
    const char* name;
    std::vector<Event> events;
    NumberSetupStep step;
    bool lastMovedOn; // what the last input answered
};

bool apply(NumberSetup& setup, Event event)
{
    switch (event) {
    case Event::Values:
        return setup.valuesLoaded();
    case Event::CloseValues:
        return setup.panelClosed(NumberPanel::Values);
    case Event::CloseGrouping:
        return setup.panelClosed(NumberPanel::Grouping);
    case Event::CloseTimer:
        return setup.panelClosed(NumberPanel::Timer);
    case Event::Draw:
        return setup.drawStarted();
    }
    return false;
}

class NumberSetupSteps : public ::testing::TestWithParam<SetupCase>
{
};

TEST_P(NumberSetupSteps, FollowTheInputs)
{
    const SetupCase& c = GetParam();
    NumberSetup setup;
    bool movedOn = false;
    for (Event event : c.events)
        movedOn = apply(setup, event);
    EXPECT_EQ(setup.step(), c.step);
    EXPECT_EQ(movedOn, c.lastMovedOn);
}

using E = Event;
using S = NumberSetupStep;
INSTANTIATE_TEST_SUITE_P(
    Setup, NumberSetupSteps,
    ::testing::Values(
        SetupCase{"PanelsInOrder_MakeItReady",
                  {E::Values, E::CloseValues, E::CloseGrouping, E::CloseTimer},
                  S::Ready,
                  true},
        SetupCase{"FirstDraw_IsTold",
                  {E::Values, E::CloseValues, E::CloseGrouping, E::CloseTimer, E::Draw},
                  S::Drawing,
                  true},
        SetupCase{"SecondDraw_IsNotFirst",
                  {E::Values, E::CloseValues, E::CloseGrouping, E::CloseTimer, E::Draw, E::Draw},
                  S::Drawing,
                  false},
        SetupCase{"PanelsOutOfOrder_OnlyHide",
                  {E::Values, E::CloseGrouping, E::CloseTimer},
                  S::Values,
                  false},
        SetupCase{"NoValueList_ValuePanelCloseStaysAtStart", {E::CloseValues}, S::Start, false},
        SetupCase{
            "DrawBeforeReady_IsNoDraw", {E::Values, E::CloseValues, E::Draw}, S::Grouping, false},
        SetupCase{"FirstList_IsNoStartOver", {E::Values}, S::Values, false},
        SetupCase{
            "NewListWhileEditingValues_IsNoStartOver", {E::Values, E::Values}, S::Values, false},
        SetupCase{"NewListAfterDraws_StartsOver",
                  {E::Values, E::CloseValues, E::CloseGrouping, E::CloseTimer, E::Draw, E::Values},
                  S::Values,
                  true},
        SetupCase{"NewListAfterSetup_AsksForGroupsAgain",
                  {E::Values, E::CloseValues, E::CloseGrouping, E::CloseTimer, E::Draw, E::Values,
                   E::CloseValues},
                  S::Grouping,
                  true}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NumberSetup, ClosingAPanelOfTheSetup_ShowsTheNextOne)
{
    NumberSetup setup;
    setup.valuesLoaded();
    setup.panelShown(NumberPanel::Values);
    EXPECT_TRUE(setup.panelClosed(NumberPanel::Values));
    EXPECT_FALSE(setup.isShown(NumberPanel::Values));
    EXPECT_TRUE(setup.isShown(NumberPanel::Grouping));
    EXPECT_FALSE(setup.isDone());
}

TEST(NumberSetup, PanelFromTheMenu_ClosesWithoutMovingOn)
{
    NumberSetup setup;
    for (NumberPanel panel : {NumberPanel::Values, NumberPanel::Grouping, NumberPanel::Timer}) {
        if (panel == NumberPanel::Values)
            setup.valuesLoaded();
        setup.panelClosed(panel);
    }
    ASSERT_TRUE(setup.isDone());
    setup.panelShown(NumberPanel::Grouping);
    EXPECT_TRUE(setup.isShown(NumberPanel::Grouping));
    EXPECT_FALSE(setup.panelClosed(NumberPanel::Grouping));
    EXPECT_FALSE(setup.isShown(NumberPanel::Grouping));
    EXPECT_EQ(setup.step(), NumberSetupStep::Ready);
}

} // namespace
