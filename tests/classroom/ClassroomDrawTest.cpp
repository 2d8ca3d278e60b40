// The classroom's draw as the session runs it: the lesson's pool and the
// texts a called roster position is shown with.
#include "classroom/logic/RollCallText.h"
#include "classroom/logic/Scoring.h"

#include "Fakes.h"

#include <gtest/gtest.h>

#include <map>

using namespace zelvano;
using zelvano::testing::ScriptedRandom;
using zelvano::xls::CellValue;

namespace
{

constexpr int kColumn = 7;

// Persons 1..n in rows 3..n+2, numbered 100+k and named P1..Pn, with a
// score in the lesson's column for the positions in `scored`.
struct ClassSheet {
    std::map<std::pair<int, int>, CellValue> cells;
    std::vector<Person> persons;

    ClassSheet(int n, std::initializer_list<int> scored)
    {
        for (int k = 1; k <= n; ++k)
            persons.push_back({QString::number(100 + k), QStringLiteral("P%1").arg(k), k + 2});
        for (int k : scored)
            cells[{k + 2, kColumn}] = CellValue::ofNumber(5);
    }
    CellReader reader() const
    {
        return [this](int row, int col) {
            const auto it = cells.find({row, col});
            return it == cells.end() ? CellValue{} : it->second;
        };
    }
};

struct ClassroomDraw : ::testing::Test {
    ScriptedRandom random;
    std::vector<Person> roster;
    DrawSession session{random, classroomDrawTexts(roster)};

    // Random draws without repeat; the keys called.
    std::vector<QString> draw(int times)
    {
        std::vector<QString> called;
        for (int i = 0; i < times; ++i) {
            session.next();
            session.endDraw();
            called.push_back(session.view().calledKey);
        }
        return called;
    }
};

} // namespace

TEST_F(ClassroomDraw, ScorePool_DrawsTheUnscoredFirst_ThenTheWholeClassAgain)
{
    const ClassSheet sheet(5, {1, 3, 4});
    roster = sheet.persons;
    fillScorePool(session, roster, sheet.reader(), kColumn);
    session.setGroups({Group{5, {"1", "2", "3", "4", "5"}}});
    EXPECT_EQ(session.poolSize(), 2);
    random.picks = {2, 1, 5};
    // 5 and 2 were unscored; then the round begins again with all five.
    EXPECT_EQ(draw(3), (std::vector<QString>{"5", "2", "5"}));
    EXPECT_EQ(session.poolSize(), 4);
}

TEST_F(ClassroomDraw, ScorePool_OfAClassAllScored_HoldsEveryone)
{
    const ClassSheet sheet(3, {1, 2, 3});
    roster = sheet.persons;
    fillScorePool(session, roster, sheet.reader(), kColumn);
    EXPECT_EQ(session.poolSize(), 3);
    EXPECT_EQ(session.values().size(), 3u);
}

TEST_F(ClassroomDraw, CalledPosition_IsShownByNumberAndName_InTheComposition)
{
    const ClassSheet sheet(4, {});
    roster = sheet.persons;
    fillScorePool(session, roster, sheet.reader(), kColumn);
    session.setGroups({Group{2, {"3", "1"}}, Group{2, {"2", "4"}}});
    EXPECT_EQ(session.view().members, (std::vector<QString>{"P3", "P1"}));
    session.setComposition(2); // 学号姓名
    session.pick(0);           // position 1: second member of group 1
    EXPECT_EQ(session.view().line, QStringLiteral("第 1 组 2 号 ，101 P1"));
    EXPECT_EQ(session.view().result, composeRollCall(2, 1, 2, "101", "P1"));
}
