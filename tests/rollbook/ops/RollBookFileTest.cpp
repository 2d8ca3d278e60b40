// Which roll book of the data folder is used: 点名册.xls, 点名册.xlsx, or of
// the two the one saved last.
#include "rollbook/ops/RollBookFile.h"
#include "rollbook/ops/RollBook.h"

#include "TestServices.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSample = QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls");
const QString kXls = QStringLiteral("点名册.xls");
const QString kXlsx = QStringLiteral("点名册.xlsx");

struct FindCase {
    const char* name;
    int xlsAge;  // seconds before now it was saved; < 0: no such file
    int xlsxAge; // the same for the .xlsx
    QString used;
    bool both;
};

void PrintTo(const FindCase& c, std::ostream* os)
{
    *os << c.name;
}

class FindRollBook : public ::testing::TestWithParam<FindCase>
{
};

void place(TestServices& world, const QString& name, int age)
{
    if (age < 0)
        return;
    // Any sound workbook will do: what it holds decides how it is read, and
    // here only which file is used counts.
    ASSERT_TRUE(world.addFile(kSample, name));
    QFile file(world.folder.file(name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    static const QDateTime now = QDateTime::currentDateTime();
    ASSERT_TRUE(file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
}

TEST_P(FindRollBook, UsesTheExpectedFile_AndOpensIt)
{
    const FindCase& c = GetParam();
    TestServices world;
    place(world, kXls, c.xlsAge);
    place(world, kXlsx, c.xlsxAge);

    const RollBookFile found = findRollBook(world.folder.path());
    EXPECT_EQ(found.path, world.folder.file(c.used));
    EXPECT_EQ(found.fileName(), c.used);
    EXPECT_EQ(found.bothPresent, c.both);

    RollBook book(world.services);
    EXPECT_EQ(book.path(), world.folder.file(c.used));
    EXPECT_EQ(book.bothFilesPresent(), c.both);
    const bool present = c.xlsAge >= 0 || c.xlsxAge >= 0;
    EXPECT_EQ(book.exists(), present);
    EXPECT_EQ(book.open().status, present ? BookStatus::Ok : BookStatus::Missing);
    EXPECT_EQ(book.fileName(), c.used);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindRollBook,
                         ::testing::Values(FindCase{"OnlyXls", 60, -1, kXls, false},
                                           FindCase{"OnlyXlsx", -1, 60, kXlsx, false},
                                           FindCase{"Neither_NamesTheXls", -1, -1, kXls, false},
                                           FindCase{"BothXlsxNewer", 3600, 60, kXlsx, true},
                                           FindCase{"BothXlsNewer", 60, 3600, kXls, true},
                                           FindCase{"BothSavedTogether_TheXls", 60, 60, kXls,
                                                    true}),
                         [](const auto& test) { return std::string(test.param.name); });

// An .xlsx saved under the old name is still the roll book, read as what it is.
TEST(FindRollBook, XlsHoldingAnXlsxWorkbook_IsUsedAndOpens)
{
    TestServices world;
    ASSERT_TRUE(world.addFile(
        QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xlsx/rollbook_openpyxl.xlsx"), kXls));
    RollBook book(world.services);
    EXPECT_EQ(book.fileName(), kXls);
    ASSERT_EQ(book.activateSheet(QStringLiteral("初一(1)班")).status, BookStatus::Ok);
    EXPECT_EQ(book.cellText(3, 2), QStringLiteral("郭文诗"));
}

// Once open, the roll book stays the file it read, even when the other one
// is saved later: changes never move from one file to the other mid-run.
TEST(FindRollBook, OpenBook_KeepsItsFileWhenTheOtherIsSavedLater)
{
    TestServices world;
    place(world, kXls, 60);
    place(world, kXlsx, 3600);
    RollBook book(world.services);
    ASSERT_TRUE(book.open().ok());
    QFile xlsx(world.folder.file(kXlsx));
    ASSERT_TRUE(xlsx.open(QIODevice::ReadWrite));
    ASSERT_TRUE(xlsx.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime));
    EXPECT_EQ(book.fileName(), kXls);
    book.drop();
    EXPECT_EQ(book.fileName(), kXlsx);
}

} // namespace
