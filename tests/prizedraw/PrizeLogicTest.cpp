#include "prizedraw/logic/PrizeAward.h"
#include "prizedraw/logic/PrizePool.h"
#include "prizedraw/logic/PrizeSheet.h"
#include "prizedraw/logic/PrizeTexts.h"

#include "Fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace zelvano;
using xls::CellValue;

namespace
{

// A prize sheet as a table of cells.
class Sheet
{
public:
    Sheet& text(int row, int col, const char* value)
    {
        m_cells[{row, col}] = CellValue::ofText(value);
        return *this;
    }
    Sheet& number(int row, int col, double value)
    {
        m_cells[{row, col}] = CellValue::ofNumber(value);
        return *this;
    }
    // A prize row: number, level, name, picture, stock, used.
    Sheet& prize(int row, const char* level, const char* name, double stock, double used = 0)
    {
        return number(row, 1, row - 2)
            .text(row, 2, level)
            .text(row, 3, name)
            .text(row, 4, "p.gif")
            .number(row, 5, stock)
            .number(row, 6, used);
    }
    Sheet& person(int row, const char* number, const char* name, const char* level = "",
                  const char* prize = "")
    {
        text(row, 1, number).text(row, 2, name);
        if (*level)
            text(row, 3, level).text(row, 4, prize);
        return *this;
    }
    CellReader reader() const
    {
        return [this](int row, int col) {
            const auto it = m_cells.find({row, col});
            return it == m_cells.end() ? CellValue{} : it->second;
        };
    }

private:
    std::map<std::pair<int, int>, CellValue> m_cells;
};

Sheet sampleSheet()
{
    Sheet s;
    s.text(1, 2, " 期末抽奖 ").text(1, 5, "初一年级组");
    s.prize(3, "一等奖", "台灯", 2)
        .prize(4, "二等奖", "文具盒", 3, 3)
        .prize(5, "三等奖", "笔记本", 3);
    return s;
}

std::vector<int> rows(const std::vector<Prize>& prizes)
{
    std::vector<int> out;
    for (const Prize& p : prizes)
        out.push_back(p.remaining);
    return out;
}

} // namespace

// --- Reading the sheet ------------------------------------------------------

TEST(PrizeSheetRead, CountsBothRegionsIndependently)
{
    Sheet s;
    for (int r = 3; r <= 7; ++r)
        s.prize(r, "奖", "品", 1);
    for (int r = 21; r <= 40; ++r)
        s.person(r, "1", "某人");
    s.text(8, 2, "not a prize row: A8 is blank");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    EXPECT_EQ(data.prizes.size(), 5u);
    EXPECT_EQ(data.people.size(), 20u);
    EXPECT_EQ(data.people.front().row, 21);
    EXPECT_EQ(data.people.back().row, 40);
    EXPECT_FALSE(data.prizeRegionEmpty);
}

TEST(PrizeSheetRead, TitleTrimmedAndPrizeCellsAsRead)
{
    const PrizeSheetData data = readPrizeSheet(sampleSheet().reader());
    EXPECT_EQ(data.title, QStringLiteral("期末抽奖"));
    EXPECT_EQ(data.subtitle, QStringLiteral("初一年级组"));
    EXPECT_EQ(data.prizes[0].row, 3);
    EXPECT_EQ(data.prizes[0].level, QStringLiteral("一等奖"));
    EXPECT_EQ(data.prizes[0].picture, QStringLiteral("p.gif"));
    EXPECT_EQ(rows(data.prizes), (std::vector<int>{2, 0, 3}));
    EXPECT_EQ(data.prizes[1].used, 3);
}

TEST(PrizeSheetRead, OneOrNoPrizeRow_IsAnEmptyPrizeRegion)
{
    Sheet one;
    one.prize(3, "一等奖", "台灯", 1).person(21, "1", "甲");
    for (const Sheet& s : {one, Sheet{}}) {
        const PrizeSheetData data = readPrizeSheet(s.reader());
        EXPECT_TRUE(data.prizeRegionEmpty);
        EXPECT_TRUE(data.prizes.empty());
        EXPECT_TRUE(data.people.empty());
    }
}

TEST(PrizeSheetRead, NameRowsTrimmedAndBlankNumberEndsTheList)
{
    Sheet s = sampleSheet();
    s.person(21, " 7 ", " 王五 ", " 一等奖 ", "台灯").person(22, "12", "李四");
    s.text(23, 1, "   ").text(23, 2, "after the end");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    ASSERT_EQ(data.people.size(), 2u);
    EXPECT_EQ(data.people[0].number, QStringLiteral("7"));
    EXPECT_EQ(data.people[0].name, QStringLiteral("王五"));
    EXPECT_EQ(data.people[0].levelWon, QStringLiteral("一等奖"));
    EXPECT_TRUE(data.people[0].hasWon());
    EXPECT_FALSE(data.people[1].hasWon());
}

struct StockCase {
    const char* name;
    CellValue stock;
    CellValue used;
    int remaining;
    int usedRead;
};

class PrizeStock : public ::testing::TestWithParam<StockCase>
{
};

TEST_P(PrizeStock, RemainingUnits)
{
    const StockCase& c = GetParam();
    Sheet s = sampleSheet();
    s.prize(6, "纪念奖", "书签", 0);
    PrizeSheetData data;
    {
        // Replace E6/F6 with the case's cells.
        auto base = s.reader();
        const CellReader reader = [&](int row, int col) {
            if (row == 6 && col == 5)
                return c.stock;
            if (row == 6 && col == 6)
                return c.used;
            return base(row, col);
        };
        data = readPrizeSheet(reader);
    }
    ASSERT_EQ(data.prizes.size(), 4u);
    EXPECT_EQ(data.prizes[3].remaining, c.remaining);
    EXPECT_EQ(data.prizes[3].used, c.usedRead);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrizeStock,
    ::testing::Values(
        StockCase{"Plain", CellValue::ofNumber(5), CellValue::ofNumber(2), 3, 2},
        StockCase{"UsedAboveStock", CellValue::ofNumber(3), CellValue::ofNumber(5), 0, 5},
        StockCase{"StockWithUnitText", CellValue::ofText("5个"), CellValue{}, 5, 0},
        StockCase{"NegativeStock", CellValue::ofNumber(-4), CellValue{}, 0, 0},
        StockCase{"HalfRoundsToEven", CellValue::ofNumber(2.5), CellValue::ofNumber(0.5), 2, 0},
        StockCase{"NotANumber", CellValue::ofText("很多"), CellValue{}, 0, 0},
        StockCase{"StockBeyond16Bits", CellValue::ofNumber(1e20), CellValue::ofNumber(1), 32766, 1},
        StockCase{"TextBeyond16Bits", CellValue::ofText("70000"), CellValue::ofText("-70000"),
                  32767, -32768},
        StockCase{"BooleanStock", CellValue::ofBoolean(true), CellValue{}, 0, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PrizeSheetRead, PrizeRowsIntoRow21_ReadAllPrizesAndNoNames)
{
    Sheet s;
    for (int r = 3; r <= 23; ++r)
        s.prize(r, "奖", "品", 1);
    s.person(24, "1", "甲");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    EXPECT_TRUE(data.prizeRowsReachNames);
    // The first person, right under the last prize, is one more prize row.
    EXPECT_EQ(data.prizes.size(), 22u);
    EXPECT_TRUE(data.people.empty());
    EXPECT_EQ(data.nameRowCount, 4);
    EXPECT_TRUE(drawPoolFor(PrizeMode::FixedPrize, data).empty());
}

TEST(PrizeSheetRead, PrizeRowsEndingAtRow19_LeaveTheNames)
{
    Sheet s;
    for (int r = 3; r <= 19; ++r)
        s.prize(r, "奖", "品", 1);
    s.person(21, "1", "甲");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    EXPECT_FALSE(data.prizeRowsReachNames);
    EXPECT_EQ(data.prizes.size(), 17u);
    EXPECT_EQ(data.people.size(), 1u);
}

TEST(PrizeSheetRead, PrizeRowsFillingRow20_RunIntoTheNames)
{
    // With no blank row between them the first person cannot be told from
    // a prize: the sheet is read without names.
    Sheet s;
    for (int r = 3; r <= 20; ++r)
        s.prize(r, "奖", "品", 1);
    s.person(21, "1", "甲");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    EXPECT_TRUE(data.prizeRowsReachNames);
    EXPECT_EQ(data.prizes.size(), 19u);
    EXPECT_TRUE(data.people.empty());
}

// --- Tickets, pools, menus and the choice list -------------------------------

TEST(PrizeTables, TicketsFollowRemainingUnitsPrizeByPrize)
{
    const PrizeSheetData data = readPrizeSheet(sampleSheet().reader());
    EXPECT_EQ(prizeTickets(data.prizes), (std::vector<int>{3, 3, 5, 5, 5}));
    EXPECT_EQ(drawPoolFor(PrizeMode::FixedPerson, data), (std::vector<int>{3, 3, 5, 5, 5}));
}

TEST(PrizeTables, FixedPrizePool_PeopleWithoutAPrize)
{
    Sheet s = sampleSheet();
    s.person(21, "1", "甲").person(22, "2", "乙").person(23, "3", "丙", "一等奖", "台灯");
    s.person(24, "4", "丁").person(25, "5", "戊");
    const PrizeSheetData data = readPrizeSheet(s.reader());
    EXPECT_EQ(drawPoolFor(PrizeMode::FixedPrize, data), (std::vector<int>{21, 22, 24, 25}));
    const auto items = nameMenuItems(data.people);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[2].caption, QStringLiteral("3 丙"));
    EXPECT_FALSE(items[2].enabled);
    EXPECT_TRUE(items[3].enabled);
    EXPECT_EQ(choiceEntries(PrizeMode::FixedPerson, data),
              (QStringList{"1 甲", "2 乙", "4 丁", "5 戊"}));
}

TEST(PrizeTables, UsedUpPrize_DisabledAndNotOffered)
{
    const PrizeSheetData data = readPrizeSheet(sampleSheet().reader());
    const auto items = prizeMenuItems(data.prizes);
    EXPECT_EQ(items[1].caption, QStringLiteral("二等奖"));
    EXPECT_FALSE(items[1].enabled);
    EXPECT_TRUE(items[0].enabled);
    EXPECT_EQ(choiceEntries(PrizeMode::FixedPrize, data), (QStringList{"一等奖", "三等奖"}));
}

TEST(PrizePoolTest, NeverRefills_AndKeepsOrder)
{
    zelvano::testing::ScriptedRandom random;
    random.picks = {2, 1, 1};
    PrizePool pool;
    pool.reset({3, 4, 5});
    pool.pickRandom(random);
    EXPECT_EQ(pool.at(pool.drawnIndex()), 4);
    pool.removeDrawn();
    EXPECT_EQ(pool.entries(), (std::vector<int>{3, 5}));
    pool.pickRandom(random);
    pool.removeDrawn();
    pool.pickRandom(random);
    pool.removeDrawn();
    EXPECT_EQ(pool.size(), 0);
    EXPECT_EQ(pool.pickRandom(random), 0);
    pool.removeDrawn();
    EXPECT_EQ(pool.size(), 0);
}

// --- List views -------------------------------------------------------------

TEST(PrizeListViews, PaddingCountsTwoPerWideCharacter_AndNeverGoesNegative)
{
    EXPECT_EQ(listWidth(QStringLiteral("1、")), 3);
    EXPECT_EQ(listWidth(QStringLiteral("Ａ4纸x10")), 8);
    EXPECT_EQ(listWidth(QStringLiteral("𠀋")), 2); // beyond the 16-bit plane
    EXPECT_EQ(pad(11, QStringLiteral("1、")), QString(8, ' '));
    EXPECT_EQ(pad(15, QStringLiteral("一等奖")), QString(9, ' '));
    EXPECT_EQ(pad(12, QStringLiteral("王小明五六")), QString(2, ' '));
    EXPECT_EQ(pad(12, QStringLiteral("王小明五六七")), QStringLiteral(" "));
    EXPECT_EQ(pad(12, QStringLiteral("欧阳娜娜王小明五")), QStringLiteral(" "));
}

// The column where `part` starts in `line`, in half-width places.
int columnOf(const QString& line, const QString& part)
{
    return listWidth(line.left(line.indexOf(part)));
}

TEST(PrizeListViews, PrizeListLines)
{
    const PrizeSheetData data = readPrizeSheet(sampleSheet().reader());
    const QStringList lines = prizeListLines(data.prizes);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[1].isEmpty());
    const QString gap11(11, ' ');
    EXPECT_EQ(lines[2], QStringLiteral(" 1 ") + QString(8, ' ') + QStringLiteral("一等奖") +
                            QString(9, ' ') + QStringLiteral("台灯") + gap11 + "2" + gap11 + "0" +
                            gap11);
    EXPECT_EQ(lines[4], QStringLiteral(" 2 ") + QString(8, ' ') + QStringLiteral("二等奖") +
                            QString(9, ' ') + QStringLiteral("文具盒") + QString(9, ' ') + "0" +
                            gap11 + "3" + gap11);
    // Each caption of the heading stands over the start of its column.
    EXPECT_EQ(columnOf(lines[0], "等级"), columnOf(lines[2], "一等奖"));
    EXPECT_EQ(columnOf(lines[0], "奖品"), columnOf(lines[4], "文具盒"));
    EXPECT_EQ(columnOf(lines[0], "库存"), columnOf(lines[4], "文具盒") + 15);
    EXPECT_EQ(columnOf(lines[0], "已用"), columnOf(lines[0], "库存") + 12);
}

TEST(PrizeListViews, NameList_WinnersOnTopLastRowFirst_AndNumberPadding)
{
    Sheet s = sampleSheet();
    s.person(21, "7", "甲", "一等奖", "台灯").person(22, "12", "乙");
    s.person(23, "13", "丙", "三等奖", "笔记本");
    const QStringList lines = nameListLines(readPrizeSheet(s.reader()).people);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], QStringLiteral(" 13        丙          三等奖      笔记本      "));
    EXPECT_EQ(lines[2], QStringLiteral("  7        甲          一等奖      台灯        "));
    EXPECT_EQ(lines[3], QStringLiteral(" 12        乙          ") + QString(24, ' '));
    EXPECT_EQ(columnOf(lines[0], "姓名"), columnOf(lines[1], "丙"));
    EXPECT_EQ(columnOf(lines[0], "等级"), columnOf(lines[1], "三等奖"));
    EXPECT_EQ(columnOf(lines[0], "奖品"), columnOf(lines[1], "笔记本"));
}

// --- Texts of the display and of the record -------------------------------------

TEST(PrizeTextsTest, DisplayTexts)
{
    EXPECT_EQ(titleText("T", "S"), QStringLiteral("\r\nT\r\n\r\nS"));
    EXPECT_EQ(finishedText("T", "S"), QStringLiteral("\r\nT\r\n\r\nS\r\n\r\n圆满结束"));
    EXPECT_EQ(exhaustedText("二等奖"), QStringLiteral("\r\n二等奖\r\n\r\n奖品已经领完"));
    EXPECT_EQ(prizeText(" 一等奖 ", "台灯"), QStringLiteral("\r\n一等奖 : 台灯"));
    EXPECT_EQ(prizeText("", "台灯"), QStringLiteral("\r\n台灯"));
    EXPECT_EQ(prizeText("一等奖", " "), QStringLiteral("\r\n一等奖"));
    EXPECT_EQ(personDisplay("12", "李四"), QStringLiteral("12\r\n李四"));
}

TEST(PrizeTextsTest, WinnerLines)
{
    EXPECT_EQ(winnerLine(3, "12\r\n李四", "一等奖", "台灯"),
              QStringLiteral("3  12\r\n李四获一等奖,台灯"));
    EXPECT_EQ(winnerLine(1, "", "纪念奖", "书签"), QStringLiteral("1  获纪念奖,书签"));
    EXPECT_EQ(appendWinner("  ", "1\r\n甲"), QStringLiteral("1\r\n甲"));
    EXPECT_EQ(appendWinner(" 1\r\n甲 ", "2\r\n乙"), QStringLiteral("1\r\n甲,2\r\n乙"));
}

TEST(PrizeAwardPlan, ReadsTheSheetAsItIsNow)
{
    Sheet s = sampleSheet();
    s.text(3, 6, "2个").text(3, 7, "1\r\n甲").text(3, 2, "特等奖");
    const AwardCells cells = planAward(s.reader(), 3, 24, "4\r\n丁");
    EXPECT_EQ(cells.used, 3.0);
    EXPECT_TRUE(cells.writeWinners);
    EXPECT_EQ(cells.winners, QStringLiteral("1\r\n甲,4\r\n丁"));
    EXPECT_EQ(cells.level, QStringLiteral("特等奖"));
    EXPECT_EQ(cells.prizeName, QStringLiteral("台灯"));
    EXPECT_EQ(cells.personRow, 24);
}

TEST(PrizeAwardPlan, WithoutNames_LeavesTheWinnersCell)
{
    const AwardCells cells = planAward(sampleSheet().reader(), 5, 0, QString());
    EXPECT_EQ(cells.used, 1.0);
    EXPECT_FALSE(cells.writeWinners);
    EXPECT_EQ(cells.personRow, 0);
}

TEST(PrizeAwardPlan, UsedAt16BitEnd_StillCountsOne)
{
    Sheet s = sampleSheet();
    s.number(3, 6, 99999);
    EXPECT_EQ(planAward(s.reader(), 3, 0, QString()).used, 32768.0);
}

TEST(PrizeAwardPlan, ResetCellsAreFOfPrizesAndCDOfPeople)
{
    const auto cells = resetCells(2, 1);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], QPoint(6, 3));
    EXPECT_EQ(cells[1], QPoint(6, 4));
    EXPECT_EQ(cells[2], QPoint(3, 21));
    EXPECT_EQ(cells[3], QPoint(4, 21));
}

// The host sorted the sheet between the draw and the write: the award goes
// to the rows that hold the same prize and person, or waits.
TEST(PrizeAwardPlan, TargetFollowsPrizeAndPersonToTheirRowsNow)
{
    Sheet drawn = sampleSheet();
    drawn.person(21, "1", "甲").person(22, "2", "乙");
    const PrizeSheetData read = readPrizeSheet(drawn.reader());
    const AwardTarget target = awardTarget(read.prizes[2], &read.people[1], "2\r\n乙");

    Sheet sorted;
    sorted.prize(3, "三等奖", "笔记本", 3, 1).prize(4, "一等奖", "台灯", 2);
    sorted.person(21, "2", "乙").person(22, "1", "甲");
    const AwardPlan plan = planAward(sorted.reader(), 40, target);
    ASSERT_EQ(plan.status, AwardPlan::Status::Ready);
    EXPECT_EQ(plan.cells.prizeRow, 3);
    EXPECT_EQ(plan.cells.used, 2.0);
    EXPECT_EQ(plan.cells.personRow, 21);
    const std::vector<CellWrite> writes = awardWrites(plan.cells, target);
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].anchor.keyText(), QStringLiteral("三等奖 笔记本"));
    EXPECT_EQ(writes[3].anchor.keyText(), QStringLiteral("2 乙"));

    sorted.text(3, 3, "钢笔");
    EXPECT_EQ(planAward(sorted.reader(), 40, target).status, AwardPlan::Status::PrizeGone);
    EXPECT_EQ(planAward(drawn.reader(), 40, target).status, AwardPlan::Status::Ready);
    drawn.text(22, 2, "丙");
    EXPECT_EQ(planAward(drawn.reader(), 40, target).status, AwardPlan::Status::PersonGone);
}

TEST(PrizeAwardPlan, ResetWrites_CountTheRegionsOfTheSheetNow)
{
    Sheet s = sampleSheet();
    s.prize(6, "纪念奖", "书签", 9).person(21, "1", "甲");
    const auto writes = resetWrites(s.reader());
    ASSERT_EQ(writes.size(), 6u);
    EXPECT_EQ(writes[3].row, 6);
    EXPECT_EQ(writes[3].anchor.keyText(), QStringLiteral("纪念奖 书签"));
    EXPECT_EQ(writes[5].column, 4);
    EXPECT_EQ(writes[5].anchor.keyText(), QStringLiteral("1 甲"));
}

// --- Picture placement -------------------------------------------------------

struct PictureCase {
    const char* name;
    QSize picture;
    QSize window;
    int displayBottom;
    QRect expected;
};

class PicturePlace : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(PicturePlace, Rect)
{
    const PictureCase& c = GetParam();
    EXPECT_EQ(prizePictureRect(c.picture, c.window, c.displayBottom, 600, 60), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PicturePlace,
    ::testing::Values(
        // 800 x 600 rounds to ratio 1: square, a third of the window wide.
        PictureCase{"LandscapeShownSquare", {800, 600}, {900, 900}, 100, {150, 540, 300, 300}},
        PictureCase{"WideRatio2", {1000, 400}, {900, 900}, 100, {150, 690, 300, 150}},
        // Shrunk to the free height below the display.
        PictureCase{"LimitedByFreeHeight", {500, 500}, {900, 400}, 200, {230, 200, 140, 140}},
        // 100 x 300 rounds to 0: its own ratio 1/3 instead of a division by 0.
        PictureCase{"NarrowKeepsOwnRatio", {100, 300}, {900, 2000}, 0, {150, 1040, 300, 900}},
        PictureCase{"NarrowLimitedByHeight", {100, 300}, {900, 700}, 100, {210, 100, 180, 540}},
        PictureCase{"NoRoomLeft", {100, 100}, {900, 300}, 260, {}},
        PictureCase{"EmptyPicture", {0, 0}, {900, 900}, 100, {}}),
    [](const auto& test) { return std::string(test.param.name); });

// --- An award as a record of the roll book ---------------------------------------------------

struct AwardRecordCase {
    const char* name;
    bool withPerson;
    std::function<void(Sheet&)> change; // what the host did to the sheet since the draw
    bool rowGone;
    std::vector<std::pair<int, int>> cells; // (row, column) written, in order
    QString goneKeys;
};

void PrintTo(const AwardRecordCase& c, std::ostream* os)
{
    *os << c.name;
}

class AwardRecordPlan : public ::testing::TestWithParam<AwardRecordCase>
{
};

TEST_P(AwardRecordPlan, PlansFGAndCDOnTheSheetNow)
{
    const AwardRecordCase& c = GetParam();
    Sheet s = sampleSheet();
    s.person(21, "1", "甲").person(22, "2", "乙");
    const PrizeSheetData read = readPrizeSheet(s.reader());
    AwardRecord record(awardTarget(read.prizes[2], c.withPerson ? &read.people[1] : nullptr,
                                   c.withPerson ? QStringLiteral("2\r\n乙") : QString()));
    if (c.change)
        c.change(s);
    const RecordPlan plan = record.plan(s.reader(), 40);
    EXPECT_EQ(plan.rowGone, c.rowGone);
    std::vector<std::pair<int, int>> cells;
    for (const CellWrite& cell : plan.cells)
        cells.emplace_back(cell.row, cell.column);
    EXPECT_EQ(cells, c.cells);
    if (c.rowGone) {
        EXPECT_TRUE(record.goneNotice(QStringLiteral("点名册.xls")).text.contains(c.goneKeys));
    }
    EXPECT_TRUE(record.waitsWhenNotWritten());
    EXPECT_EQ(record.sheet(), QStringLiteral("抽奖品"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AwardRecordPlan,
    ::testing::Values(AwardRecordCase{"WithPerson_FAndGOfThePrize_CAndDOfThePerson",
                                      true,
                                      {},
                                      false,
                                      {{5, 6}, {5, 7}, {22, 3}, {22, 4}},
                                      {}},
                      AwardRecordCase{"WithoutNames_OnlyF", false, {}, false, {{5, 6}}, {}},
                      AwardRecordCase{
                          "PrizeMovedUp_FollowsIt",
                          false,
                          [](Sheet& s) {
                              s.prize(4, "三等奖", "笔记本", 3).prize(5, "二等奖", "文具盒", 3, 3);
                          },
                          false,
                          {{4, 6}},
                          {}},
                      AwardRecordCase{"PrizeRenamed_RowGone",
                                      false,
                                      [](Sheet& s) { s.text(5, 3, "钢笔"); },
                                      true,
                                      {},
                                      "三等奖 笔记本"},
                      AwardRecordCase{"PersonRenamed_RowGone",
                                      true,
                                      [](Sheet& s) { s.text(22, 2, "丙"); },
                                      true,
                                      {},
                                      "2 乙"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(AwardRecordPlan, PlannedCells_AndHandText_SayTheAwardAsWritten)
{
    Sheet s = sampleSheet();
    s.person(21, "1", "甲");
    const PrizeSheetData read = readPrizeSheet(s.reader());
    AwardRecord record(awardTarget(read.prizes[0], &read.people[0], QStringLiteral("1 甲")));
    s.text(3, 2, "特等奖");
    s.prize(4, "一等奖", "台灯", 2); // a second row with the old level and prize
    EXPECT_EQ(record.handText(), QStringLiteral("1 甲获一等奖,台灯"));
    record.plan(s.reader(), 40);
    EXPECT_EQ(record.planned().level, QStringLiteral("一等奖"));
    EXPECT_EQ(record.planned().prizeRow, 4);
}
