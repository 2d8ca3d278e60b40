// The .xlsx format as the roll book holds it: saves that fail or follow one
// another, sheets that hold no cells, texts shared between cells.
#include "XlsxDump.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XlsxFormat.h"
#include "rollbook/xlsx/XmlSpans.h"
#include "rollbook/xlsx/ZipArchive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

std::unique_ptr<WorkbookFormat> sample(const std::string& name)
{
    return openXlsxFormat(readBytes(xlsxSamplesDir() / name));
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(XlsxFormat, NumberWrite_LeavesTheSharedStringsUnread_AReadFindsThemDamaged)
{
    ZipArchive::Changes broken;
    broken.put["xl/sharedStrings.xml"] = "<sst xmlns=\"" + std::string(kMainNamespace) + "\"><si>";
    const Bytes image =
        ZipArchive(readBytes(xlsxSamplesDir() / "inventory-table.xlsx")).write(broken);
    auto book = openXlsxFormat(image);
    book->setNumber(0, 2, 2, 7);
    Bytes saved;
    book->save([&](const Bytes& written) { saved = written; });
    EXPECT_FALSE(saved.empty());
    try {
        book->lastRow(0);
        FAIL() << "the damaged strings were not noticed";
    } catch (const XlsError& e) {
        EXPECT_EQ(e.kind(), XlsError::Kind::Damaged) << e.what();
    }
}

TEST(XlsxFormat, FailedSave_KeepsChangesForTheNextOne)
{
    TempDir dir;
    const fs::path file = dir.path() / "book.xlsx";
    auto book = sample("inventory-table.xlsx");
    book->setNumber(0, 2, 2, 99);
    EXPECT_THROW(book->save([](const Bytes&) { throw XlsError("disk full"); }), XlsError);
    EXPECT_TRUE(book->isDirty());
    book->save([&](const Bytes& image) { writeBytes(file, image); });
    EXPECT_FALSE(book->isDirty());
    EXPECT_EQ(oracleDump(file).at({0, 2, 2}).value, "99.0");
}

TEST(XlsxFormat, SecondSave_BuildsOnTheFirst)
{
    TempDir dir;
    const fs::path first = dir.path() / "first.xlsx", second = dir.path() / "second.xlsx";
    auto book = sample("shared_formula_simple.xlsx");
    book->setText(0, 30, 1, "甲");
    book->save([&](const Bytes& image) { writeBytes(first, image); });
    book->setText(0, 31, 1, "甲");
    book->setText(0, 32, 1, "乙");
    book->save([&](const Bytes& image) { writeBytes(second, image); });

    const Dump dump = oracleDump(second);
    EXPECT_EQ(dump.at({0, 30, 1}).value, "甲");
    EXPECT_EQ(dump.at({0, 31, 1}).value, "甲");
    EXPECT_EQ(dump.at({0, 32, 1}).value, "乙");
    const std::string strings =
        oracle("zip_check.py", {"read", second, "xl/sharedStrings.xml"}).out;
    EXPECT_EQ(count(strings, "<si>"), 2u) << strings;
    for (const auto& [name, state] : rawComparison(first, second))
        EXPECT_EQ(state, name == "xl/worksheets/sheet1.xml" || name == "xl/sharedStrings.xml"
                             ? "differs"
                             : "same")
            << name;
}

TEST(XlsxFormat, SheetsWithoutCells_ReadEmptyAndRefuseChanges)
{
    auto book = sample("any_sheets.xlsx");
    ASSERT_EQ(book->sheets().at(3).kind, SheetKind::Chart);
    EXPECT_EQ(book->lastRow(3), 0);
    EXPECT_TRUE(book->cell(3, 1, 1).isEmpty());
    const std::vector<std::function<void()>> changes{
        [&] { book->setNumber(3, 1, 1, 1); },
        [&] { book->setText(3, 1, 1, "x"); },
        [&] { book->setEmpty(3, 1, 1); },
        [&] { book->setNumber(4, 1, 1, 1); },
        [&] { book->setText(0, 1, 1, std::string(32768, 'x')); },
    };
    for (const auto& change : changes)
        EXPECT_THROW(change(), XlsError);
    EXPECT_FALSE(book->isDirty());
    EXPECT_NO_THROW(book->setText(0, 1, 1, std::string(32767, 'x')));
}

// A sheet that was only read keeps its cells but not its bytes; changed
// later, it takes them back from the package and saves exactly as if it had
// been changed at once.
TEST(XlsxFormat, SheetReadBeforeItsChange_SavesTheSameBytes)
{
    struct Change {
        const char* sample;
        int row, col;
    };
    for (const Change& c :
         {Change{"inventory-table.xlsx", 2, 2}, Change{"shared_formula_simple.xlsx", 30, 1},
          Change{"shared_formula_simple.xlsx", 1, 1}}) {
        Bytes atOnce, afterReading;
        auto direct = sample(c.sample);
        direct->setText(0, c.row, c.col, "甲");
        direct->save([&](const Bytes& image) { atOnce = image; });
        auto read = sample(c.sample);
        read->forEachCell(0, [](int, int, const CellValue&) {});
        read->setText(0, c.row, c.col, "甲");
        read->save([&](const Bytes& image) { afterReading = image; });
        EXPECT_EQ(afterReading, atOnce) << c.sample << " " << c.row << "," << c.col;
    }
}
