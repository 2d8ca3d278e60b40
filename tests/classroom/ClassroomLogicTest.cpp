#include "classroom/logic/RollCallText.h"
#include "classroom/logic/Roster.h"
#include "classroom/logic/Scoring.h"

#include "Fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <variant>

using namespace zelvano;
using zelvano::xls::CellValue;

namespace
{

// A class sheet in memory: cells by (row, column).
struct Sheet {
    std::map<std::pair<int, int>, CellValue> cells;

    void number(int row, int col, double v) { cells[{row, col}] = CellValue::ofNumber(v); }
    void text(int row, int col, const char* v) { cells[{row, col}] = CellValue::ofText(v); }
    CellReader reader() const
    {
        return [this](int row, int col) {
            const auto it = cells.find({row, col});
            return it == cells.end() ? CellValue{} : it->second;
        };
    }
    // Persons numbered 1..n in rows 3..n+2, named P1..Pn.
    static Sheet ofClass(int n)
    {
        Sheet sheet;
        for (int k = 1; k <= n; ++k) {
            sheet.number(k + 2, 1, k);
            sheet.text(k + 2, 2, ("P" + std::to_string(k)).c_str());
        }
        return sheet;
    }
};

std::vector<int> counts(const std::vector<Group>& groups)
{
    std::vector<int> out;
    for (const Group& g : groups)
        out.push_back(g.count);
    return out;
}

} // namespace

// --- Roster reading ---------------------------------------------------------------

TEST(RosterReading, EmptyNumberCellInRowThree_GivesNoPersons)
{
    Sheet sheet = Sheet::ofClass(5);
    sheet.text(3, 1, "   ");
    EXPECT_EQ(countPersons(sheet.reader()), 0);
}

TEST(RosterReading, ListEndsAtFirstTrimmedEmptyNumber)
{
    Sheet sheet = Sheet::ofClass(5);
    sheet.cells.erase({6, 1});
    EXPECT_EQ(countPersons(sheet.reader()), 3);
}

TEST(RosterReading, ReadsNumbersNamesRowsAndLargestSavedGroupValues)
{
    Sheet sheet = Sheet::ofClass(4);
    sheet.number(3, 5, 1);
    sheet.number(3, 6, 2);
    sheet.number(4, 5, 2.5); // rounds half to even: 2
    sheet.text(5, 5, "3组"); // leading number
    sheet.text(6, 6, "abc"); // no number: 0
    sheet.number(6, 5, 1);
    sheet.number(5, 6, 3);
    const Roster roster = readRoster(sheet.reader(), 4);
    ASSERT_EQ(roster.persons.size(), 4u);
    EXPECT_EQ(roster.persons[0].number, QStringLiteral("1"));
    EXPECT_EQ(roster.persons[3].name, QStringLiteral("P4"));
    EXPECT_EQ(roster.persons[3].row, 6);
    EXPECT_EQ(roster.persons[1].group, 2);
    EXPECT_EQ(roster.savedGroupCount, 3);
    EXPECT_EQ(roster.savedGroupSize, 3);
}

TEST(RosterReading, NonNumericGroupColumns_CountAsNeverGrouped)
{
    Sheet sheet = Sheet::ofClass(3);
    for (int row = 3; row <= 5; ++row) {
        sheet.text(row, 5, "一组");
        sheet.text(row, 6, "x");
    }
    const Roster roster = readRoster(sheet.reader(), 3);
    EXPECT_EQ(roster.savedGroupCount, 0);
    EXPECT_EQ(restoreGroups(3, roster.savedGroupCount, roster.savedGroupSize).kind,
              RestoredGroups::Kind::NeverGrouped);
}

TEST(RosterReading, NameItemCaption_IsNumberUnderscoreName)
{
    Person person{QStringLiteral("2024031"), QStringLiteral("张_三"), 3, 0, 0};
    EXPECT_EQ(nameItemCaption(person), QStringLiteral("2024031_张_三"));
}

// --- Class list -----------------------------------------------------------------------

TEST(ClassList, PrizeSheetIsNeverListed_AndLaterClassesKeepTheirSheets)
{
    const auto entries =
        classEntries({QStringLiteral("一班"), QStringLiteral("抽奖品"), QStringLiteral("二班")});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].worksheet, 0);
    EXPECT_EQ(entries[1].name, QStringLiteral("二班"));
    EXPECT_EQ(entries[1].worksheet, 2);
}

TEST(ClassList, SavedIndexOutsideTheList_PreselectsTheFirst)
{
    EXPECT_EQ(preselectedClass(2, 3), 2);
    EXPECT_EQ(preselectedClass(3, 3), 0);
    EXPECT_EQ(preselectedClass(-1, 3), 0);
}

// --- Restoring groups -----------------------------------------------------------------

struct RestoreCase {
    const char* name;
    int n, g, s;
    RestoredGroups::Kind kind;
    std::vector<int> counts;
};

class RestoreGroups : public ::testing::TestWithParam<RestoreCase>
{
};

TEST_P(RestoreGroups, RebuildsByPosition)
{
    const RestoreCase& c = GetParam();
    const RestoredGroups restored = restoreGroups(c.n, c.g, c.s);
    EXPECT_EQ(restored.kind, c.kind);
    if (c.kind == RestoredGroups::Kind::Restored) {
        EXPECT_EQ(counts(restored.groups), c.counts);
        EXPECT_TRUE(groupsCoverRoster(restored.groups, c.n, c.s));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreGroups,
    ::testing::Values(
        RestoreCase{"TenInGroupsOfThree", 10, 4, 3, RestoredGroups::Kind::Restored, {3, 3, 3, 1}},
        RestoreCase{
            "SixGroupsLastEmpty", 10, 6, 2, RestoredGroups::Kind::Restored, {2, 2, 2, 2, 2, 0}},
        RestoreCase{"MoreGroupsThanTheClassFills",
                    10,
                    6,
                    3,
                    RestoredGroups::Kind::Restored,
                    {3, 3, 3, 1, 0, 0}},
        RestoreCase{"NeverGrouped", 10, 0, 0, RestoredGroups::Kind::NeverGrouped, {}},
        RestoreCase{"LastGroupLargerThanSize", 10, 2, 3, RestoredGroups::Kind::LastTooLarge, {}},
        RestoreCase{
            "GroupNumbersWithoutMemberNumbers", 10, 3, 0, RestoredGroups::Kind::LastTooLarge, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(RestoreGroupsText, RandomGroupingComesBackAsBlocksOfRows)
{
    const RestoredGroups restored = restoreGroups(10, 4, 3);
    EXPECT_EQ(
        restored.groups[1].members,
        (std::vector<QString>{QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_EQ(restored.groups[3].members, std::vector<QString>{QStringLiteral("10")});
}

TEST(RestoreGroupsText, FailureMessageNamesClassAndNumbers)
{
    const RestoredGroups restored = restoreGroups(10, 2, 3);
    const QString text = restoreFailureText(QStringLiteral("初一(1)班"), restored, 10);
    EXPECT_TRUE(text.contains(QStringLiteral("初一(1)班")));
    EXPECT_TRUE(text.contains(QStringLiteral("最后一组却有7人")));
}

// --- Forming groups with the shared split -------------------------------------------------

TEST(FormGroups, FivePersonsInFourGroups_LeaveNoEmptyPlaceCounted)
{
    zelvano::testing::ScriptedRandom random;
    auto groups = buildGroups(rosterPositions(5), 4, 2, false, random);
    dropEmptyPlaces(groups);
    EXPECT_EQ(counts(groups), (std::vector<int>{2, 2, 1, 0}));
    EXPECT_TRUE(groupsCoverRoster(groups, 5, 2));
}

TEST(FormGroups, RandomGroupingPlacesEveryPersonOnce)
{
    zelvano::testing::ScriptedRandom random;
    random.picks = {7, 1, 5, 2, 3, 1, 4, 2, 1, 1};
    auto groups = buildGroups(rosterPositions(10), 4, 3, true, random);
    dropEmptyPlaces(groups);
    EXPECT_EQ(counts(groups), (std::vector<int>{3, 3, 3, 1}));
    EXPECT_TRUE(groupsCoverRoster(groups, 10, 3));
    std::vector<Person> persons(10);
    assignGroups(persons, groups);
    EXPECT_EQ(persons[6].group, 1); // the first pick, person 7
    EXPECT_EQ(persons[6].member, 1);
}

TEST(FormGroups, CoverCheck_RefusesDuplicatesAndOversizedGroups)
{
    std::vector<Group> twice{{2, {QStringLiteral("1"), QStringLiteral("1")}}};
    EXPECT_FALSE(groupsCoverRoster(twice, 2, 2));
    std::vector<Group> big{{3, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}}};
    EXPECT_FALSE(groupsCoverRoster(big, 3, 2));
}

// --- Score column and pool -------------------------------------------------------------------

struct ColumnCase {
    const char* name;
    std::vector<int> headers; // columns with a date in row 2
    int recordPosition;
    int expected;
};

class ScoreColumn : public ::testing::TestWithParam<ColumnCase>
{
};

TEST_P(ScoreColumn, ChoosesTodayOrPrevious)
{
    Sheet sheet = Sheet::ofClass(3);
    for (int c : GetParam().headers)
        sheet.text(2, c, "09月04");
    EXPECT_EQ(chooseScoreColumn(sheet.reader(), GetParam().recordPosition), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScoreColumn,
                         ::testing::Values(ColumnCase{"TodayAfterTwoHeaders", {7, 8}, 0, 9},
                                           ColumnCase{"PreviousAfterTwoHeaders", {7, 8}, 1, 8},
                                           ColumnCase{"TodayWithoutHeaders", {}, 0, 7},
                                           ColumnCase{"PreviousWithoutHeaders", {}, 1, 7},
                                           ColumnCase{"HeadersStopAtTheFirstGap", {7, 9}, 0, 8},
                                           ColumnCase{
                                               "TextHeaderThatIsNoDateStillCounts", {7}, 0, 8}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ScorePool, HoldsPersonsWithoutAScore_InRosterOrder)
{
    Sheet sheet = Sheet::ofClass(5);
    sheet.number(4, 8, 5);
    sheet.text(6, 8, "缺考");
    const Roster roster = readRoster(sheet.reader(), 5);
    const auto pool = scorePool(roster.persons, sheet.reader(), 8);
    ASSERT_EQ(pool.size(), 3);
    EXPECT_EQ(pool.at(1).position, 1);
    EXPECT_EQ(pool.at(2).position, 3);
    EXPECT_EQ(pool.at(3).position, 5);
    EXPECT_EQ(pool.at(3).row, 7);
}

TEST(ScorePool, EveryoneScored_GivesTheWholeClass)
{
    Sheet sheet = Sheet::ofClass(4);
    for (int row = 3; row <= 6; ++row)
        sheet.number(row, 7, 1);
    const Roster roster = readRoster(sheet.reader(), 4);
    const auto pool = scorePool(roster.persons, sheet.reader(), 7);
    EXPECT_EQ(pool.size(), 4);
}

TEST(ScorePool, LastRemovalStartsANewRoundWithEveryone)
{
    Sheet sheet = Sheet::ofClass(3);
    sheet.number(3, 7, 1);
    sheet.number(4, 7, 1);
    const Roster roster = readRoster(sheet.reader(), 3);
    auto pool = scorePool(roster.persons, sheet.reader(), 7);
    ASSERT_EQ(pool.size(), 1);
    pool.removeValue(PoolEntry{3, {}, 0});
    EXPECT_EQ(pool.size(), 3);
}

// --- Score sums --------------------------------------------------------------------------------

struct SumCase {
    const char* name;
    CellValue cell;
    double points;
    double expected;
};

class ScoreSum : public ::testing::TestWithParam<SumCase>
{
};

TEST_P(ScoreSum, AddsInSinglePrecision)
{
    EXPECT_DOUBLE_EQ(addedScore(GetParam().cell, GetParam().points), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreSum,
    ::testing::Values(SumCase{"EmptyCell", CellValue{}, 5, 5},
                      SumCase{"NumberCell", CellValue::ofNumber(5), 5, 10},
                      SumCase{"TextAbsentCountsZero", CellValue::ofText("缺考"), 2, 2},
                      SumCase{"NumericText", CellValue::ofText("3.5"), 1, 4.5},
                      SumCase{"TenthsStayTenths", CellValue::ofNumber(0.1), 0.2, 0.3},
                      SumCase{"NegativePoints", CellValue::ofNumber(2), -0.5, 1.5},
                      SumCase{"BeyondSinglePrecision", CellValue::ofNumber(16777216), 1, 16777216},
                      SumCase{"BooleanCountsZero", CellValue::ofBoolean(true), 1, 1}),
    [](const auto& test) { return std::string(test.param.name); });

// --- Score row ---------------------------------------------------------------------------------

TEST(ScoreRow, NumbersInRowOrder_WriteToNumberPlusTwo)
{
    Sheet sheet = Sheet::ofClass(12);
    const Roster roster = readRoster(sheet.reader(), 12);
    EXPECT_EQ(scoreRow(roster.persons[11], sheet.reader()), 14);
}

TEST(ScoreRow, StudentNumbers_WriteToTheRowReadFrom)
{
    Sheet sheet;
    sheet.number(3, 1, 2024031);
    sheet.text(3, 2, "甲");
    sheet.number(4, 1, 2024007);
    sheet.text(4, 2, "乙");
    const Roster roster = readRoster(sheet.reader(), 2);
    EXPECT_EQ(scoreRow(roster.persons[1], sheet.reader()), 4);
}

TEST(ScoreRow, SortedByName_NumberPlusTwoHoldsSomeoneElse_UsesOwnRow)
{
    Sheet sheet;
    const char* names[3] = {"C", "A", "B"};
    const int numbers[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        sheet.number(3 + i, 1, numbers[i]);
        sheet.text(3 + i, 2, names[i]);
    }
    const Roster roster = readRoster(sheet.reader(), 3);
    // Person number 3 ("C") is in row 3; row 5 holds number 2.
    EXPECT_EQ(scoreRow(roster.persons[0], sheet.reader()), 3);
}

TEST(ScoreRow, RepeatedNumbers_EachKeepsTheirOwnRow)
{
    Sheet sheet;
    sheet.number(3, 1, 1);
    sheet.text(3, 2, "A");
    sheet.number(4, 1, 1);
    sheet.text(4, 2, "B");
    const Roster roster = readRoster(sheet.reader(), 2);
    EXPECT_EQ(scoreRow(roster.persons[0], sheet.reader()), 3);
    EXPECT_EQ(scoreRow(roster.persons[1], sheet.reader()), 4);
}

TEST(ScoreRow, SheetResortedSinceLoad_FindsThePerson)
{
    Sheet before = Sheet::ofClass(4);
    const Roster roster = readRoster(before.reader(), 4);
    Sheet after;
    for (int i = 0; i < 4; ++i) {
        const int k = 4 - i;
        after.number(3 + i, 1, k * 10);
        after.text(3 + i, 2, ("P" + std::to_string(k)).c_str());
    }
    after.number(4, 1, 3); // P3 keeps number 3, now in row 4
    EXPECT_EQ(scoreRow(roster.persons[2], after.reader()), 4);
    EXPECT_EQ(scoreRow(roster.persons[0], after.reader()), std::nullopt);
}

// --- Display texts -------------------------------------------------------------------------------

TEST(Compositions, EachEntryComposesAsListed)
{
    const QString n = QStringLiteral("12");
    const QString name = QStringLiteral("张三");
    EXPECT_EQ(composeRollCall(0, 2, 3, n, name), QStringLiteral("\r\n12"));
    EXPECT_EQ(composeRollCall(1, 2, 3, n, name), QStringLiteral("\r\n张三"));
    EXPECT_EQ(composeRollCall(2, 2, 3, n, name), QStringLiteral("12\r\n张三"));
    EXPECT_EQ(composeRollCall(3, 2, 3, n, name), QStringLiteral("2组 \r\n张三"));
    EXPECT_EQ(composeRollCall(4, 2, 3, n, name), QStringLiteral("2组3号\r\n张三"));
    EXPECT_EQ(composeRollCall(5, 2, 3, n, name), QStringLiteral("2组\r\n12张三"));
    EXPECT_EQ(composeRollCall(6, 2, 3, n, name), QStringLiteral("2组3号\r\n12张三"));
    EXPECT_EQ(calledPersonLine(2, 3, n, name), QStringLiteral("第 2 组 3 号 ，12 张三"));
}

TEST(Compositions, MenuMapsOntoListByCaption)
{
    EXPECT_EQ(compositionEntries().size(), 7);
    EXPECT_EQ(compositionMenuCaptions().size(), 6);
    EXPECT_EQ(menuItemOfComposition(3), 3);
    EXPECT_EQ(menuItemOfComposition(4), -1); // 组号组员号姓名 has no item
    EXPECT_EQ(menuItemOfComposition(5), 4);
    EXPECT_EQ(menuItemOfComposition(6), 5);
    EXPECT_EQ(compositionOfMenuItem(4), 5);
    EXPECT_EQ(compositionOfMenuItem(5), 6);
    EXPECT_EQ(compositionOfMenuItem(6), -1);
}

TEST(GroupTexts, PanelTitleAndSummary)
{
    EXPECT_EQ(groupPanelTitle(40), QStringLiteral("40人 分组规则"));
    EXPECT_EQ(groupSummary(10, 4, 4, 1), QStringLiteral("10人分4组，第4组有1人"));
}

TEST(GroupInputRanges, ClassroomSizeAcceptsOneMoreThanTheClass)
{
    const GroupInput eleven = applyGroupInput(1, QStringLiteral("11"), 10, 11);
    EXPECT_TRUE(eleven.accepted);
    EXPECT_EQ(eleven.groupCount, 1);
    EXPECT_EQ(applyGroupInput(1, QStringLiteral("12"), 10, 11).message,
              QStringLiteral("请输入每组的人数，值范围为[1~11]"));
    EXPECT_EQ(applyGroupInput(0, QStringLiteral("0"), 10, 10).message,
              QStringLiteral("请输入正确的组数，值范围为[1~10]"));
    EXPECT_EQ(applyGroupInput(0, QStringLiteral("6"), 10, 10).groupSize, 2);
}

// --- Adding points as a record of the roll book -----------------------------------------------

struct ScoreRecordCase {
    const char* name;
    std::function<void(Sheet&)> change; // what the sheet holds when the record is applied
    bool rowGone;
    std::vector<std::pair<int, double>> scores; // (row, value) written into column 7
    bool header;                                // the day's date goes into G2
};

void PrintTo(const ScoreRecordCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScoreRecordPlan : public ::testing::TestWithParam<ScoreRecordCase>
{
};

TEST_P(ScoreRecordPlan, PlansOnTheSheetAsItIsNow)
{
    const ScoreRecordCase& c = GetParam();
    Sheet sheet = Sheet::ofClass(3);
    const Person second = readRoster(sheet.reader(), 3).persons[1];
    if (c.change)
        c.change(sheet);
    ScoreRecord record(QStringLiteral("初一(1)班"), second, 7, 1.5, QStringLiteral("03月05"));
    const RecordPlan plan = record.plan(sheet.reader(), 60);
    EXPECT_EQ(plan.rowGone, c.rowGone);
    EXPECT_FALSE(record.waitsWhenNotWritten());
    std::vector<std::pair<int, double>> scores;
    bool header = false;
    for (const CellWrite& cell : plan.cells) {
        EXPECT_EQ(cell.column, 7);
        if (cell.row == kHeaderRow) {
            header = std::get<QString>(cell.value) == QStringLiteral("03月05");
            EXPECT_TRUE(cell.anchor.onlyIntoEmpty);
        } else {
            scores.emplace_back(cell.row, std::get<double>(cell.value));
            EXPECT_EQ(cell.anchor.keyText(), QStringLiteral("2 P2"));
        }
    }
    EXPECT_EQ(scores, c.scores);
    EXPECT_EQ(header, c.header);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreRecordPlan,
    ::testing::Values(
        ScoreRecordCase{"FirstScoreOfTheDay_WritesHeaderAndPoints", {}, false, {{4, 1.5}}, true},
        ScoreRecordCase{"HeaderThere_AddsToTheCell",
                        [](Sheet& s) {
                            s.text(2, 7, "03月05");
                            s.number(4, 7, 2);
                        },
                        false,
                        {{4, 3.5}},
                        false},
        ScoreRecordCase{"RowsSortedElsewhere_FollowsThePerson",
                        [](Sheet& s) {
                            s.number(4, 1, 3);
                            s.text(4, 2, "P3");
                            s.number(5, 1, 2);
                            s.text(5, 2, "P2");
                        },
                        false,
                        {{5, 1.5}},
                        true},
        ScoreRecordCase{
            "PersonGone_PlansNothing", [](Sheet& s) { s.text(4, 2, "Q2"); }, true, {}, false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ScoreRecordPlan, GoneNotice_NamesThePersonAsTheWindowDid)
{
    Sheet sheet = Sheet::ofClass(3);
    ScoreRecord record(QStringLiteral("初一(1)班"), readRoster(sheet.reader(), 3).persons[0], 7, 1,
                       QString());
    const RecordNotice notice = record.goneNotice(QStringLiteral("点名册.xls"));
    EXPECT_EQ(notice.text,
              QStringLiteral("点名册中找不到 1 P1，分数没有写入。\r\n请按F5刷新名单后再写。"));
    EXPECT_EQ(notice.title, QStringLiteral("警告"));
}
