#include "draw/DrawSession.h"
#include "draw/Composition.h"

#include "Fakes.h"

#include <gtest/gtest.h>

using namespace zelvano;
using zelvano::testing::ScriptedRandom;

namespace
{

std::vector<QString> numbers(int first, int last)
{
    std::vector<QString> out;
    for (int i = first; i <= last; ++i)
        out.push_back(QString::number(i));
    return out;
}

struct Fixture : ::testing::Test {
    ScriptedRandom random;
    DrawSession session{random, numberDrawTexts(false)};

    void open(int valueCount, int groupCount, int groupSize)
    {
        session.setValues(numbers(1, valueCount));
        session.regroup(groupCount, groupSize, false);
    }
    QString draw()
    {
        session.next();
        session.endDraw();
        return session.view().calledKey;
    }
};

using DrawSessionTest = Fixture;

TEST_F(DrawSessionTest, RandomWithoutRepeat_ShowsEachValueOncePerCycle)
{
    open(5, 1, 5);
    random.picks = {3, 1, 3, 2, 1, 4};
    std::vector<QString> shown;
    for (int i = 0; i < 6; ++i)
        shown.push_back(draw());
    EXPECT_EQ(shown, (std::vector<QString>{"3", "1", "5", "4", "2", "4"}));
    EXPECT_EQ(session.poolSize(), 4);
    EXPECT_EQ(random.reseeds, 6);
}

TEST_F(DrawSessionTest, Repeat_KeepsDrawnAndChosenValuesInThePool)
{
    open(5, 1, 5);
    session.setRepeat(true);
    draw();
    session.pick(2);
    EXPECT_EQ(session.poolSize(), 5);
}

TEST_F(DrawSessionTest, SequentialStep_WrapsToFirstGroup_AfterLastMember)
{
    open(6, 3, 2);
    session.setOrder(DrawOrder::Sequential);
    QStringList lines;
    for (int i = 0; i < 7; ++i) {
        draw();
        lines << session.view().line;
    }
    EXPECT_EQ(lines.first(), QStringLiteral("第 1 组 1 号 ，1"));
    EXPECT_EQ(lines[3], QStringLiteral("第 2 组 2 号 ，4"));
    EXPECT_EQ(lines.last(), QStringLiteral("第 1 组 1 号 ，1"));
    // Each value shown left the pool, whatever its position there.
    EXPECT_EQ(session.poolSize(), 5);
}

TEST_F(DrawSessionTest, SequentialStep_StartsFromTheGroupTheTeacherSelected)
{
    open(12, 4, 3);
    session.selectGroup(2);
    session.setOrder(DrawOrder::Sequential);
    draw();
    EXPECT_EQ(session.view().line, QStringLiteral("第 3 组 1 号 ，7"));
}

TEST_F(DrawSessionTest, DirectChoice_SelectsItsGroupAndMember_AndTakesItOut)
{
    open(10, 3, 4);
    const DrawChange change = session.pick(9);
    EXPECT_TRUE(change.group && change.called);
    EXPECT_EQ(session.view().group, 2);
    EXPECT_EQ(session.view().member, 1);
    EXPECT_EQ(session.view().members, (std::vector<QString>{"9", "10"}));
    EXPECT_EQ(session.view().summary, QStringLiteral("10人分3组，第3组有2人"));
    EXPECT_EQ(session.poolSize(), 9);
    EXPECT_EQ(session.pool().find(QStringLiteral("10")), 0);
}

TEST_F(DrawSessionTest, HeldCalls_MoveTheSelectionOnly)
{
    open(6, 1, 6);
    session.selectMember(1);
    session.setCallsHeld(true);
    const DrawChange change = session.selectMember(4);
    EXPECT_FALSE(change.called);
    EXPECT_EQ(session.view().member, 4);
    EXPECT_EQ(session.view().calledKey, QStringLiteral("2"));
    // The draw at rest takes out the member selected, not the one called.
    session.endDraw();
    EXPECT_EQ(session.pool().find(QStringLiteral("5")), 0);
}

TEST_F(DrawSessionTest, NextGroup_WrapsAndNeedsTwoGroups)
{
    open(6, 3, 2);
    session.selectGroup(2);
    session.nextGroup();
    EXPECT_EQ(session.view().group, 0);
    open(6, 1, 6);
    EXPECT_FALSE(session.nextGroup().group);
}

TEST_F(DrawSessionTest, WithoutGroups_NothingIsDrawn)
{
    session.setValues(numbers(1, 3));
    EXPECT_FALSE(session.next().called);
    EXPECT_EQ(session.poolSize(), 3);
}

TEST_F(DrawSessionTest, SurplusGroup_ListsNoMembers_AndSummarySaysSo)
{
    open(10, 6, 2);
    session.selectGroup(5);
    EXPECT_TRUE(session.view().members.empty());
    EXPECT_EQ(session.view().summary, QStringLiteral("10人分6组，第6组有0人"));
    EXPECT_FALSE(session.selectGroup(5).group);
    EXPECT_FALSE(session.selectGroup(6).group);
}

TEST_F(DrawSessionTest, PoolApartFromTheList_IsWhatRandomDrawsComeFrom)
{
    DrawTexts texts;
    texts.entry = [](const QString& key) { return QStringLiteral("学生") + key; };
    DrawSession roll(random, texts);
    roll.setValues(numbers(1, 4));
    roll.setGroups({Group{4, numbers(1, 4)}});
    roll.setPool({QStringLiteral("2"), QStringLiteral("4")});
    random.picks = {2};
    roll.next();
    EXPECT_EQ(roll.view().calledKey, QStringLiteral("4"));
    EXPECT_EQ(roll.view().members.front(), QStringLiteral("学生1"));
}

struct CompositionCase {
    const char* name;
    bool seatMode;
    int composition;
    const char* result;
    const char* line;
};

class NumberTexts : public ::testing::TestWithParam<CompositionCase>
{
};

TEST_P(NumberTexts, ComposeTheCalledValue)
{
    const CompositionCase& c = GetParam();
    ScriptedRandom random;
    DrawSession session(random, numberDrawTexts(c.seatMode));
    session.setValues(c.seatMode ? std::vector<QString>{"1-1", "1-2", "2-1", "2-2"}
                                 : numbers(1, 4));
    session.regroup(2, 2, false);
    session.setComposition(c.composition);
    session.pick(3);
    EXPECT_EQ(session.view().result, QString::fromUtf8(c.result));
    EXPECT_EQ(session.view().line, QString::fromUtf8(c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Compositions, NumberTexts,
    ::testing::Values(
        CompositionCase{"ValueAlone", false, 0, "4", "第 2 组 2 号 ，4"},
        CompositionCase{"GroupAndValue", false, 1, "2组 \r\n4", "第 2 组 2 号 ，4"},
        CompositionCase{"GroupMemberValue", false, 2, "2组2号\r\n4", "第 2 组 2 号 ，4"},
        CompositionCase{"SeatAlone", true, 0, "2行\r\n2列", "第 2 组 2 号 ，2行2列"},
        CompositionCase{"SeatWithGroup", true, 1, "2组 \r\n2行2列", "第 2 组 2 号 ，2行2列"}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
