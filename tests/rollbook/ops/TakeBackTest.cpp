// Taking a record back: the cells it changed get what they held before,
// checked with the independent reader on copies of the sample roll book;
// a record that waits or is unsaved simply leaves; a saved one is undone
// once, also after a failed save, and never over a cell changed since.
#include "rollbook/Workbook.h"
#include "rollbook/ops/RollBook.h"
#include "rollbook/ops/TakeBackRecord.h"

#include "TestServices.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSample = QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls");
const QString kClass = QStringLiteral("初一(1)班");
constexpr int kNewColumn = 9;   // I: the first column without a date header
constexpr int kDatedColumn = 8; // H: "09月11"

// Points for the person in the row holding `number` and `name`, and the
// day into the column's header while it is empty: a score as a window
// records it.
class Points final : public RecordCommand
{
public:
    Points(QString number, QString name, int column, double points)
        : m_anchor(CellAnchor::rowHolding({{1, number}, {2, name}}, 3)), m_column(column),
          m_points(points)
    {
    }
    QString sheet() const override { return kClass; }
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override
    {
        const AnchoredRow row = findAnchoredRow(m_anchor, 3, cells, lastRow);
        if (row.match == AnchoredRow::Match::Gone || row.match == AnchoredRow::Match::Ambiguous)
            return {{}, true};
        RecordPlan plan;
        if (cells(2, m_column).isEmpty())
            plan.cells.push_back(
                {2, m_column, QStringLiteral("12月08"), CellAnchor::emptyHeader()});
        plan.cells.push_back(
            {row.row, m_column, cells(row.row, m_column).number + m_points, m_anchor});
        return plan;
    }
    RecordNotice goneNotice(const QString& /*rollBookName*/) const override
    {
        return {QStringLiteral("gone"), QString()};
    }
    bool waitsWhenNotWritten() const override { return true; }
    QString handText() const override { return m_anchor.keyText(); }

private:
    CellAnchor m_anchor;
    int m_column;
    double m_points;
};

struct Book {
    Book() { world.addFile(kSample, QStringLiteral("点名册.xls")); }
    QString file() const { return world.folder.file(QStringLiteral("点名册.xls")); }
    // The cell as xlrd reads it: "empty", a number as Python prints it, or
    // 'text'.
    QString read(int row, int column) const
    {
        QProcess python;
        python.start(QStringLiteral(ZELVANO_PYTHON),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, xlrd\n"
                                     "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                                     "r, c = int(sys.argv[2]) - 1, int(sys.argv[3]) - 1\n"
                                     "t = s.cell_type(r, c) if r < s.nrows and c < s.ncols else 0\n"
                                     "print('empty' if t in (0, 6) else repr(s.cell_value(r, c)))"),
                      file(), QString::number(row), QString::number(column)});
        python.waitForFinished(60000);
        return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
    }
    void changeElsewhere(int row, int column, double value) const
    {
        xls::Workbook other = xls::Workbook::open(file().toStdU16String());
        other.setNumber(0, row, column, value);
        other.save();
    }
    // A spreadsheet program of this user holds the file: the roll book
    // cannot be saved while it stays.
    void hold() { world.processes.holders = {{4242, "WPS 表格"}}; }
    void release() { world.processes.holders.clear(); }

    TestServices world;
    RollBook book{world.services};
};

struct TakeBackCase {
    const char* name;
    int column;
    // Between the record and its take-back: unsaved, or saved.
    bool saveRecord;
    // The take-back's own save fails once and is retried.
    bool takeBackSaveFails;
    const char* headerAfter;
    const char* scoreAfter; // row 3, number 1
};

void PrintTo(const TakeBackCase& c, std::ostream* os)
{
    *os << c.name;
}

class TakeBack : public ::testing::TestWithParam<TakeBackCase>
{
};

TEST_P(TakeBack, RestoresWhatTheCellsHeldBefore_Once)
{
    const TakeBackCase& c = GetParam();
    Book b;
    const QString headerBefore = b.read(2, c.column);
    const auto record =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), c.column, 2.5);
    ASSERT_EQ(b.book.record(record).status, RecordStatus::Written);
    if (c.saveRecord) {
        ASSERT_TRUE(b.book.save().ok());
    } else {
        b.hold();
        ASSERT_EQ(b.book.save().status, BookStatus::SaveFailed);
        ASSERT_EQ(b.book.unsavedWriteCount(), 1); // one score, whatever its cells
    }
    if (c.takeBackSaveFails)
        b.hold();
    ASSERT_EQ(b.book.takeBack(record).status, RecordStatus::Written);
    if (!c.saveRecord) {
        // Neither the score nor its take-back is left to be saved.
        EXPECT_EQ(b.book.unsavedWriteCount(), 0);
        b.release();
    }
    const BookOutcome saved = b.book.save();
    if (c.takeBackSaveFails) {
        EXPECT_EQ(saved.status, BookStatus::SaveFailed);
        EXPECT_TRUE(b.book.hasUnsavedChanges());
        b.release();
        ASSERT_TRUE(b.book.open().ok()); // the next access saves it
    }
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_FALSE(b.book.hasUnsavedChanges());
    EXPECT_EQ(b.read(2, c.column), QString::fromUtf8(c.headerAfter));
    EXPECT_EQ(b.read(2, c.column), headerBefore);
    EXPECT_EQ(b.read(3, c.column), QString::fromUtf8(c.scoreAfter));
    EXPECT_TRUE(b.world.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeBack,
    ::testing::Values(TakeBackCase{"Saved_NewColumn_HeaderItCreatedGoesToo", kNewColumn, true,
                                   false, "empty", "empty"},
                      TakeBackCase{"Saved_DatedColumn_NumberBackAndHeaderKept", kDatedColumn, true,
                                   false, "'09月11'", "1.0"},
                      TakeBackCase{"Unsaved_LeavesThePendingList", kNewColumn, false, false,
                                   "empty", "empty"},
                      TakeBackCase{"Saved_TakeBackSaveFails_SavedByTheNextAccess", kNewColumn, true,
                                   true, "empty", "empty"},
                      TakeBackCase{"Saved_DatedColumn_TakeBackSaveFails", kDatedColumn, true, true,
                                   "'09月11'", "1.0"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TakeBack, WaitingRecord_StopsWaiting_AndNeverReachesTheFile)
{
    Book b;
    const QString away = b.file() + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(b.file(), away));
    const auto record =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), kNewColumn, 2);
    ASSERT_TRUE(b.book.record(record).waits);
    EXPECT_EQ(b.book.takeBack(record).status, RecordStatus::Written);
    EXPECT_TRUE(b.book.waiting().empty());
    ASSERT_TRUE(QFile::rename(away, b.file()));
    EXPECT_TRUE(b.book.applyWaiting().empty());
    EXPECT_FALSE(b.book.hasUnsavedChanges());
    EXPECT_EQ(b.read(3, kNewColumn), QStringLiteral("empty"));
    EXPECT_EQ(b.read(2, kNewColumn), QStringLiteral("empty"));
}

TEST(TakeBack, CellChangedByAnotherProgram_IsRefused_AndNothingChanges)
{
    Book b;
    const auto record =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), kNewColumn, 2);
    ASSERT_EQ(b.book.record(record).status, RecordStatus::Written);
    ASSERT_TRUE(b.book.save().ok());
    b.changeElsewhere(3, kNewColumn, 7);
    const RecordOutcome outcome = b.book.takeBack(record);
    EXPECT_EQ(outcome.status, RecordStatus::Changed);
    EXPECT_FALSE(outcome.waits); // waiting cannot make the cell ours again
    EXPECT_TRUE(outcome.record->goneNotice(QStringLiteral("点名册.xls"))
                    .text.contains(QStringLiteral("初一(1)班!I3")));
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_FALSE(b.book.hasUnsavedChanges());
    EXPECT_EQ(b.read(3, kNewColumn), QStringLiteral("7.0"));
    EXPECT_EQ(b.read(2, kNewColumn), QStringLiteral("'12月08'"));
}

TEST(TakeBack, UnsavedRecordKeptAsideAfterAnOutsideSave_SimplyLeaves)
{
    Book b;
    const auto record =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), kDatedColumn, 2);
    b.hold();
    ASSERT_EQ(b.book.record(record).status, RecordStatus::Written);
    ASSERT_EQ(b.book.save().status, BookStatus::SaveFailed);
    b.release();
    b.changeElsewhere(3, 1, 99); // number 1 is gone
    const BookOutcome opened = b.book.open();
    ASSERT_EQ(opened.reloads.size(), 1u);
    ASSERT_EQ(b.book.keptChanges().size(), 1u);
    EXPECT_EQ(b.book.takeBack(record).status, RecordStatus::Written);
    EXPECT_TRUE(b.book.keptChanges().empty());
    EXPECT_FALSE(b.book.hasUnsavedChanges());
    EXPECT_EQ(b.read(3, kDatedColumn), QStringLiteral("1.0"));
}

TEST(TakeBack, RowMovedByAnotherProgram_IsFollowed)
{
    Book b;
    const auto record =
        std::make_shared<Points>(QStringLiteral("2"), QStringLiteral("陶萍"), kNewColumn, 2);
    ASSERT_EQ(b.book.record(record).status, RecordStatus::Written);
    ASSERT_TRUE(b.book.save().ok());
    {
        // The two first persons swap rows, their score with them.
        xls::Workbook other = xls::Workbook::open(b.file().toStdU16String());
        other.setNumber(0, 3, 1, 2);
        other.setText(0, 3, 2, "陶萍");
        other.setNumber(0, 3, kNewColumn, 2);
        other.setNumber(0, 4, 1, 1);
        other.setText(0, 4, 2, "郭文诗");
        other.setEmpty(0, 4, kNewColumn);
        other.save();
    }
    EXPECT_EQ(b.book.takeBack(record).status, RecordStatus::Written);
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_EQ(b.read(3, kNewColumn), QStringLiteral("empty"));
    EXPECT_EQ(b.read(4, kNewColumn), QStringLiteral("empty"));
}

TEST(TakeBack, TwoRecordsTakenBackNewestFirst_RestoreBoth)
{
    Book b;
    const auto first =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), kDatedColumn, 1);
    const auto second =
        std::make_shared<Points>(QStringLiteral("1"), QStringLiteral("郭文诗"), kDatedColumn, 3);
    ASSERT_EQ(b.book.record(first).status, RecordStatus::Written);
    ASSERT_EQ(b.book.record(second).status, RecordStatus::Written);
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_EQ(b.read(3, kDatedColumn), QStringLiteral("5.0"));
    // The older one first would find the cell holding the newer's sum.
    EXPECT_EQ(b.book.takeBack(first).status, RecordStatus::Changed);
    EXPECT_EQ(b.book.takeBack(second).status, RecordStatus::Written);
    EXPECT_EQ(b.book.takeBack(first).status, RecordStatus::Written);
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_EQ(b.read(3, kDatedColumn), QStringLiteral("1.0"));
}

struct HoldsCase {
    const char* name;
    xls::CellValue cell;
    CellContent written;
    bool holds;
};

TEST(TakeBack, CellHolds_OnlyExactlyWhatWasWritten)
{
    const HoldsCase cases[] = {
        {"same number", xls::CellValue::ofNumber(2.5), 2.5, true},
        {"other number", xls::CellValue::ofNumber(2.5), 3.0, false},
        {"number as text", xls::CellValue::ofText("2.5"), 2.5, false},
        {"same text", xls::CellValue::ofText("12月08"), QStringLiteral("12月08"), true},
        {"text with a space", xls::CellValue::ofText("12月08 "), QStringLiteral("12月08"), false},
        {"emptied", xls::CellValue{}, QString(), true},
        {"filled since emptied", xls::CellValue::ofNumber(0), QString(), false},
    };
    for (const HoldsCase& c : cases)
        EXPECT_EQ(cellHolds(c.cell, c.written), c.holds) << c.name;
    EXPECT_EQ(restoringContent(xls::CellValue{}), CellContent(QString()));
    EXPECT_EQ(restoringContent(xls::CellValue::ofNumber(4)), CellContent(4.0));
    EXPECT_EQ(restoringContent(xls::CellValue::ofText("缺考")),
              CellContent(QStringLiteral("缺考")));
}

} // namespace
