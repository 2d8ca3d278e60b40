// The prize window's guided start, driven without a window.
#include "prizedraw/logic/PrizeSetup.h"

#include <gtest/gtest.h>

#include <optional>

using namespace zelvano;

namespace
{

enum class Event { End, SheetRead, Reread, CloseWithNames, CloseWithoutNames, DrawAsked };

struct Transition {
    const char* name;
    PrizeStep from;
    Event event;
    PrizeStep to;
    std::optional<PanelClose> close; // what closing the panel leads to
};

// Brings a fresh machine to `step` along the window's own path.
PrizeSetup at(PrizeStep step)
{
    PrizeSetup setup;
    if (step == PrizeStep::Ended) {
        setup.end();
        return setup;
    }
    const PrizeStep path[] = {PrizeStep::ConfirmPrizes, PrizeStep::ConfirmNames, PrizeStep::Ready,
                              PrizeStep::Drawing};
    for (PrizeStep next : path) {
        if (setup.step() == step)
            break;
        if (next == PrizeStep::ConfirmPrizes)
            setup.sheetRead();
        else if (next == PrizeStep::Drawing)
            setup.drawAsked();
        else
            setup.closePanel(true);
    }
    return setup;
}

class PrizeSetupTransitions : public testing::TestWithParam<Transition>
{
};

TEST_P(PrizeSetupTransitions, LeadsToStep)
{
    const Transition& t = GetParam();
    PrizeSetup setup = at(t.from);
    ASSERT_EQ(setup.step(), t.from);
    std::optional<PanelClose> close;
    switch (t.event) {
    case Event::End:
        setup.end();
        break;
    case Event::SheetRead:
        setup.sheetRead();
        break;
    case Event::Reread:
        setup.reread();
        break;
    case Event::CloseWithNames:
        close = setup.closePanel(true);
        break;
    case Event::CloseWithoutNames:
        close = setup.closePanel(false);
        break;
    case Event::DrawAsked:
        setup.drawAsked();
        break;
    }
    EXPECT_EQ(setup.step(), t.to);
    EXPECT_EQ(close, t.close);
}

using S = PrizeStep;
using E = Event;
const Transition kTransitions[] = {
    {"ReadingPutsPrizesUp", S::Unread, E::SheetRead, S::ConfirmPrizes, {}},
    {"MissingBookEnds", S::Unread, E::End, S::Ended, {}},
    {"PrizesConfirmed_NamesFollow", S::ConfirmPrizes, E::CloseWithNames, S::ConfirmNames,
     PanelClose::ShowNames},
    {"PrizesConfirmed_WithoutNamesFinishes", S::ConfirmPrizes, E::CloseWithoutNames, S::Ready,
     PanelClose::Finish},
    {"NamesConfirmed_Finishes", S::ConfirmNames, E::CloseWithNames, S::Ready, PanelClose::Finish},
    {"NamesConfirmed_BoxTickedMeanwhile_Finishes", S::ConfirmNames, E::CloseWithoutNames, S::Ready,
     PanelClose::Finish},
    {"MenuPanelWhenReady_OnlyCloses", S::Ready, E::CloseWithNames, S::Ready, PanelClose::Close},
    {"MenuPanelWhileDrawing_OnlyCloses", S::Drawing, E::CloseWithoutNames, S::Drawing,
     PanelClose::Close},
    {"PanelBeforeReading_OnlyCloses", S::Unread, E::CloseWithNames, S::Unread, PanelClose::Close},
    {"PanelAfterEnd_OnlyCloses", S::Ended, E::CloseWithNames, S::Ended, PanelClose::Close},
    {"FirstDrawEndsSetup", S::Ready, E::DrawAsked, S::Drawing, {}},
    {"DrawBeforeConfirming_StaysPut", S::ConfirmPrizes, E::DrawAsked, S::ConfirmPrizes, {}},
    {"LaterDraws_StayDrawing", S::Drawing, E::DrawAsked, S::Drawing, {}},
    {"SecondReadingWithoutRefresh_Ignored", S::Drawing, E::SheetRead, S::Drawing, {}},
    {"RefreshWhileDrawing_ReadsAgain", S::Drawing, E::Reread, S::Unread, {}},
    {"RefreshWhileConfirmingNames_ReadsAgain", S::ConfirmNames, E::Reread, S::Unread, {}},
    {"RefreshAfterEnd_StaysEnded", S::Ended, E::Reread, S::Ended, {}},
    {"ReadingAfterEnd_StaysEnded", S::Ended, E::SheetRead, S::Ended, {}},
};

INSTANTIATE_TEST_SUITE_P(Steps, PrizeSetupTransitions, testing::ValuesIn(kTransitions),
                         [](const testing::TestParamInfo<Transition>& test) {
                             return std::string(test.param.name);
                         });

TEST(PrizeSetup, ReadingAndDrawing_FollowTheStep)
{
    struct Row {
        PrizeStep step;
        bool reads;
        bool draws;
    };
    const Row rows[] = {{S::Unread, true, false},        {S::ConfirmPrizes, false, false},
                        {S::ConfirmNames, false, false}, {S::Ready, false, true},
                        {S::Drawing, false, true},       {S::Ended, false, false}};
    for (const Row& row : rows) {
        const PrizeSetup setup = at(row.step);
        EXPECT_EQ(setup.needsReading(), row.reads) << static_cast<int>(row.step);
        EXPECT_EQ(setup.canDraw(), row.draws) << static_cast<int>(row.step);
    }
}

} // namespace
