// The classroom session on a real roll book: what a class change leaves
// behind, a score pressed again while the save fails, a take-back, and a
// grouping saved after another program re-sorted the rows.
#include "classroom/logic/ClassroomSession.h"
#include "rollbook/Workbook.h"

#include "DamagedBook.h"
#include "TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSample = QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls");
const QString kFirstClass = QStringLiteral("初一(1)班");

struct Classroom {
    Classroom()
    {
        world.addFile(kSample, QStringLiteral("点名册.xls"));
        book.open();
        session.setClasses(book.worksheetNames());
    }
    QString file() const { return world.folder.file(QStringLiteral("点名册.xls")); }
    // Another program saves the roll book with its own change.
    void editElsewhere(const std::function<void(xls::Workbook&)>& change) const
    {
        xls::Workbook other = xls::Workbook::open(std::filesystem::path(file().toStdU16String()));
        change(other);
        other.save();
    }
    // The cell as the file holds it, read by a workbook of its own.
    xls::CellValue fileCell(int row, int column) const
    {
        const xls::Workbook saved =
            xls::Workbook::open(std::filesystem::path(file().toStdU16String()));
        return saved.cell(0, row, column);
    }
    // The first class read and its first person called.
    void callFirstPerson()
    {
        session.chooseClass(0);
        ASSERT_EQ(session.loadRoster().read, RosterRead::Loaded);
        session.setCalled(1);
    }

    TestServices world;
    RollBook book{world.services};
    ClassroomSession session{book, world.random};
};

struct LoadCase {
    const char* name;
    std::function<void(Classroom&)> arrange; // before the second class is read
    int classIndex;
    RosterRead expected;
    int persons;
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class RosterLoad : public ::testing::TestWithParam<LoadCase>
{
};

const LoadCase kLoads[] = {
    {"AnotherClass_IsRead", {}, 1, RosterRead::Loaded, 40},
    {"ClassCutToOnePerson_IsEmpty",
     [](Classroom& c) { c.editElsewhere([](xls::Workbook& b) { b.setText(1, 4, 1, ""); }); }, 1,
     RosterRead::Empty, 1},
    {"ClassPastTheList_IsUnreadable", {}, 9, RosterRead::Unreadable, 0},
    {"ClassWithDamagedCells_IsUnreadable",
     [](Classroom& c) {
         damageCell(c.file(), QStringLiteral("初一(2)班"), 3, 2, Damage::CellCutShort);
     },
     1, RosterRead::Unreadable, 0},
};

} // namespace

// Nothing of the class read before may stand for the new one: a score or
// a reset would land in its rows and score column of the new sheet.
TEST_P(RosterLoad, EndsAsExpected_KeepingNothingOfThePreviousClass)
{
    const LoadCase& c = GetParam();
    Classroom room;
    room.callFirstPerson();
    room.session.prepareScorePool(1);
    ASSERT_EQ(room.session.writeScore(2).record.status, RecordStatus::Written);
    if (c.arrange)
        c.arrange(room);
    room.session.chooseClass(c.classIndex);
    EXPECT_EQ(room.session.loadRoster().read, c.expected);
    EXPECT_EQ(room.session.personCount(), c.persons);
    EXPECT_EQ(room.session.roster().size(), size_t(c.expected == RosterRead::Loaded ? 40 : 0));
    EXPECT_EQ(room.session.calledPerson(), nullptr);
    EXPECT_EQ(room.session.lastScore(), nullptr);
    EXPECT_EQ(room.session.writeScore(2).step, ScoreStep::NobodyCalled);
    if (c.expected != RosterRead::Loaded) {
        EXPECT_EQ(room.session.draw().poolSize(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RosterLoad, ::testing::ValuesIn(kLoads),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ClassroomSession, ScorePressedAgainWhileTheSaveFails_IsAddedOnce)
{
    Classroom room;
    room.callFirstPerson();
    const int column = room.session.scoreColumn();
    const double before = room.book.cell(3, column).number;
    room.world.processes.holders = {{4242, "WPS 表格"}};
    room.world.processes.staysWhenAsked = true;
    ASSERT_EQ(room.session.writeScore(2).record.status, RecordStatus::Written);
    EXPECT_EQ(room.book.save().status, BookStatus::SaveFailed);
    const ScoreOutcome again = room.session.writeScore(2);
    EXPECT_EQ(again.step, ScoreStep::Recorded);
    EXPECT_EQ(again.record.status, RecordStatus::Written);
    room.world.processes.holders.clear();
    ASSERT_TRUE(room.book.save().ok());
    EXPECT_EQ(room.fileCell(3, column).number, before + 2);
}

TEST(ClassroomSession, ScoreTakenBack_LeavesTheCellAsItWas_AndCannotBeTakenBackTwice)
{
    Classroom room;
    room.callFirstPerson();
    const int column = room.session.scoreColumn();
    const xls::CellValue before = room.book.cell(3, column);
    ASSERT_EQ(room.session.writeScore(4).record.status, RecordStatus::Written);
    ASSERT_TRUE(room.book.save().ok());
    EXPECT_EQ(room.session.takeBackLastScore().status, RecordStatus::Written);
    EXPECT_EQ(room.session.lastScore(), nullptr);
    ASSERT_TRUE(room.book.save().ok());
    EXPECT_EQ(room.fileCell(3, column), before);
}

TEST(ClassroomSession, GroupingSaved_OnlyWhileTheSheetHoldsTheRosterGrouped)
{
    Classroom room;
    room.callFirstPerson();
    ASSERT_TRUE(room.session.formGroups(false, 2, 20).formed);
    // Another program sorts two persons into each other's rows.
    room.editElsewhere([](xls::Workbook& b) {
        const xls::CellValue third = b.cell(0, 3, 2);
        b.setText(0, 3, 2, b.cell(0, 4, 2).text);
        b.setText(0, 4, 2, third.text);
    });
    EXPECT_EQ(room.session.saveGroups().step, GroupSave::RosterChanged);
    EXPECT_FALSE(room.book.hasUnsavedChanges());
    // Read again, the same grouping is written for the rows as they are.
    ASSERT_EQ(room.session.loadRoster().read, RosterRead::Loaded);
    ASSERT_TRUE(room.session.formGroups(false, 2, 20).formed);
    const GroupSaveOutcome saved = room.session.saveGroups();
    EXPECT_EQ(saved.step, GroupSave::Written);
    EXPECT_TRUE(saved.book.ok());
    ASSERT_TRUE(room.book.save().ok());
    EXPECT_EQ(room.fileCell(42, kGroupColumn).number, 2);
    EXPECT_EQ(room.fileCell(42, kMemberColumn).number, 20);
}
