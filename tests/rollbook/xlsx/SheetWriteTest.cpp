// Writing cells by splicing: the written part equals the original with only
// the touched <c>, the new <row> and the dimension changed, byte for byte,
// and reads back with the new values.
#include "SheetTestSupport.h"

#include "rollbook/XlsError.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zelvano::xls;
using namespace zelvano::xls::testing_support;

namespace
{

struct WriteCase {
    const char* name;
    std::string before; // elements before <sheetData>
    std::string rows;
    std::function<void(SheetXml&)> change;
    std::string expectedBefore;
    std::string expectedRows;
};

class SheetWriteTest : public testing::TestWithParam<WriteCase>
{
};

TEST_P(SheetWriteTest, SplicesOnlyTheTouchedElements)
{
    const auto& c = GetParam();
    const auto strings = sst("<si><t>old</t></si><si><t>new</t></si>");
    auto sheet = SheetXml::parse(sheetXml(c.rows, c.before), strings, false);
    c.change(sheet);
    EXPECT_TRUE(sheet.changed());
    const std::string out = sheet.serialize();
    EXPECT_EQ(out, sheetXml(c.expectedRows, c.expectedBefore));
    // What we wrote reads back as the sheet we hold.
    const auto again = SheetXml::parse(out, strings, false);
    std::vector<std::string> held, read;
    sheet.forEachCell([&](int r, int col, const CellValue& v) {
        held.push_back(cellRefText({r, col}) + "=" + v.toText());
    });
    again.forEachCell([&](int r, int col, const CellValue& v) {
        read.push_back(cellRefText({r, col}) + "=" + v.toText());
    });
    EXPECT_EQ(held, read);
}

const std::string kDim = "<dimension ref=\"A1:C3\"/>";
const std::string kRow1 = "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" s=\"2\" t=\"s\"><v>0</v></c>"
                          "<c r=\"C1\"><v>3</v></c></row>";
const std::string kShared = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f t=\"shared\" "
                            "ref=\"B1:B3\" si=\"0\">A1*2</f><v>2</v></c></row>"
                            "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" si=\"0\"/><v>4</v></c></row>"
                            "<row r=\"3\"><c r=\"B3\"><f t=\"shared\" si=\"0\"/><v>6</v></c></row>";
const std::string kSharedAfter =
    "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>9</v></c></row>"
    "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" si=\"0\" ref=\"B2:B3\">A2*2</f><v>4</v></c></row>"
    "<row r=\"3\"><c r=\"B3\"><f t=\"shared\" si=\"0\"/><v>6</v></c></row>";
const std::string kTwoAxes =
    "<row r=\"1\"><c r=\"B1\"><f t=\"shared\" ref=\"B1:C2\" ca=\"1\" si=\"0\">$A1+A$1</f>"
    "<v>0</v></c><c r=\"C1\"><f t=\"shared\" ca=\"1\" si=\"0\"/><v>0</v></c></row>"
    "<row r=\"2\"><c r=\"B2\"><f t=\"shared\" ca=\"1\" si=\"0\"></f><v>0</v></c>"
    "<c r=\"C2\"><f t=\"shared\" ca=\"1\" si=\"0\"/><v>0</v></c></row>";
const std::string kTwoAxesAfter =
    "<row r=\"1\"><c r=\"B1\"><v>1</v></c><c r=\"C1\"><f t=\"shared\" ca=\"1\" si=\"0\" "
    "ref=\"C1:C2\">$A1+B$1</f><v>0</v></c></row>"
    "<row r=\"2\"><c r=\"B2\"><f ca=\"1\">$A2+A$1</f><v>0</v></c>"
    "<c r=\"C2\"><f t=\"shared\" ca=\"1\" si=\"0\"/><v>0</v></c></row>";

INSTANTIATE_TEST_SUITE_P(
    Splices, SheetWriteTest,
    testing::Values(
        WriteCase{"NumberOverTextKeepsStyle", kDim, kRow1,
                  [](SheetXml& s) { s.setNumber(1, 1, 2.5); }, kDim,
                  "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" s=\"2\"><v>2.5</v></c>"
                  "<c r=\"C1\"><v>3</v></c></row>"},
        WriteCase{"NewCellBetweenCells", kDim, kRow1,
                  [](SheetXml& s) { s.setSharedString(1, 2, 1); }, kDim,
                  "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" s=\"2\" t=\"s\"><v>0</v></c>"
                  "<c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\"><v>3</v></c></row>"},
        WriteCase{"NewCellsPastTheRowAndSheet", kDim, kRow1,
                  [](SheetXml& s) {
                      s.setNumber(5, 4, 1e20);
                      s.setNumber(1, 5, -0.125);
                      s.setNumber(3, 1, 7);
                  },
                  "<dimension ref=\"A1:E5\"/>",
                  "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" s=\"2\" t=\"s\"><v>0</v></c>"
                  "<c r=\"C1\"><v>3</v></c><c r=\"E1\"><v>-0.125</v></c></row>"
                  "<row r=\"3\"><c r=\"A3\"><v>7</v></c></row>"
                  "<row r=\"5\"><c r=\"D5\"><v>1e+20</v></c></row>"},
        WriteCase{"NewRowBeforeExistingOne", "", "<row r=\"4\"><c r=\"A4\"><v>1</v></c></row>",
                  [](SheetXml& s) { s.setNumber(2, 2, 3); }, "",
                  "<row r=\"2\"><c r=\"B2\"><v>3</v></c></row>"
                  "<row r=\"4\"><c r=\"A4\"><v>1</v></c></row>"},
        WriteCase{"RowStyleThenColumnStyle", "<cols><col min=\"2\" max=\"4\" style=\"7\"/></cols>",
                  "<row r=\"2\" s=\"5\" customFormat=\"1\"><c r=\"A2\"><v>1</v></c></row>",
                  [](SheetXml& s) {
                      s.setNumber(2, 3, 1);
                      s.setNumber(3, 3, 2);
                      s.setNumber(3, 6, 3);
                  },
                  "<cols><col min=\"2\" max=\"4\" style=\"7\"/></cols>",
                  "<row r=\"2\" s=\"5\" customFormat=\"1\"><c r=\"A2\"><v>1</v></c>"
                  "<c r=\"C2\" s=\"5\"><v>1</v></c></row>"
                  "<row r=\"3\"><c r=\"C3\" s=\"7\"><v>2</v></c><c r=\"F3\"><v>3</v></c></row>"},
        WriteCase{"SelfClosingRowGainsACell", "", "<row r=\"2\" ht=\"20\" />",
                  [](SheetXml& s) { s.setNumber(2, 1, 1); }, "",
                  "<row r=\"2\" ht=\"20\"><c r=\"A2\"><v>1</v></c></row>"},
        WriteCase{"EmptyStyledCellKeepsItsStyle", "",
                  "<row r=\"1\"><c r=\"A1\" s=\"3\"><v>1</v></c><c r=\"B1\"><v>2</v></c>"
                  "<c r=\"C1\" s=\"0\"><f>A1</f><v>1</v></c></row>",
                  [](SheetXml& s) {
                      s.setEmpty(1, 1);
                      s.setEmpty(1, 2);
                      s.setEmpty(1, 3);
                      s.setEmpty(1, 9); // nothing there: nothing to do
                  },
                  "", "<row r=\"1\"><c r=\"A1\" s=\"3\"/></row>"},
        WriteCase{"EmptyBeforeImplicitCellStays", "",
                  "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c><v>2</v></c></row>",
                  [](SheetXml& s) { s.setEmpty(1, 1); }, "",
                  "<row r=\"1\"><c r=\"A1\"/><c><v>2</v></c></row>"},
        WriteCase{"NewCellEmptiedAgainLeavesNothing", kDim, kRow1,
                  [](SheetXml& s) {
                      s.setNumber(1, 2, 1);
                      s.setNumber(7, 2, 1);
                      s.setEmpty(1, 2);
                      s.setEmpty(7, 2);
                  },
                  kDim, kRow1},
        WriteCase{"CellWrittenTwice", "", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>",
                  [](SheetXml& s) {
                      s.setNumber(1, 1, 2);
                      s.setSharedString(1, 1, 0);
                  },
                  "", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"},
        WriteCase{"SharedFormulaHandedOnDown", "", kShared,
                  [](SheetXml& s) { s.setNumber(1, 2, 9); }, "", kSharedAfter},
        WriteCase{"SharedFormulaOnTwoAxes", "", kTwoAxes, [](SheetXml& s) { s.setNumber(1, 2, 1); },
                  "", kTwoAxesAfter}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SheetWriteTest, EmptySheetDataGainsItsFirstRow)
{
    const std::string xml = "<x:worksheet xmlns:x=\"" + kMain +
                            "\"><x:dimension ref=\"A1\"/><x:sheetData/><x:drawing/></x:worksheet>";
    auto sheet = SheetXml::parse(xml, sst(""), false);
    sheet.setSharedString(3, 2, 0);
    EXPECT_EQ(sheet.serialize(), "<x:worksheet xmlns:x=\"" + kMain +
                                     "\"><x:dimension ref=\"A1:B3\"/><x:sheetData><x:row r=\"3\">"
                                     "<x:c r=\"B3\" t=\"s\"><x:v>0</x:v></x:c></x:row>"
                                     "</x:sheetData><x:drawing/></x:worksheet>");
}

TEST(SheetWriteTest, UnchangedSheetIsTheOriginal)
{
    const std::string xml = sheetXml(kShared, kDim);
    auto sheet = SheetXml::parse(xml, sst(""), false);
    EXPECT_FALSE(sheet.changed());
    EXPECT_EQ(sheet.serialize(), xml);
}

TEST(SheetWriteTest, OverwrittenFormulasAreListed)
{
    auto sheet = SheetXml::parse(sheetXml(kShared), sst(""), false);
    EXPECT_TRUE(sheet.holdsFormulas());
    sheet.setNumber(3, 2, 1);
    sheet.setNumber(1, 2, 1);
    sheet.setNumber(2, 2, 1);
    sheet.setNumber(2, 3, 1); // a new cell had no formula
    EXPECT_EQ(sheet.overwrittenFormulas(),
              (std::vector<std::pair<int, int>>{{3, 2}, {1, 2}, {2, 2}}));
    EXPECT_FALSE(sheet.holdsFormulas());
}

struct RefusalCase {
    const char* name;
    std::string rows;
    int row, col;
    XlsError::Kind kind;
};

class SheetRefusalTest : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(SheetRefusalTest, RefusesAndChangesNothing)
{
    const auto& c = GetParam();
    auto sheet = SheetXml::parse(sheetXml(c.rows), sst(""), false);
    try {
        sheet.setNumber(c.row, c.col, 1);
        FAIL() << "no refusal";
    } catch (const XlsError& e) {
        EXPECT_EQ(e.kind(), c.kind) << e.what();
    }
    EXPECT_THROW(sheet.setEmpty(c.row, c.col), XlsError);
    EXPECT_THROW(sheet.checkCanChange(c.row, c.col), XlsError);
    EXPECT_FALSE(sheet.changed());
    EXPECT_EQ(sheet.serialize(), sheetXml(c.rows));
}

const std::string kArray = "<row r=\"1\"><c r=\"A1\"><f t=\"array\" ref=\"A1:B3\">C1:D3*2</f>"
                           "<v>1</v></c></row>";

INSTANTIATE_TEST_SUITE_P(
    Refusals, SheetRefusalTest,
    testing::Values(
        RefusalCase{"ArrayFirstCell", kArray, 1, 1, XlsError::Kind::PartOfArray},
        RefusalCase{"ArrayEmptyCellInRange", kArray, 3, 2, XlsError::Kind::PartOfArray},
        RefusalCase{"DataTable",
                    "<row r=\"2\"><c r=\"B2\"><f t=\"dataTable\" ref=\"B2:C4\" dt2D=\"1\" "
                    "r1=\"A1\"/><v>1</v></c></row>",
                    4, 3, XlsError::Kind::PartOfArray},
        RefusalCase{
            "SharedFormulaOffTheSheet",
            "<row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A2\" si=\"0\">B1048576</f>"
            "<v>1</v></c></row><row r=\"2\"><c r=\"A2\"><f t=\"shared\" si=\"0\"/></c></row>",
            1, 1, XlsError::Kind::SharedFormulaCut}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SharedStringTableTest, AppendedEntriesAreSplicedBeforeTheEnd)
{
    const std::string xml = "<?xml version=\"1.0\"?>\n<sst xmlns=\"" + kMain +
                            "\" count=\"5\" uniqueCount=\"1\"><si><t>a</t></si></sst>\n";
    auto table = SharedStringTable::parse(xml);
    table.indexFor("a");
    table.indexFor(" b\r<");
    EXPECT_EQ(table.serialize(xml), "<?xml version=\"1.0\"?>\n<sst xmlns=\"" + kMain +
                                        "\" count=\"6\" uniqueCount=\"2\"><si><t>a</t></si><si><t "
                                        "xml:space=\"preserve\"> b_x000D_&lt;</t></si></sst>\n");
    EXPECT_EQ(SharedStringTable::parse(table.serialize(xml)).text(1), " b\r<");
}

TEST(SharedStringTableTest, EmptyPartGrowsFromNothing)
{
    auto table = SharedStringTable::parse(SharedStringTable::emptyPart());
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.indexFor("张三"), 0u);
    const auto written = SharedStringTable::parse(table.serialize(SharedStringTable::emptyPart()));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written.text(0), "张三");
    const std::string prefixed = "<x:sst xmlns:x=\"" + kMain + "\"/>";
    auto p = SharedStringTable::parse(prefixed);
    p.indexFor("v");
    EXPECT_EQ(p.serialize(prefixed),
              "<x:sst xmlns:x=\"" + kMain + "\"><x:si><x:t>v</x:t></x:si></x:sst>");
}

} // namespace
