// Which format opens a file, decided by what it holds and not by its name,
// and what the roll book keeps of the file's name whatever the format.
#include "XlsTestSupport.h"

#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/CompoundFile.h"
#include "rollbook/cfb/SafeSave.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlstest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

void writeBytes(const fs::path& file, const Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes textBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes compoundFileWith(const char* stream)
{
    CompoundFile cfb = CompoundFile::createEmpty();
    cfb.addRootStream(stream, Bytes(5000, 0x11));
    return cfb.serialize();
}

struct Refused {
    const char* name;
    std::function<Bytes()> content;
    const char* fileName;
    const char* message;
};

class OpenRefuses : public testing::TestWithParam<Refused>
{
};

TEST_P(OpenRefuses, WithOneLineNamingWhy)
{
    TempDir dir;
    const fs::path file = dir.path() / GetParam().fileName;
    writeBytes(file, GetParam().content());
    try {
        Workbook::open(file);
        FAIL() << "opened";
    } catch (const XlsError& e) {
        const std::string what = e.what();
        EXPECT_THAT(what, HasSubstr(GetParam().message));
        EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenRefuses,
    testing::Values(
        Refused{"PasswordEncryptedXlsx",
                [] {
                    return readWholeFile(fs::path(ZELVANO_SHARED_DIR) / "xlsx-samples" /
                                         "pass_protected.xlsx");
                },
                "点名册.xlsx", "encrypted with a password"},
        Refused{"PasswordEncryptedNamedXls", [] { return compoundFileWith("EncryptedPackage"); },
                "点名册.xls", "encrypted with a password"},
        Refused{"CompoundFileWithoutWorkbook", [] { return compoundFileWith("Contents"); },
                "点名册.xls", "holds no Excel workbook"},
        Refused{"PlainText", [] { return textBytes("name,score\n张三,3\n"); }, "点名册.xlsx",
                "not an Excel workbook"},
        Refused{"EmptyFile", [] { return Bytes(); }, "点名册.xls", "not an Excel workbook"},
        Refused{"SignatureOnly", [] { return textBytes("PK\x03\x04"); }, "点名册.xlsx", ""}),
    [](const auto& test) { return std::string(test.param.name); });

// Excel's "save as" with the wrong type leaves an .xls workbook named .xlsx:
// it reads and saves as what it is, and its backup follows the name.
TEST(WorkbookFormat, XlsContentNamedXlsx_OpensSavesAndKeepsABackupOfItsOwnName)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xlsx");
    const Bytes before = readWholeFile(file);
    Workbook wb = Workbook::open(file);
    EXPECT_EQ(wb.maxRow(), 65536);
    EXPECT_EQ(wb.maxColumn(), 256);
    EXPECT_EQ(wb.backupPath(), dir.path() / "点名册.bak.xlsx");
    wb.setNumber(0, 3, 7, 4.5);
    wb.save();
    EXPECT_FALSE(wb.isDirty());
    EXPECT_EQ(readWholeFile(dir.path() / "点名册.bak.xlsx"), before);
    const fs::path copy = dir.copy(file, "check.xls");
    const RunResult dump = python("xlrd_dump.py", {copy.string()});
    ASSERT_EQ(dump.status, 0);
    EXPECT_THAT(dump.out, HasSubstr("\t3\t7\tn\t4.5\n"));
}

// The common mistake the other way round: an .xlsx workbook named .xls.
TEST(WorkbookFormat, XlsxContentNamedXls_OpensWithTheBoundsOfXlsx)
{
    TempDir dir;
    const fs::path file =
        dir.copy(fs::path(ZELVANO_SOURCE_DIR) / "tests" / "fixtures" / "xlsx" / "rollbook_lo.xlsx",
                 "点名册.xls");
    Workbook wb = Workbook::open(file);
    EXPECT_EQ(wb.maxRow(), 1048576);
    EXPECT_EQ(wb.maxColumn(), 16384);
    EXPECT_EQ(wb.worksheetCount(), 4u);
    EXPECT_EQ(wb.cellText(0, 3, 2), "郭文诗");
    EXPECT_EQ(wb.backupPath(), dir.path() / "点名册.bak.xls");
    wb.setNumber(0, 3, 9, 2.5);
    wb.save();
    EXPECT_EQ(Workbook::open(file).cell(0, 3, 9).number, 2.5);
}

// Whatever kind of cell came before, the values handed out one after another
// are each whole, as a lookup of that one cell gives it.
TEST(WorkbookFormat, EveryCellListed_SameAsReadAlone)
{
    const fs::path xlsx = fs::path(ZELVANO_SOURCE_DIR) / "tests" / "fixtures" / "xlsx";
    const fs::path xlsxSamples = fs::path(ZELVANO_SHARED_DIR) / "xlsx-samples";
    for (const fs::path& file :
         {fixturesDir() / "rollbook_xlwt.xls", fixturesDir() / "formulas_lo.xls",
          samplesDir() / "types.xls", xlsx / "rollbook_lo.xlsx", xlsxSamples / "errors.xlsx"}) {
        const Workbook wb = Workbook::open(file);
        std::size_t cells = 0;
        for (std::size_t s = 0; s < wb.worksheetCount(); ++s)
            wb.forEachCell(s, [&](int row, int col, const CellValue& v) {
                ++cells;
                EXPECT_EQ(v, wb.cell(s, row, col)) << file << " " << row << ":" << col;
            });
        EXPECT_GT(cells, 0u) << file;
    }
}

TEST(WorkbookFormat, RowAndColumnBounds_ComeFromTheFormat)
{
    const Workbook wb = Workbook::open(fixturesDir() / "rollbook_xlwt.xls");
    EXPECT_NO_THROW(wb.cell(0, 65536, 256));
    EXPECT_THROW(wb.cell(0, 65537, 1), XlsError);
    EXPECT_THROW(wb.cell(0, 1, 257), XlsError);
    EXPECT_THROW(wb.cell(0, 0, 1), XlsError);
}

// The stamp is made from the bytes read and the bytes written, without
// reading the file again, and is still what the file on disk gives; a save
// by another program of the same size within the same time still shows.
class WorkbookStamp : public testing::TestWithParam<const char*>
{
};

TEST_P(WorkbookStamp, MatchesTheFileAfterOpenAndSave_AndSeesAnotherSave)
{
    TempDir dir;
    const fs::path source = fs::path(ZELVANO_SOURCE_DIR) / "tests" / "fixtures" / GetParam();
    const fs::path file = dir.copy(source, "点名册" + source.extension().string());
    Workbook wb = Workbook::open(file);
    EXPECT_EQ(wb.stamp(), stampOf(file));
    wb.setNumber(0, 3, 9, 2.5);
    wb.save();
    EXPECT_EQ(wb.stamp(), stampOf(file));
    EXPECT_FALSE(wb.changedOnDisk());

    const auto mtime = fs::last_write_time(file);
    Bytes bytes = readWholeFile(file);
    bytes[bytes.size() / 2] ^= 0x5A;
    writeBytes(file, bytes);
    fs::last_write_time(file, mtime);
    EXPECT_TRUE(wb.changedOnDisk());
}

INSTANTIATE_TEST_SUITE_P(Formats, WorkbookStamp,
                         testing::Values("xls/rollbook_xlwt.xls", "xlsx/rollbook_lo.xlsx"),
                         [](const auto& test) {
                             return std::string(test.index == 0 ? "Xls" : "Xlsx");
                         });

} // namespace
