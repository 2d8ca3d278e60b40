// Every read of the engine compared with xlrd, cell by cell, over the
// samples of other programs and our own fixtures.
#include "XlsTestSupport.h"

#include "base/NumberText.h"
#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlstest;
using zelvano::xls::CellValue;
using zelvano::xls::SheetKind;
using zelvano::xls::SheetVisibility;
using zelvano::xls::Workbook;
using zelvano::xls::XlsError;

class ReadMatchesXlrd : public testing::TestWithParam<std::string>
{
};

TEST_P(ReadMatchesXlrd, EveryCellAndSheetName)
{
    const fs::path file = testFile(GetParam());
    const RunResult oracle = python("xlrd_dump.py", {file.string()});
    ASSERT_EQ(oracle.status, 0) << "xlrd could not read " << file;
    const RunResult ours = xlsTool({"dump", file.string()});
    ASSERT_EQ(ours.status, 0) << ours.out;
    EXPECT_EQ(ours.out, oracle.out);

    const RunResult sheetList = xlsTool({"sheets", file.string()});
    ASSERT_EQ(sheetList.status, 0);
    const RunResult oracleNames =
        run("cd " + quote(scriptsDir().string()) + " && " + ZELVANO_PYTHON +
            " -O -c 'import sys, xlrd, xlrd_dump; xlrd.book.Book.names_epilogue = lambda s: None; "
            "xlrd_dump.tolerate_wrong_string_count(); "
            "sys.stdout.buffer.write(\"\".join(n + \"\\n\" for n in "
            "xlrd_dump.open_book(sys.argv[1], on_demand=True).sheet_names()).encode())' " +
            quote(file.string()));
    ASSERT_EQ(oracleNames.status, 0);
    EXPECT_EQ(sheetList.out, oracleNames.out);
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, ReadMatchesXlrd, testing::ValuesIn(readableSamples()),
                         [](const auto& test) { return safeName(test.param); });
INSTANTIATE_TEST_SUITE_P(OwnFixtures, ReadMatchesXlrd, testing::ValuesIn(ownFixtures()),
                         [](const auto& test) { return safeName(test.param); });

TEST(UnusualSamples, EncryptedWorkbook_IsRefusedNotReadAsEmpty)
{
    try {
        Workbook::open(samplesDir() / "issue_385.xls");
        FAIL() << "an encrypted workbook was opened";
    } catch (const XlsError& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("password"));
    }
}

TEST(UnusualSamples, DamagedContainer_GivesAnErrorOrSoundCells)
{
    try {
        const Workbook wb = Workbook::open(samplesDir() / "corrupted_error.xls");
        ASSERT_GE(wb.worksheetCount(), 1u);
        EXPECT_EQ(wb.cellText(0, 1, 1), "ПРАЙС-ЛИСТ");
    } catch (const XlsError&) {
        SUCCEED();
    }
}

TEST(UnusualSamples, Biff5BookBesideWorkbook_ReadsTheBiff8Stream)
{
    const Workbook wb = Workbook::open(samplesDir() / "biff5-rich-text-string.xls");
    ASSERT_EQ(wb.worksheetCount(), 1u);
    EXPECT_FALSE(wb.cell(0, 1, 1).isEmpty());
}

TEST(UnusualSamples, Dates1904_NumbersReadAsStored)
{
    const Workbook wb = Workbook::open(samplesDir() / "dates-1904.xls");
    bool anyNumber = false;
    wb.forEachCell(
        0, [&](int, int, const CellValue& v) { anyNumber |= v.type == CellValue::Type::Number; });
    EXPECT_TRUE(anyNumber);
}

// Chart sheets, macro sheets and modules are listed by sheets() with their
// kind but are not worksheets: worksheetNames() and worksheet positions skip
// them, as xlrd's sheet_names() does.
TEST(SheetKinds, ChartAndHiddenSheets_ListedWithKindWorksheetsOnlyCounted)
{
    const Workbook wb = Workbook::open(samplesDir() / "any_sheets.xls");
    const auto& all = wb.sheets();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].visibility, SheetVisibility::Visible);
    EXPECT_EQ(all[1].visibility, SheetVisibility::Hidden);
    EXPECT_EQ(all[2].visibility, SheetVisibility::VeryHidden);
    EXPECT_EQ(all[3].kind, SheetKind::Chart);
    EXPECT_THAT(wb.worksheetNames(), testing::ElementsAre("Visible", "Hidden", "VeryHidden"));
    EXPECT_EQ(wb.worksheetCount(), 3u);
}

TEST(RollBookLayout, ClassSheetsAndPrizeSheet_ReadAsTheProgramNeeds)
{
    const Workbook wb = Workbook::open(fixturesDir() / "rollbook_xlwt.xls");
    EXPECT_THAT(wb.worksheetNames(), testing::ElementsAre("初二(1)班", "初二(2)班", "抽奖品"));
    EXPECT_EQ(wb.cellText(0, 2, 7), "03月05");
    EXPECT_EQ(wb.cellText(0, 3, 1), "1");
    EXPECT_EQ(wb.cell(0, 3, 1).type, CellValue::Type::Number);
    EXPECT_EQ(wb.cellText(0, 42, 1), "40");
    EXPECT_EQ(wb.cellText(0, 43, 1), "");
    EXPECT_EQ(wb.cellText(2, 1, 2), "期末抽奖");
    EXPECT_EQ(wb.cellText(2, 21, 1), "1");
    EXPECT_EQ(wb.cell(2, 21, 1).type, CellValue::Type::Text);
}

struct NumberCase {
    const char* name;
    double value;
    const char* text;
};

class NumberToText : public testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberToText, ShortestFormWithin15Digits)
{
    EXPECT_EQ(zelvano::numberToText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberToText,
    testing::Values(NumberCase{"Integer", 7, "7"}, NumberCase{"Half", 2.5, "2.5"},
                    NumberCase{"SumWithBinaryNoise", 0.1 + 0.2, "0.3"},
                    NumberCase{"Hundred", 100, "100"}, NumberCase{"NegativeZero", -0.0, "0"},
                    NumberCase{"Negative", -12.25, "-12.25"},
                    NumberCase{"Third", 1.0 / 3, "0.333333333333333"},
                    NumberCase{"Large", 1e20, "1E+20"}, NumberCase{"Small", 1.5e-7, "1.5E-07"},
                    NumberCase{"FifteenDigits", 123456789012345.0, "123456789012345"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TrimmedText, SpacesAroundTextAndNumbersRemoved)
{
    EXPECT_EQ(zelvano::xls::trimmedText(CellValue::ofText("  张三 ")), "张三");
    EXPECT_EQ(zelvano::xls::trimmedText(CellValue::ofText("   ")), "");
    EXPECT_EQ(zelvano::xls::trimmedText(CellValue::ofNumber(12)), "12");
    EXPECT_EQ(zelvano::xls::trimmedText(CellValue{}), "");
}
