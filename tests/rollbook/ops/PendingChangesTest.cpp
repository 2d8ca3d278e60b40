// Where changes waiting to be saved go after another program saved the roll
// book: the sheet of the same name, the row that still means the same.
#include "rollbook/ops/PendingChanges.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

#include <map>

using namespace zelvano;
using zelvano::xls::CellValue;

namespace
{

// A workbook as another program left it: sheets by name, texts by cell.
struct FakeBook {
    QStringList sheets;
    std::map<std::tuple<int, int, int>, QString> cells;
    std::vector<int> unreadable;

    void put(int sheet, int row, const QString& a, const QString& b, int first = 1)
    {
        cells[{sheet, row, first}] = a;
        cells[{sheet, row, first + 1}] = b;
    }
    BookView view() const
    {
        return {[this](const QString& name) { return int(sheets.indexOf(name)); },
                [this](int sheet) {
                    return std::find(unreadable.begin(), unreadable.end(), sheet) ==
                           unreadable.end();
                },
                [this](int sheet, int row, int column) {
                    const auto it = cells.find({sheet, row, column});
                    return it == cells.end() ? CellValue{}
                                             : CellValue::ofText(it->second.toStdString());
                },
                [](int) { return 60; }};
    }
};

CellAnchor person(const QString& number, const QString& name)
{
    return CellAnchor::rowHolding({{1, number}, {2, name}}, 3);
}

PendingChange score(const QString& sheet, int row, const QString& number, const QString& name)
{
    return {sheet, row, 9, 5.0, person(number, name)};
}

} // namespace

struct PlaceCase {
    const char* name;
    PendingChange change;
    bool placed;
    KeptReason reason;
    int sheet;
    int row;
};

class PlaceChange : public ::testing::TestWithParam<PlaceCase>
{
};

// The other program swapped sheet order, moved 彭军 from row 6 to row 9,
// has two rows of 陶萍, no 郭文诗, and a date of its own in 一班!J2.
TEST_P(PlaceChange, FollowsNameAndRowMeaning)
{
    FakeBook book;
    book.sheets = {"新表", "二班", "一班"};
    book.put(2, 6, "5", "别人");
    book.put(2, 9, "4", "彭军");
    book.put(2, 10, "2", "陶萍");
    book.put(2, 11, "2", "陶萍");
    book.cells[{2, 2, 10}] = "03月01";
    book.unreadable = {1};
    const PlaceCase& c = GetParam();
    const Placement placement = placeChange(c.change, book.view());
    EXPECT_EQ(placement.placed, c.placed);
    if (c.placed) {
        EXPECT_EQ(placement.sheet, c.sheet);
        EXPECT_EQ(placement.row, c.row);
    } else {
        EXPECT_EQ(placement.reason, c.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceChange,
    ::testing::Values(
        PlaceCase{"ScoreFollowsPersonToNewRow", score("一班", 6, "4", "彭军"), true, {}, 2, 9},
        PlaceCase{"ScoreOfPersonGone_Kept", score("一班", 3, "1", "郭文诗"), false,
                  KeptReason::RowGone, -1, 0},
        PlaceCase{"ScoreOfPersonInTwoRows_Kept", score("一班", 4, "2", "陶萍"), false,
                  KeptReason::RowAmbiguous, -1, 0},
        PlaceCase{"SheetRenamed_Kept", score("三班", 6, "4", "彭军"), false, KeptReason::SheetGone,
                  -1, 0},
        PlaceCase{"SheetUnreadable_Kept", score("二班", 6, "4", "彭军"), false,
                  KeptReason::SheetUnreadable, -1, 0},
        PlaceCase{"EditStaysAtItsAddress",
                  PendingChange{"一班", 6, 3, QString("x"), CellAnchor::address()},
                  true,
                  {},
                  2,
                  6},
        PlaceCase{"HeaderIntoEmptyCell",
                  PendingChange{"一班", 2, 9, QString("03月05"), CellAnchor::emptyHeader()},
                  true,
                  {},
                  2,
                  2},
        PlaceCase{"HeaderAlreadyHoldingAnotherDate_Kept",
                  PendingChange{"一班", 2, 10, QString("03月05"), CellAnchor::emptyHeader()}, false,
                  KeptReason::CellTaken, -1, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PendingChanges, Replace_WritesWhatFits_KeepsTheRest_RetriesKeptNextTime)
{
    FakeBook book;
    book.sheets = {"一班"};
    book.put(0, 9, "4", "彭军");
    PendingChanges pending;
    pending.add(score("一班", 6, "4", "彭军"));
    pending.add(score("一班", 7, "5", "郭文诗"));
    std::vector<std::tuple<int, int, int>> writes;
    const ChangeWriter writer = [&](int sheet, int row, int column, const CellContent&) {
        writes.emplace_back(sheet, row, column);
        return true;
    };
    EXPECT_EQ(pending.replace(book.view(), writer), 1);
    EXPECT_EQ(writes, (std::vector<std::tuple<int, int, int>>{{0, 9, 9}}));
    ASSERT_EQ(pending.kept().size(), 1u);
    EXPECT_EQ(pending.kept()[0].reason, KeptReason::RowGone);
    EXPECT_EQ(pending.written()[0].row, 9);

    // Saved; then the teacher puts the person back and the file is read again.
    pending.markSaved();
    EXPECT_FALSE(pending.empty());
    book.put(0, 12, "5", "郭文诗");
    writes.clear();
    EXPECT_EQ(pending.replace(book.view(), writer), 1);
    EXPECT_EQ(writes, (std::vector<std::tuple<int, int, int>>{{0, 12, 9}}));
    EXPECT_TRUE(pending.kept().empty());
}
