// The prize window's draw state, driven without a window: the choice list,
// the ticket rule, starting a draw, the rolling picks and the awards.
#include "prizedraw/logic/PrizeDrawSession.h"
#include "prizedraw/logic/PrizeAward.h"

#include "Fakes.h"

#include <gtest/gtest.h>

using namespace zelvano;
using zelvano::testing::ScriptedRandom;

namespace
{

struct Row {
    const char* level;
    const char* name;
    int remaining;
};

// Prize rows from row 3, people from row 21 ("1 甲", "2 乙" ...); a person
// given a level has won it.
PrizeSheetData sheet(std::initializer_list<Row> prizes, std::initializer_list<const char*> people,
                     std::initializer_list<const char*> won = {})
{
    PrizeSheetData data;
    data.title = QStringLiteral("年会抽奖");
    data.subtitle = QStringLiteral("工会");
    for (const Row& row : prizes) {
        const int n = static_cast<int>(data.prizes.size());
        data.prizes.push_back({kFirstPrizeRow + n, QString::fromUtf8(row.level),
                               QString::fromUtf8(row.name), QString(), row.remaining, 0});
    }
    auto level = won.begin();
    for (const char* name : people) {
        const int n = static_cast<int>(data.people.size());
        Entrant person{kFirstNameRow + n, QString::number(n + 1), QString::fromUtf8(name), {}, {}};
        if (level != won.end())
            person.levelWon = QString::fromUtf8(*level++);
        data.people.push_back(person);
    }
    return data;
}

PrizeDrawSession loaded(PrizeMode mode, PrizeSheetData data, bool withoutNames = false)
{
    PrizeDrawSession session(mode);
    session.setWithoutNames(withoutNames);
    session.load(std::move(data));
    return session;
}

// --- The choice list beside the start button ---------------------------------

struct LevelCase {
    const char* name;
    std::vector<int> remaining; // of three rows: 一等奖, 一等奖, 二等奖
    int selected;               // the entry chosen in the list
    int prize;                  // the row it draws, 0-based
    bool usedUp;
};

class LevelChoice : public ::testing::TestWithParam<LevelCase>
{
};

TEST_P(LevelChoice, MapsToTheFirstRowOfItsLevelWithUnitsLeft)
{
    const LevelCase& c = GetParam();
    PrizeSheetData data = sheet({{"一等奖", "台灯", c.remaining[0]},
                                 {"一等奖", "台历", c.remaining[1]},
                                 {"二等奖", "笔", c.remaining[2]}},
                                {"甲"});
    PrizeDrawSession session = loaded(PrizeMode::FixedPrize, data);
    session.selectChoice(c.selected);
    const PrizeChoice choice = session.currentChoice();
    EXPECT_EQ(choice.kind, PrizeChoice::Kind::Prize);
    EXPECT_EQ(choice.index, c.prize);
    EXPECT_EQ(choice.usedUp, c.usedUp);
}

const LevelCase kLevelCases[] = {
    {"FirstRowOfLevel", {2, 1, 1}, 0, 0, false},
    {"SecondEntryOfSharedLevel_StillFirstRow", {2, 1, 1}, 1, 0, false},
    {"LastUnitOfRow_TakesEntry", {1, 1, 1}, 0, 0, true},
    {"FirstRowUsedUp_SecondRowDrawn", {0, 3, 1}, 0, 1, false},
    {"OtherLevel", {1, 1, 4}, 2, 2, false},
};
INSTANTIATE_TEST_SUITE_P(Levels, LevelChoice, ::testing::ValuesIn(kLevelCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PrizeDrawSession, LevelWhoseRowsAreAllUsedUp_LeavesTheChoices_HoweverItWasDrawn)
{
    PrizeDrawSession session = loaded(
        PrizeMode::FixedPrize, sheet({{"一等奖", "台灯", 1}, {"一等奖", "台历", 1}}, {"甲"}));
    ASSERT_EQ(session.choices(), (QStringList{"一等奖", "一等奖"}));
    session.awarded("一等奖", "台灯"); // nothing chosen: no award
    ASSERT_TRUE(session.choosePrize(0));
    session.awarded("一等奖", "台灯");
    EXPECT_EQ(session.choices(), QStringList{"一等奖"});
    ASSERT_TRUE(session.choosePrize(1));
    session.awarded("一等奖", "台历");
    EXPECT_TRUE(session.choices().isEmpty());
    EXPECT_EQ(session.currentChoice().kind, PrizeChoice::Kind::None);
}

TEST(PrizeDrawSession, PersonChoice_FindsThePersonByCaption_AndIsAlwaysTaken)
{
    PrizeDrawSession session = loaded(
        PrizeMode::FixedPerson, sheet({{"一等奖", "台灯", 2}}, {"甲", "乙", "丙"}, {"一等奖"}));
    // Who has won is not listed.
    ASSERT_EQ(session.choices(), (QStringList{"2 乙", "3 丙"}));
    session.selectChoice(1);
    PrizeChoice choice = session.currentChoice();
    EXPECT_EQ(choice.kind, PrizeChoice::Kind::Person);
    EXPECT_EQ(choice.index, 2);
    EXPECT_TRUE(choice.usedUp);
    session.dropChoice();
    EXPECT_EQ(session.choices(), QStringList{"2 乙"});
    EXPECT_EQ(session.choiceIndex(), 0);
    session.dropChoice();
    EXPECT_EQ(session.choiceIndex(), -1);
    EXPECT_EQ(session.currentChoice().kind, PrizeChoice::Kind::None);
}

TEST(PrizeDrawSession, WithoutNames_StartButtonDrawsAtOnce_AndNoNamesMenuApplies)
{
    PrizeDrawSession session =
        loaded(PrizeMode::FixedPerson, sheet({{"一等奖", "台灯", 2}}, {"甲"}), true);
    EXPECT_EQ(session.currentChoice().kind, PrizeChoice::Kind::WithoutNames);
    EXPECT_FALSE(session.choiceMenuApplies());
    EXPECT_EQ(session.chosenPerson(), -1);
    session.setWithoutNames(false);
    EXPECT_EQ(session.chosenPerson(), 0);
    EXPECT_TRUE(session.choiceMenuApplies());
    // The fixed-prize draw always offers its levels.
    EXPECT_TRUE(loaded(PrizeMode::FixedPrize, sheet({}, {}), true).choiceMenuApplies());
}

// --- Starting a draw -------------------------------------------------------------

struct StartCase {
    const char* name;
    PrizeMode mode;
    int remaining; // of the only prize
    bool withoutNames;
    int chosen;     // prize (fixed prize) or person (fixed person) chosen, -1 none
    bool personWon; // both people have won already
    DrawStart start;
    PrizeDisplay display;
};

class Starting : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(Starting, DecidesFromTheData)
{
    const StartCase& c = GetParam();
    const char* won = c.personWon ? "三等奖" : "";
    PrizeDrawSession session = loaded(
        c.mode, sheet({{"二等奖", "笔", c.remaining}}, {"甲", "乙"}, {won, won}), c.withoutNames);
    if (c.chosen >= 0) {
        ASSERT_TRUE(c.mode == PrizeMode::FixedPrize ? session.choosePrize(c.chosen)
                                                    : session.choosePerson(c.chosen));
    }
    EXPECT_EQ(session.start(), c.start);
    EXPECT_EQ(session.display(), c.display);
}

const StartCase kStartCases[] = {
    {"FixedPrize_NothingChosen_OffersLevels", PrizeMode::FixedPrize, 2, false, -1, false,
     DrawStart::ChooseFromMenu, PrizeDisplay::Title},
    {"FixedPrize_Chosen_Rolls", PrizeMode::FixedPrize, 2, false, 0, false, DrawStart::Roll,
     PrizeDisplay::Title},
    {"FixedPrize_NoUnitsLeft_Exhausted", PrizeMode::FixedPrize, 0, false, 0, false,
     DrawStart::Exhausted, PrizeDisplay::Exhausted},
    {"FixedPrize_EverybodyWon_Finished", PrizeMode::FixedPrize, 2, false, 0, true,
     DrawStart::Finished, PrizeDisplay::Finished},
    {"FixedPerson_NobodyChosen_OffersNames", PrizeMode::FixedPerson, 2, false, -1, false,
     DrawStart::ChooseFromMenu, PrizeDisplay::Title},
    {"FixedPerson_Chosen_Rolls", PrizeMode::FixedPerson, 2, false, 1, false, DrawStart::Roll,
     PrizeDisplay::Title},
    {"FixedPerson_ChosenHasWon_OffersNames", PrizeMode::FixedPerson, 2, false, 0, true,
     DrawStart::ChooseFromMenu, PrizeDisplay::Title},
    {"FixedPerson_WithoutNames_Rolls", PrizeMode::FixedPerson, 2, true, -1, false, DrawStart::Roll,
     PrizeDisplay::Title},
    {"FixedPerson_NoTicketsLeft_Finished", PrizeMode::FixedPerson, 0, false, 1, false,
     DrawStart::Finished, PrizeDisplay::Finished},
};
INSTANTIATE_TEST_SUITE_P(Starts, Starting, ::testing::ValuesIn(kStartCases),
                         [](const auto& test) { return std::string(test.param.name); });

// --- Rolling and the award -------------------------------------------------------

TEST(PrizeDrawSession, FixedPerson_TicketsFollowUnitsLeft_AndAPickShowsItsPrize)
{
    PrizeDrawSession session = loaded(
        PrizeMode::FixedPerson,
        sheet({{"一等奖", "台灯", 2}, {"二等奖", "笔", 0}, {"三等奖", "本", 3}}, {"甲", "乙"}));
    EXPECT_EQ(session.tickets(), (std::vector<int>{3, 3, 5, 5, 5}));
    EXPECT_EQ(session.pool().entries(), session.tickets());
    ASSERT_TRUE(session.choosePerson(1));
    EXPECT_EQ(session.personText(), QStringLiteral("2\r\n乙"));
    ScriptedRandom random;
    random.picks = {4};
    ASSERT_TRUE(session.rollStep(random));
    EXPECT_EQ(session.chosenPrize(), 3);
    EXPECT_EQ(session.display(), PrizeDisplay::Prize);
    EXPECT_TRUE(session.textBesidePanel());
    EXPECT_TRUE(session.showsPrizePicture());
    EXPECT_EQ(session.mainText(), QStringLiteral("\r\n三等奖 : 本"));

    EXPECT_EQ(session.awarded("三等奖", "本子"), QStringLiteral("1  2\r\n乙获三等奖,本子"));
    session.removeDrawn();
    EXPECT_EQ(session.pool().entries(), (std::vector<int>{3, 3, 5, 5}));
    EXPECT_EQ(session.sheet().prizes[2].remaining, 2);
    EXPECT_EQ(session.sheet().prizes[2].used, 1);
    EXPECT_FALSE(session.personOpen(1));
    EXPECT_TRUE(session.personOpen(0));
    EXPECT_EQ(session.sheet().people[1].prizeWon, QStringLiteral("本子"));
    EXPECT_EQ(session.start(), DrawStart::ChooseFromMenu);
}

TEST(PrizeDrawSession, FixedPrize_PickShowsThePerson_AndTheLastUnitClosesThePrize)
{
    PrizeDrawSession session = loaded(
        PrizeMode::FixedPrize, sheet({{"一等奖", "台灯", 1}}, {"甲", "乙", "丙"}, {"", "一等奖"}));
    EXPECT_EQ(session.pool().entries(), (std::vector<int>{21, 23}));
    ASSERT_TRUE(session.choosePrize(0));
    ASSERT_TRUE(session.showPrize());
    ScriptedRandom random;
    random.picks = {2};
    ASSERT_TRUE(session.rollStep(random));
    EXPECT_EQ(session.chosenPerson(), 3);
    EXPECT_EQ(session.winnerDisplay(), QStringLiteral("3\r\n丙"));
    EXPECT_EQ(session.awarded("一等奖", "台灯"), QStringLiteral("1  3\r\n丙获一等奖,台灯"));
    EXPECT_FALSE(session.prizeOpen(0));
    EXPECT_EQ(session.start(), DrawStart::Exhausted);
    EXPECT_EQ(session.mainText(), QStringLiteral("\r\n一等奖\r\n\r\n奖品已经领完"));
    EXPECT_TRUE(session.personText().isEmpty());
    EXPECT_FALSE(session.showsPrizePicture());
}

TEST(PrizeDrawSession, WithoutNames_AwardsThePrizeOnly_AndNumbersRestart)
{
    PrizeDrawSession session =
        loaded(PrizeMode::FixedPerson, sheet({{"一等奖", "台灯", 3}}, {"甲"}), true);
    ScriptedRandom random;
    ASSERT_TRUE(session.rollStep(random));
    EXPECT_EQ(session.winner(), nullptr);
    EXPECT_EQ(session.awarded("一等奖", "台灯"), QStringLiteral("1  获一等奖,台灯"));
    EXPECT_EQ(session.awarded("一等奖", "台灯"), QStringLiteral("2  获一等奖,台灯"));
    EXPECT_TRUE(session.personOpen(0));
    session.restartNumbering();
    EXPECT_EQ(session.awarded("一等奖", "台灯"), QStringLiteral("1  获一等奖,台灯"));
    EXPECT_EQ(session.awardCount(), 1);
}

TEST(PrizeDrawSession, Reload_StartsOver_KeepingTheNameBox)
{
    PrizeDrawSession session(PrizeMode::FixedPrize);
    EXPECT_EQ(session.display(), PrizeDisplay::Starting);
    EXPECT_EQ(session.start(), DrawStart::Finished);
    session.load(sheet({{"一等奖", "台灯", 1}}, {"甲"}));
    ASSERT_TRUE(session.choosePrize(0));
    ASSERT_TRUE(session.choosePerson(0));
    session.load(sheet({{"二等奖", "笔", 2}}, {"乙", "丙"}));
    EXPECT_EQ(session.chosenPrize(), 0);
    EXPECT_EQ(session.chosenPerson(), 0);
    EXPECT_TRUE(session.personText().isEmpty());
    EXPECT_EQ(session.display(), PrizeDisplay::Title);
    EXPECT_EQ(session.mainText(), QStringLiteral("\r\n年会抽奖\r\n\r\n工会"));
    EXPECT_EQ(session.choices(), QStringList{"二等奖"});
    EXPECT_FALSE(session.choosePrize(1));
    EXPECT_FALSE(session.choosePerson(2));
}

// --- Voiding the newest award ------------------------------------------------------

// Draws with the pick given and makes the award, as the window does: the
// choice taken at the start, the drawn entry out of the pool.
void drawAndAward(PrizeDrawSession& session, int pick)
{
    if (session.fixedPerson())
        ASSERT_TRUE(session.choosePerson(1)); // 乙
    else
        ASSERT_TRUE(session.choosePrize(0));
    if (session.currentChoice().usedUp)
        session.dropChoice();
    ScriptedRandom random;
    random.picks = {pick};
    ASSERT_TRUE(session.rollStep(random));
    const Prize& prize = *session.awardPrize();
    session.awarded(prize.level, prize.name, std::make_shared<AwardRecord>(AwardTarget{}));
    session.removeDrawn();
}

struct VoidCase {
    const char* name;
    PrizeMode mode;
    int firstUnits; // of 一等奖 台灯; 二等奖 笔 has 1
    int pick;
    std::vector<int> poolAfter;
    QStringList choicesAfter;
};

void PrintTo(const VoidCase& c, std::ostream* os)
{
    *os << c.name;
}

class PrizeVoid : public ::testing::TestWithParam<VoidCase>
{
};

TEST_P(PrizeVoid, RestoresThePrize_KeepsTheWinnerOut_AndTheChoicesFollow)
{
    const VoidCase& c = GetParam();
    PrizeDrawSession session = loaded(
        c.mode, sheet({{"一等奖", "台灯", c.firstUnits}, {"二等奖", "笔", 1}}, {"甲", "乙", "丙"}));
    const PrizeSheetData before = session.sheet();
    drawAndAward(session, c.pick);
    ASSERT_NE(session.newestAward(), nullptr);
    const StandingAward voided = session.voidNewest();
    EXPECT_EQ(session.newestAward(), nullptr);
    EXPECT_EQ(voided.personName, QStringLiteral("乙"));
    for (size_t i = 0; i < before.prizes.size(); ++i) {
        EXPECT_EQ(session.sheet().prizes[i].remaining, before.prizes[i].remaining);
        EXPECT_EQ(session.sheet().prizes[i].used, before.prizes[i].used);
    }
    EXPECT_FALSE(session.sheet().people[1].hasWon());
    EXPECT_FALSE(session.personOpen(1));
    EXPECT_EQ(session.pool().entries(), c.poolAfter);
    EXPECT_EQ(session.choices(), c.choicesAfter);
    EXPECT_EQ(session.display(), PrizeDisplay::Title);
    // A refresh keeps 乙 out; the reset lets 乙 back.
    session.load(before);
    EXPECT_FALSE(session.personOpen(1));
    session.clearVoided();
    session.load(before);
    EXPECT_TRUE(session.personOpen(1));
}

INSTANTIATE_TEST_SUITE_P(Cases, PrizeVoid,
                         ::testing::Values(VoidCase{"FixedPerson_TicketReturns",
                                                    PrizeMode::FixedPerson,
                                                    2,
                                                    3,
                                                    {3, 3, 4},
                                                    {"1 甲", "3 丙"}},
                                           VoidCase{"FixedPrize_LastUnit_LevelStaysOutForTheRedraw",
                                                    PrizeMode::FixedPrize,
                                                    1,
                                                    2,
                                                    {21, 23},
                                                    {"二等奖"}},
                                           VoidCase{"FixedPrize_UnitsLeft_LevelStays",
                                                    PrizeMode::FixedPrize,
                                                    3,
                                                    2,
                                                    {21, 23},
                                                    {"一等奖", "二等奖"}}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PrizeVoid, TwoVoids_TakeTheNewestFirst)
{
    PrizeDrawSession session =
        loaded(PrizeMode::FixedPrize, sheet({{"一等奖", "台灯", 3}}, {"甲", "乙", "丙"}));
    drawAndAward(session, 1); // 甲
    drawAndAward(session, 2); // 丙, the pool being 乙 丙
    EXPECT_EQ(session.voidNewest().personName, QStringLiteral("丙"));
    EXPECT_EQ(session.voidNewest().personName, QStringLiteral("甲"));
    EXPECT_EQ(session.voidNewest().record, nullptr); // nothing stands
    EXPECT_EQ(session.sheet().prizes[0].remaining, 3);
    EXPECT_EQ(session.pool().entries(), (std::vector<int>{22}));
}

} // namespace
