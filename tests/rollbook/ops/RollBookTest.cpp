// The roll book without widgets: every way an operation can end, as a typed
// outcome, with nothing shown and no program ended.
#include "rollbook/ops/RollBook.h"
#include "rollbook/Workbook.h"
#include "rollbook/cfb/CompoundFile.h"

#include "DamagedBook.h"
#include "TestServices.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSample = QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls");
const QString kFormulas =
    QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xls/formulas_xlwt.xls");

// What Excel saves for a workbook with an opening password: the package
// encrypted in a compound file.
void writeEncrypted(const QString& path)
{
    xls::CompoundFile cfb = xls::CompoundFile::createEmpty();
    cfb.addRootStream("EncryptedPackage", xls::Bytes(5000, 0x11));
    const xls::Bytes bytes = cfb.serialize();
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

struct Book {
    explicit Book(const QString& source = kSample)
    {
        if (!source.isEmpty())
            world.addFile(source, QStringLiteral("点名册.xls"));
    }
    QString file() const { return world.folder.file(QStringLiteral("点名册.xls")); }
    // Another program saves the file with one number changed.
    void changeElsewhere(int sheet, int row, int column, double value) const
    {
        const auto path = std::filesystem::path(file().toStdU16String());
        xls::Workbook other = xls::Workbook::open(path);
        other.setNumber(static_cast<std::size_t>(sheet), row, column, value);
        other.save();
    }

    // A spreadsheet program of this user holds the file open.
    void holdFile(bool staysWhenAsked = false)
    {
        world.processes.holders = {{4242, "LibreOffice Calc"}};
        world.processes.staysWhenAsked = staysWhenAsked;
    }

    TestServices world;
    RollBook book{world.services};
};

struct OutcomeCase {
    const char* name;
    QString source; // copied in as the roll book; empty: none
    std::function<void(Book&)> arrange;
    std::function<BookOutcome(Book&)> act;
    BookStatus expected;
};

void PrintTo(const OutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class RollBookOutcome : public ::testing::TestWithParam<OutcomeCase>
{
};

const OutcomeCase kOutcomes[] = {
    {"OpenSample_IsOk", kSample, {}, [](Book& b) { return b.book.open(); }, BookStatus::Ok},
    {"NoFile_IsMissing", QString(), {}, [](Book& b) { return b.book.open(); }, BookStatus::Missing},
    {"NotAWorkbook_IsUnreadable", kSample,
     [](Book& b) {
         QFile f(b.file());
         f.open(QIODevice::WriteOnly | QIODevice::Truncate);
         f.write("not a workbook at all");
     },
     [](Book& b) { return b.book.open(); }, BookStatus::Unreadable},
    {"SheetPastTheEnd_IsNoSuchSheet",
     kSample,
     {},
     [](Book& b) { return b.book.activateSheet(4); },
     BookStatus::NoSuchSheet},
    {"SheetOfNoName_IsNoSuchSheet",
     kSample,
     {},
     [](Book& b) { return b.book.activateSheet(QStringLiteral("nothing")); },
     BookStatus::NoSuchSheet},
    {"SheetWithCutCell_IsDamaged", kSample,
     [](Book& b) { damageCell(b.file(), QStringLiteral("初一(2)班"), 3, 2, Damage::CellCutShort); },
     [](Book& b) { return b.book.activateSheet(QStringLiteral("初一(2)班")); },
     BookStatus::Damaged},
    {"WriteWithNoSheet_IsUnreadable",
     kSample,
     {},
     [](Book& b) {
         return b.book.write({{3, 7, 1.0, {}}});
     },
     BookStatus::Unreadable},
    {"FileBecameAFolder_SaveFindsItUnreadable", kSample,
     [](Book& b) {
         b.book.activateSheet(0);
         b.book.write({{3, 7, 8.0, {}}});
         QFile::remove(b.file());
         QDir().mkpath(b.file());
     },
     [](Book& b) { return b.book.save(); }, BookStatus::Unreadable},
    {"HeldByAProgramThatStays_SaveFailed", kSample,
     [](Book& b) {
         b.book.activateSheet(0);
         b.book.write({{3, 7, 8.0, {}}});
         b.holdFile(true);
     },
     [](Book& b) { return b.book.save(); }, BookStatus::SaveFailed},
    {"MarkedReadOnly_SaveFailed", kSample,
     [](Book& b) {
         b.book.activateSheet(0);
         b.book.write({{3, 7, 8.0, {}}});
         QFile::setPermissions(b.file(), QFile::ReadOwner | QFile::ReadGroup);
     },
     [](Book& b) { return b.book.save(); }, BookStatus::SaveFailed},
    {"PasswordProtected_IsProtectedNotUnreadable", kSample,
     [](Book& b) { writeEncrypted(b.file()); }, [](Book& b) { return b.book.open(); },
     BookStatus::Protected},
    {"EditOfGoneSheet_IsNoSuchSheet",
     kSample,
     {},
     [](Book& b) { return b.book.editCell(QStringLiteral("nothing"), 3, 3, QStringLiteral("1")); },
     BookStatus::NoSuchSheet},
};

TEST_P(RollBookOutcome, EndsAsExpected_ShowingNothing)
{
    const OutcomeCase& c = GetParam();
    Book b(c.source);
    if (c.arrange)
        c.arrange(b);
    const BookOutcome outcome = c.act(b);
    EXPECT_EQ(outcome.status, c.expected);
    EXPECT_EQ(outcome.ok(), c.expected == BookStatus::Ok);
    EXPECT_TRUE(b.world.messages.shown.empty());
    EXPECT_EQ(b.world.programEnd.calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, RollBookOutcome, ::testing::ValuesIn(kOutcomes),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RollBook, RefusedCell_IsNamedWithItsKind_AndNothingOfTheWriteIsMade)
{
    Book b(kFormulas);
    ASSERT_TRUE(damageCell(b.file(), QStringLiteral("公式"), 3, 3, Damage::ArrayFormulaPart));
    ASSERT_TRUE(b.book.activateSheet(QStringLiteral("公式")).ok());
    const BookOutcome outcome = b.book.write({{3, 6, 1.0, {}}, {3, 3, 2.0, {}}});
    EXPECT_EQ(outcome.status, BookStatus::Refused);
    EXPECT_EQ(outcome.refused.sheet, QStringLiteral("公式"));
    EXPECT_EQ(outcome.refused.row, 3);
    EXPECT_EQ(outcome.refused.column, 3);
    EXPECT_EQ(outcome.refused.kind, xls::XlsError::Kind::PartOfArray);
    EXPECT_FALSE(b.book.hasUnsavedChanges());
}

TEST(RollBook, ChangedElsewhereWhileUnsaved_OpenReportsRewrittenAndKept)
{
    Book b;
    ASSERT_TRUE(b.book.activateSheet(0).ok());
    ASSERT_TRUE(b.book.write({{4, 7, 3.0, {}}}).ok());
    b.changeElsewhere(0, 5, 7, 9);
    const BookOutcome outcome = b.book.open();
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.reloads.size(), 1u);
    EXPECT_EQ(outcome.reloads[0].rewritten, 1);
    EXPECT_TRUE(outcome.reloads[0].kept.empty());
    EXPECT_FALSE(b.book.hasUnsavedChanges()); // saved on the same access
    EXPECT_TRUE(b.world.messages.shown.empty());
}

TEST(RollBook, ChangedElsewhereWithNothingPending_IsReadAgainWithoutReport)
{
    Book b;
    ASSERT_TRUE(b.book.activateSheet(0).ok());
    b.changeElsewhere(0, 3, 7, 4);
    const BookOutcome outcome = b.book.activateSheet(0);
    EXPECT_TRUE(outcome.ok());
    EXPECT_TRUE(outcome.reloads.empty());
    EXPECT_EQ(b.book.cellText(3, 7), QStringLiteral("4"));
}

TEST(RollBook, HolderOfTheFile_IsNamed_AndOnlyAskedToCloseWhenTheTeacherChooses)
{
    Book b;
    b.holdFile();
    ASSERT_TRUE(b.book.activateSheet(0).ok());
    ASSERT_TRUE(b.book.write({{3, 7, 1.0, {}}}).ok());
    const BookOutcome held = b.book.save();
    EXPECT_EQ(held.status, BookStatus::SaveFailed);
    EXPECT_TRUE(held.holder.held);
    EXPECT_EQ(held.holder.pid, 4242);
    EXPECT_EQ(held.holder.program, QStringLiteral("LibreOffice Calc"));
    EXPECT_TRUE(b.world.processes.askedToClose.empty()); // nothing asked by itself
    EXPECT_TRUE(b.book.hasUnsavedChanges());

    EXPECT_TRUE(b.book.askHolderToClose(held.holder));
    EXPECT_EQ(b.world.processes.askedToClose, (std::vector<std::int64_t>{4242}));
    EXPECT_TRUE(b.book.save().ok());
}

TEST(RollBook, HolderThatStaysWhenAsked_IsWaitedForThroughTheClockThenGivenUp)
{
    Book b;
    b.holdFile(true);
    ASSERT_TRUE(b.book.activateSheet(0).ok());
    ASSERT_TRUE(b.book.write({{3, 7, 1.0, {}}}).ok());
    const BookOutcome held = b.book.save();
    EXPECT_FALSE(b.book.askHolderToClose(held.holder));
    int waited = 0;
    for (int ms : b.world.clock.waits)
        waited += ms;
    EXPECT_GE(waited, 10000); // long enough to answer its own "save?" question
    EXPECT_EQ(b.book.save().status, BookStatus::SaveFailed);
}

TEST(RollBook, UnsavedChanges_CountTheTeachersChangesNotCells)
{
    Book b;
    ASSERT_TRUE(b.book.activateSheet(0).ok());
    QFile::setPermissions(b.file(), QFile::ReadOwner);
    ASSERT_TRUE(b.book.write({{3, 5, 1.0, {}}, {3, 6, 1.0, {}}, {4, 5, 1.0, {}}}).ok());
    ASSERT_TRUE(b.book.write({{2, 9, QStringLiteral("03月05"), {}}, {5, 9, 2.0, {}}}).ok());
    EXPECT_EQ(b.book.save().status, BookStatus::SaveFailed);
    EXPECT_EQ(b.book.unsavedWriteCount(), 2);
}

// --- Records: applied once, waiting when they cannot be written -----------------------------

// A record that adds one to G of the row holding `number` in column A.
class AddOne final : public RecordCommand
{
public:
    AddOne(QString sheet, QString number, bool waits)
        : m_sheet(std::move(sheet)), m_number(std::move(number)), m_waits(waits)
    {
    }
    QString sheet() const override { return m_sheet; }
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override
    {
        ++plans;
        const CellAnchor anchor = CellAnchor::rowHolding({{1, m_number}}, 3);
        const AnchoredRow row = findAnchoredRow(anchor, 3, cells, lastRow);
        if (row.match == AnchoredRow::Match::Gone || row.match == AnchoredRow::Match::Ambiguous)
            return {{}, true};
        return {{{row.row, 7, cells(row.row, 7).number + 1, anchor}}, false};
    }
    RecordNotice goneNotice(const QString& /*rollBookName*/) const override
    {
        return {QStringLiteral("gone"), QString()};
    }
    bool waitsWhenNotWritten() const override { return m_waits; }
    QString handText() const override { return m_number; }

    int plans = 0;

private:
    QString m_sheet;
    QString m_number;
    bool m_waits;
};

struct RecordCase {
    const char* name;
    QString sheet;
    QString number;
    bool waitsWhenNotWritten;
    RecordStatus expected;
    bool waits;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.name;
}

class RollBookRecord : public ::testing::TestWithParam<RecordCase>
{
};

const QString kClass = QStringLiteral("初一(1)班");

TEST_P(RollBookRecord, EndsAsExpected_AndWaitsOnlyWhenItShould)
{
    const RecordCase& c = GetParam();
    Book b;
    const RecordOutcome outcome =
        b.book.record(std::make_shared<AddOne>(c.sheet, c.number, c.waitsWhenNotWritten));
    EXPECT_EQ(outcome.status, c.expected);
    EXPECT_EQ(outcome.waits, c.waits);
    EXPECT_EQ(b.book.waiting().size(), c.waits ? 1u : 0u);
    EXPECT_TRUE(b.world.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RollBookRecord,
                         ::testing::Values(RecordCase{"RowThere_Written", kClass, "1", true,
                                                      RecordStatus::Written, false},
                                           RecordCase{"NoSuchSheet_WaitingKind_Waits", "nothing",
                                                      "1", true, RecordStatus::Unreachable, true},
                                           RecordCase{"NoSuchSheet_OtherKind_GivenUp", "nothing",
                                                      "1", false, RecordStatus::Unreachable, false},
                                           RecordCase{"RowGone_WaitingKind_Waits", kClass, "999",
                                                      true, RecordStatus::RowGone, true},
                                           RecordCase{"RowGone_OtherKind_GivenUp", kClass, "999",
                                                      false, RecordStatus::RowGone, false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RollBookRecord, MadeWhileTheFileCannotBeOpened_IsAppliedOnceAtTheNextAccess)
{
    Book b;
    const QString away = b.file() + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(b.file(), away));
    const auto record = std::make_shared<AddOne>(kClass, "1", true);
    EXPECT_EQ(b.book.record(record).status, RecordStatus::Unreachable);
    EXPECT_TRUE(b.book.hasUnsavedChanges());
    EXPECT_TRUE(b.book.applyWaiting().front().waits); // still away: waits on
    ASSERT_TRUE(QFile::rename(away, b.file()));
    const double before = xls::Workbook::open(b.file().toStdU16String()).cell(0, 3, 7).number;

    const std::vector<RecordOutcome> applied = b.book.applyWaiting();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].status, RecordStatus::Written);
    EXPECT_TRUE(b.book.applyWaiting().empty()); // nothing twice
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_EQ(xls::Workbook::open(b.file().toStdU16String()).cell(0, 3, 7).number, before + 1);
    EXPECT_FALSE(b.book.hasUnsavedChanges());
    EXPECT_EQ(record->plans, 1);
}

TEST(RollBookRecord, ChangeFor_CountsRecordedChangesUntilSaved_NotPlainWrites)
{
    Book b;
    const CellAnchor first = CellAnchor::rowHolding({{1, QStringLiteral("1")}}, 3);
    ASSERT_TRUE(b.book.activateSheet(kClass).ok());
    ASSERT_TRUE(b.book.write({{3, 7, 5.0, first}}).ok()); // a reset, say
    EXPECT_EQ(b.book.changeFor(kClass, 7, first), ChangeState::None);
    ASSERT_EQ(b.book.record(std::make_shared<AddOne>(kClass, "1", false)).status,
              RecordStatus::Written);
    EXPECT_EQ(b.book.changeFor(kClass, 7, first), ChangeState::Unsaved);
    EXPECT_EQ(b.book.changeFor(kClass, 8, first), ChangeState::None);
    ASSERT_TRUE(b.book.save().ok());
    EXPECT_EQ(b.book.changeFor(kClass, 7, first), ChangeState::None);
}

} // namespace
