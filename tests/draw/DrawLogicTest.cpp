#include "draw/Composition.h"
#include "draw/DrawPool.h"
#include "draw/GroupCursor.h"
#include "draw/Grouping.h"
#include "draw/RollingSchedule.h"
#include "draw/ValueLists.h"
#include "shell/core/EntropyRandom.h"

#include "Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

using namespace zelvano;
using zelvano::testing::ScriptedRandom;

namespace
{

std::vector<int> countsOf(const std::vector<Group>& groups)
{
    std::vector<int> counts;
    for (const auto& g : groups)
        counts.push_back(g.count);
    return counts;
}

std::vector<QString> texts(std::initializer_list<const char*> items)
{
    std::vector<QString> out;
    for (const char* item : items)
        out.push_back(QString::fromUtf8(item));
    return out;
}

TEST(RollingSchedule, TwentyEightPicksStoppingAt535)
{
    RollingSchedule schedule;
    EXPECT_EQ(schedule.start(), 3);
    const std::vector<int> expected = {4,   5,   6,   7,   8,   10,  12,  14, 17,  20,
                                       24,  29,  35,  42,  50,  60,  72,  86, 103, 124,
                                       149, 179, 215, 258, 310, 372, 446, 535};
    std::vector<int> seen;
    for (;;) {
        const auto tick = schedule.tick();
        seen.push_back(tick.nextIntervalMs);
        if (tick.finished)
            break;
        ASSERT_LT(seen.size(), 100u);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(schedule.ticks(), 28);
}

TEST(RollingSchedule, WaitsAreMeasuredFromTheStartSoLateTicksCatchUp)
{
    RollingSchedule schedule;
    EXPECT_EQ(schedule.start(1000), 3);
    auto tick = schedule.tick(1003); // on time
    EXPECT_EQ(tick.delayMs, 4);
    EXPECT_EQ(schedule.latenessMs(), 0);
    tick = schedule.tick(1020); // 13 ms late after a slow repaint
    EXPECT_EQ(schedule.latenessMs(), 13);
    EXPECT_EQ(tick.delayMs, 0); // the next deadline (1012) has passed too
    // Ticks on their deadlines end the run 2660 ms after the start.
    RollingSchedule onTime;
    std::int64_t now = 5000;
    onTime.start(now);
    now += 3;
    for (;;) {
        const auto t = onTime.tick(now);
        if (t.finished)
            break;
        now += t.delayMs;
    }
    EXPECT_EQ(now - 5000, RollingSchedule::kNominalRunMs);
}

TEST(DrawPool, WithoutRepeatEveryValueOncePerCycleThenRefills)
{
    EntropyRandom random;
    DrawPool<QString> pool;
    const auto values = numberRange(1, 12);
    pool.reset(values);
    for (int cycle = 0; cycle < 3; ++cycle) {
        std::multiset<QString> drawn;
        for (size_t i = 0; i < values.size(); ++i) {
            ASSERT_GE(pool.pickRandom(random), 1);
            drawn.insert(pool.at(pool.drawnIndex()));
            pool.removeDrawn();
        }
        EXPECT_EQ(drawn, std::multiset<QString>(values.begin(), values.end()));
        EXPECT_EQ(pool.size(), 12); // refilled at once, no message
    }
}

TEST(DrawPool, RemovalKeepsOrderOfTheRest)
{
    DrawPool<QString> pool;
    pool.reset(texts({"a", "b", "c", "d"}));
    ScriptedRandom random;
    random.picks = {2};
    pool.pickRandom(random);
    pool.removeDrawn();
    EXPECT_EQ(pool.entries(), texts({"a", "c", "d"}));
    pool.removeValue("d");
    EXPECT_EQ(pool.entries(), texts({"a", "c"}));
    pool.removeValue("zz"); // not in the pool: nothing leaves
    pool.removeAt(0);
    pool.removeAt(9);
    EXPECT_EQ(pool.entries(), texts({"a", "c"}));
}

TEST(DrawPool, SingleValueAlwaysDrawnAndEmptyListPicksNothing)
{
    ScriptedRandom random;
    DrawPool<QString> pool;
    pool.reset(texts({"7"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pool.pickRandom(random), 1);
        EXPECT_EQ(pool.at(1), "7");
        pool.removeDrawn();
        EXPECT_EQ(pool.size(), 1);
    }
    pool.reset({});
    EXPECT_EQ(pool.pickRandom(random), 0);
    pool.removeDrawn();
    EXPECT_EQ(pool.size(), 0);
}

TEST(DrawPool, PoolWithoutRefillRunsOut)
{
    DrawPool<int> prizes(false);
    prizes.reset({1, 2});
    prizes.removeAt(1);
    prizes.removeAt(1);
    EXPECT_TRUE(prizes.empty());
    EntropyRandom random;
    EXPECT_EQ(prizes.pickRandom(random), 0);
}

// Picks from small and odd-sized pools with the real entropy-seeded source
// spread evenly: a chi-square bound a fair source passes with overwhelming
// probability, and a biased one (say, r x n rounded) fails.
TEST(DrawPool, RealSourcePicksEvenlyFromSmallOddPools)
{
    EntropyRandom random;
    for (int n : {2, 3, 7, 11}) {
        DrawPool<int> pool;
        std::vector<int> values(static_cast<size_t>(n));
        std::iota(values.begin(), values.end(), 1);
        pool.reset(values);
        std::vector<int> counts(static_cast<size_t>(n) + 1, 0);
        const int draws = 6000 * n;
        for (int i = 0; i < draws; ++i) {
            random.reseed();
            ++counts[static_cast<size_t>(pool.pickRandom(random))];
        }
        EXPECT_EQ(counts[0], 0);
        const double expected = double(draws) / n;
        double chi = 0;
        for (int k = 1; k <= n; ++k)
            chi += (counts[static_cast<size_t>(k)] - expected) *
                   (counts[static_cast<size_t>(k)] - expected) / expected;
        // 0.999999 quantile of chi-square with up to 10 degrees of freedom is below 50.
        EXPECT_LT(chi, 50.0) << "pool of " << n;
    }
}

struct InputCase {
    const char* name;
    int box;
    const char* text;
    int n;
    int bound;
    bool accepted;
    int groupCount;
    int groupSize;
};

class GroupInputTable : public ::testing::TestWithParam<InputCase>
{
};

TEST_P(GroupInputTable, DerivesTheOtherNumber)
{
    const auto& c = GetParam();
    const GroupInput input = applyGroupInput(c.box, QString::fromUtf8(c.text), c.n, c.bound);
    EXPECT_EQ(input.accepted, c.accepted);
    if (c.accepted) {
        EXPECT_EQ(input.groupCount, c.groupCount);
        EXPECT_EQ(input.groupSize, c.groupSize);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grouping, GroupInputTable,
    ::testing::Values(InputCase{"Size3Of10", 1, "3", 10, 10, true, 4, 3},
                      InputCase{"Count4Of10", 0, "4", 10, 10, true, 4, 3},
                      InputCase{"Count6Of10", 0, "6", 10, 10, true, 6, 2},
                      InputCase{"Count7Of11", 0, "7", 11, 11, true, 7, 2},
                      InputCase{"Size1", 1, "1", 10, 10, true, 10, 1},
                      InputCase{"CountRoundsHalfToEven", 0, "2.5", 10, 10, true, 2, 5},
                      InputCase{"Zero", 0, "0", 10, 10, false, 0, 0},
                      InputCase{"Negative", 1, "-2", 10, 10, false, 0, 0},
                      InputCase{"Text", 0, "abc", 10, 10, false, 0, 0},
                      InputCase{"AboveN", 0, "11", 10, 10, false, 0, 0},
                      InputCase{"EmptyList", 0, "1", 0, 0, false, 0, 0},
                      InputCase{"ClassroomSizeNPlusOne", 1, "11", 10, 11, true, 1, 11}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Grouping, RangeMessagesNameTheBound)
{
    EXPECT_EQ(applyGroupInput(0, "0", 10, 10).message, "请输入正确的组数，值范围为[1~10]");
    EXPECT_EQ(applyGroupInput(1, "x", 10, 10).message, "请输入每组的人数，值范围为[1~10]");
    EXPECT_EQ(applyGroupInput(0, "1", 0, 0).message, "请输入正确的组数，值范围为[1~0]");
}

TEST(Grouping, CountsIncludingSurplusGroups)
{
    ScriptedRandom random;
    const auto ten = numberRange(1, 10);
    EXPECT_EQ(countsOf(buildGroups(ten, 4, 3, false, random)), (std::vector<int>{3, 3, 3, 1}));
    EXPECT_EQ(countsOf(buildGroups(ten, 6, 2, false, random)),
              (std::vector<int>{2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(countsOf(buildGroups(ten, 10, 1, false, random)), std::vector<int>(10, 1));
    const auto eleven = numberRange(1, 11);
    const auto sequential = buildGroups(eleven, 7, 2, false, random);
    EXPECT_EQ(countsOf(sequential), (std::vector<int>{2, 2, 2, 2, 2, 1, 1}));
    EXPECT_EQ(sequential[5].members, texts({"11"}));
    EXPECT_EQ(sequential[6].members, texts({""})); // an empty slot, shown as an empty line
    EntropyRandom entropy;
    EXPECT_EQ(countsOf(buildGroups(eleven, 7, 2, true, entropy)), countsOf(sequential));
    EXPECT_EQ(groupSummary(10, 6, 6, 0), "10人分6组，第6组有0人");
    EXPECT_EQ(groupSummary(48, 6, 1, 8), "48人分6组，第1组有8人");
}

TEST(Grouping, RandomPlacesEveryValueOnceWithoutReseeding)
{
    ScriptedRandom random;
    random.picks = {3, 1, 2, 1};
    const auto groups = buildGroups(texts({"a", "b", "c", "d"}), 2, 2, true, random);
    EXPECT_EQ(groups[0].members, texts({"c", "a"}));
    EXPECT_EQ(groups[1].members, texts({"d", "b"}));
    EXPECT_EQ(random.counts, (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(random.reseeds, 0);
}

TEST(ValueLists, NumberRangeAndSeats)
{
    EXPECT_EQ(numberRange(3, 5), texts({"3", "4", "5"}));
    EXPECT_TRUE(numberRange(5, 3).empty());
    EXPECT_EQ(numberRange(-32768, 32767).size(), size_t(kMaxValues));
    const auto seats = seatList(3, 4);
    ASSERT_EQ(seats.size(), 12u);
    EXPECT_EQ(seats.front(), "1-1");
    EXPECT_EQ(seats[4], "2-1");
    EXPECT_EQ(seats.back(), "3-4");
    EXPECT_TRUE(seatList(0, 4).empty());
    EXPECT_TRUE(seatList(3, -1).empty());
    EXPECT_EQ(seatList(32767, 32767).size(), size_t(kMaxValues));
}

TEST(ValueLists, AddBoxTakesNewPositiveNumbersOnly)
{
    EXPECT_EQ(numbersToAdd("5，6, 7,0,-3,abc,6", {}), texts({"5", "6", "7"}));
    EXPECT_EQ(numbersToAdd("5，6, 7,0,-3,abc,6", texts({"6"})), texts({"5", "7"}));
    EXPECT_EQ(numbersToAdd(" 007 ", {}), texts({"7"}));
    EXPECT_EQ(numbersToAdd("7", texts({"007"})), std::vector<QString>{});
    EXPECT_EQ(numbersToAdd("100,200", {}), texts({"100", "200"}));
    EXPECT_EQ(numbersToAdd("", {}), std::vector<QString>{});
}

TEST(ValueLists, AddBoxInSeatModeTakesSeatLabels)
{
    EXPECT_EQ(seatsToAdd("1-1,1-2，3-5, 03-6, 0-1, 4, a-b, 9-1, 3-7", texts({"1-1"}), 8, 6),
              texts({"1-2", "3-5", "3-6"}));
}

TEST(ValueLists, SeatsAddedAfterClearing_AreTakenWithoutAHall)
{
    // Clearing leaves 1 row and 0 columns; a hand-made seat list follows.
    EXPECT_EQ(seatsToAdd("3-5,40-2,0-1,2-0,7", {}, 1, 0), texts({"3-5", "40-2"}));
}

TEST(ValueLists, SeatCaptionsAndPreview)
{
    EXPECT_EQ(seatCaption("3-4"), "3行4列");
    EXPECT_EQ(previewText("3-12", true), "3行\r\n12列");
    EXPECT_EQ(previewText("15", false), "15");
}

TEST(Composition, ThreeCompositions)
{
    EXPECT_EQ(composeResult(0, 2, 3, "15", false), "15");
    EXPECT_EQ(composeResult(0, 2, 3, seatCaption("12-3"), true), "12行\r\n3列");
    EXPECT_EQ(composeResult(1, 2, 3, "15", false), "2组 \r\n15");
    EXPECT_EQ(composeResult(2, 2, 3, "15", false), "2组3号\r\n15");
    EXPECT_EQ(composeResult(2, 1, 1, seatCaption("10-2"), true), "1组1号\r\n10行2列");
    EXPECT_EQ(memberLine(2, 3, "15"), "第 2 组 3 号 ，15");
}

TEST(GroupCursor, SequentialStepsWrap)
{
    ScriptedRandom random;
    const auto one = buildGroups(numberRange(1, 3), 1, 3, false, random);
    EXPECT_EQ(sequentialStep(one, {0, 2}), (GroupSelection{0, 0}));
    EXPECT_EQ(sequentialStep(one, {0, 0}), (GroupSelection{0, 1}));
    EXPECT_EQ(sequentialStep(one, {0, -1}), (GroupSelection{0, 0}));

    const auto three = buildGroups(numberRange(1, 6), 3, 2, false, random);
    EXPECT_EQ(sequentialStep(three, {0, 1}), (GroupSelection{1, 0}));
    EXPECT_EQ(sequentialStep(three, {2, 1}), (GroupSelection{0, 0}));

    // Places without a value are passed over: a surplus group, an empty slot.
    const auto surplus = buildGroups(numberRange(1, 10), 6, 2, false, random);
    EXPECT_EQ(sequentialStep(surplus, {4, 1}), (GroupSelection{0, 0}));
    const auto slot = buildGroups(numberRange(1, 11), 7, 2, false, random);
    EXPECT_EQ(sequentialStep(slot, {5, 0}), (GroupSelection{0, 0}));
    const auto none = buildGroups({}, 1, 0, false, random);
    EXPECT_EQ(sequentialStep(none, {0, -1}), (GroupSelection{0, -1}));
}

TEST(GroupCursor, FindsFirstMemberHoldingValue)
{
    ScriptedRandom random;
    const auto groups = buildGroups(numberRange(1, 10), 4, 3, false, random);
    EXPECT_EQ(findInGroups(groups, "8"), (GroupSelection{2, 1}));
    EXPECT_EQ(findInGroups(groups, "10"), (GroupSelection{3, 0}));
    EXPECT_FALSE(findInGroups(groups, "11").has_value());
}

} // namespace
