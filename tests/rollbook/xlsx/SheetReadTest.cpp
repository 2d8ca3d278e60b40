// Reading worksheet and shared-string XML: every way a value is stored.
#include "SheetTestSupport.h"

#include "rollbook/XlsError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace zelvano::xls;
using namespace zelvano::xls::testing_support;

namespace
{

struct ReadCase {
    const char* name;
    std::string xml; // a whole worksheet part
    int row, col;
    CellValue expected;
    bool date1904 = false;
};

class SheetReadTest : public testing::TestWithParam<ReadCase>
{
};

TEST_P(SheetReadTest, ReadsTheValueExcelShows)
{
    const auto& c = GetParam();
    const auto strings = sst("<si><t>plain</t></si>"
                             "<si><r><t>rich </t></r><r><rPr><b/></rPr><t>text</t></r></si>"
                             "<si><r><t>課きく</t></r><rPh sb=\"0\" eb=\"1\"><t>カ</t></rPh></si>"
                             "<si><t>ABC_x000D_\nDEF</t></si><si/>");
    const auto sheet = SheetXml::parse(c.xml, strings, c.date1904);
    const std::optional<CellValue> v = sheet.find(c.row, c.col);
    if (c.expected.isEmpty()) {
        EXPECT_FALSE(v.has_value());
        return;
    }
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, c.expected) << v->toText();
    // Read as it inflates, in pieces that cut names and texts, it holds the same.
    std::size_t at = 0;
    auto streamed = SheetXml::read(
        [&](char* into, std::size_t room) {
            const std::size_t n = std::min({room, std::size_t{5}, c.xml.size() - at});
            std::copy_n(c.xml.data() + at, n, into);
            at += n;
            return n;
        },
        c.date1904);
    streamed.bindStrings(strings);
    EXPECT_EQ(streamed.find(c.row, c.col), v);
}

const std::string kPrefixed = "<x:worksheet xmlns:x=\"" + kMain +
                              "\"><x:sheetData><x:row r=\"2\"><x:c r=\"C2\" t=\"s\"><x:v>0</x:v>"
                              "</x:c></x:row></x:sheetData></x:worksheet>";
const std::string kStrict =
    "<worksheet xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><sheetData><row "
    "r=\"1\"><c r=\"A1\"><v>7</v></c></row></sheetData></worksheet>";
const std::string kScoped =
    "<worksheet xmlns=\"" + kMain + "\"><sheetData><p:row xmlns:p=\"" + kMain +
    "\" r=\"1\"><p:c r=\"A1\"><p:v>7</p:v></p:c></p:row><row r=\"2\" xmlns=\"urn:other\"><c "
    "r=\"A2\"><v>8</v></c></row><row r=\"3\"><c "
    "r=\"A3\"><v>9</v></c></row></sheetData></worksheet>";
const std::string kForeignC =
    "<worksheet xmlns=\"" + kMain +
    "\" xmlns:o=\"urn:other\"><sheetData><row r=\"1\"><o:c r=\"A1\"><v>7</v></o:c>"
    "</row></sheetData></worksheet>";

INSTANTIATE_TEST_SUITE_P(
    Values, SheetReadTest,
    testing::Values(
        ReadCase{"Number", sheetXml("<row r=\"3\"><c r=\"B3\"><v>2.5</v></c></row>"), 3, 2,
                 CellValue::ofNumber(2.5)},
        ReadCase{"NumberTypeN", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"n\"><v>1E3</v></c></row>"),
                 1, 1, CellValue::ofNumber(1000)},
        ReadCase{"SharedString", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"), 1,
                 1, CellValue::ofText("plain")},
        ReadCase{"RichText", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>"), 1, 1,
                 CellValue::ofText("rich text")},
        ReadCase{"PhoneticLeftOut", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>2</v></c></row>"),
                 1, 1, CellValue::ofText("課きく")},
        ReadCase{"EscapedCarriageReturn",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>3</v></c></row>"), 1, 1,
                 CellValue::ofText("ABC\r\nDEF")},
        ReadCase{"EmptySharedString",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>4</v></c></row>"), 1, 1,
                 CellValue::ofText("")},
        ReadCase{"SharedStringWithoutIndex",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v/></c></row>"), 1, 1, CellValue{}},
        ReadCase{"InlineString",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>a&amp;</t></r><r><t "
                          "xml:space=\"preserve\"> b</t></r><rPh><t>x</t></rPh></is></c></row>"),
                 1, 1, CellValue::ofText("a& b")},
        ReadCase{"Entities",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&#x41;&lt;"
                          "&#26085;&#xA;</t></is></c></row>"),
                 1, 1, CellValue::ofText("A<日\n")},
        ReadCase{
            "FormulaString",
            sheetXml("<row r=\"1\"><c r=\"A1\" t=\"str\"><f>B1&amp;\"x\"</f><v>yx</v></c></row>"),
            1, 1, CellValue::ofText("yx")},
        ReadCase{"Boolean", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"b\"><v>1</v></c></row>"), 1, 1,
                 CellValue::ofBoolean(true)},
        ReadCase{"ErrorDiv0", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c></row>"),
                 1, 1, CellValue::ofError(0x07)},
        ReadCase{"ErrorNA", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#N/A</v></c></row>"), 1,
                 1, CellValue::ofError(0x2A)},
        ReadCase{"ErrorUnknownKeptAsText",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#SPILL!</v></c></row>"), 1, 1,
                 CellValue::ofText("#SPILL!")},
        ReadCase{"IsoDate",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2021-01-01</v></c></row>"), 1, 1,
                 CellValue::ofNumber(44197)},
        ReadCase{"IsoDateTime",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2021-01-01T06:00:00Z</v></c></row>"),
                 1, 1, CellValue::ofNumber(44197.25)},
        ReadCase{"IsoTime", sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>18:00</v></c></row>"), 1,
                 1, CellValue::ofNumber(0.75)},
        ReadCase{"IsoDate1904",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>1904-01-02</v></c></row>"), 1, 1,
                 CellValue::ofNumber(1), true},
        ReadCase{"IsoDateBeforeLeapSlip",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>1900-01-01</v></c></row>"), 1, 1,
                 CellValue::ofNumber(1)},
        ReadCase{"IsoDateAfterLeapSlip",
                 sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>1900-03-01</v></c></row>"), 1, 1,
                 CellValue::ofNumber(61)},
        ReadCase{"StyledEmpty", sheetXml("<row r=\"1\"><c r=\"A1\" s=\"3\"/></row>"), 1, 1,
                 CellValue{}},
        ReadCase{"ImplicitRowsAndCells",
                 sheetXml("<row><c><v>1</v></c></row><row><c/><c><v>2</v></c></row>"), 2, 2,
                 CellValue::ofNumber(2)},
        ReadCase{"ImplicitAfterExplicit",
                 sheetXml("<row r=\"4\"><c r=\"C4\"/><c><v>5</v></c></row>"), 4, 4,
                 CellValue::ofNumber(5)},
        ReadCase{"Prefixed", kPrefixed, 2, 3, CellValue::ofText("plain")},
        ReadCase{"StrictNamespace", kStrict, 1, 1, CellValue::ofNumber(7)},
        ReadCase{"ForeignElementIgnored", kForeignC, 1, 1, CellValue{}},
        ReadCase{"PrefixDeclaredOnTheRow", kScoped, 1, 1, CellValue::ofNumber(7)},
        ReadCase{"RowInAnotherDefaultNamespace", kScoped, 2, 1, CellValue{}},
        ReadCase{"DefaultNamespaceBackAfterIt", kScoped, 3, 1, CellValue::ofNumber(9)},
        ReadCase{"LastColumnAndRow",
                 sheetXml("<row r=\"1048576\"><c r=\"XFD1048576\"><v>9</v></c></row>"), 1048576,
                 16384, CellValue::ofNumber(9)}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SheetReadTest, EmptySheetHasNoRows)
{
    const auto sheet = SheetXml::parse("<worksheet xmlns=\"" + kMain +
                                           "\"><dimension ref=\"A1\"/><sheetData/></worksheet>",
                                       sst(""), false);
    EXPECT_EQ(sheet.lastRow(), 0);
    int cells = 0;
    sheet.forEachCell([&](int, int, const CellValue&) { ++cells; });
    EXPECT_EQ(cells, 0);
}

TEST(SheetReadTest, LastRowCountsEmptyRowsAndVisitsCellsInOrder)
{
    const auto sheet = SheetXml::parse(
        sheetXml("<row r=\"2\"><c r=\"B2\"><v>2</v></c><c r=\"A2\"><v>1</v></c></row>"
                 "<row r=\"20\" hidden=\"1\"/>"),
        sst(""), false);
    EXPECT_EQ(sheet.lastRow(), 20);
    std::vector<std::string> seen;
    sheet.forEachCell([&](int r, int c, const CellValue& v) {
        seen.push_back(cellRefText({r, c}) + "=" + v.toText());
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"A2=1", "B2=2"}));
}

TEST(SheetReadTest, EveryKindOfValueInARow_ListedWhole)
{
    const auto strings = sst("<si><t>plain</t></si>");
    const auto sheet = SheetXml::parse(
        sheetXml(
            "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c><c r=\"B1\"><v>2</v>"
            "</c><c r=\"C1\" t=\"b\"><v>1</v></c><c r=\"D1\" t=\"e\"><v>#N/A</v></c><c "
            "r=\"E1\" t=\"s\"><v>0</v></c><c r=\"F1\"><v>3</v></c></row>"),
        strings, false);
    std::vector<CellValue> seen;
    sheet.forEachCell([&](int, int, const CellValue& v) { seen.push_back(v); });
    EXPECT_EQ(seen, (std::vector<CellValue>{CellValue::ofText("x"), CellValue::ofNumber(2),
                                            CellValue::ofBoolean(true), CellValue::ofError(0x2A),
                                            CellValue::ofText("plain"), CellValue::ofNumber(3)}));
}

TEST(SheetReadTest, NumbersRoundedAsTheTextSays)
{
    for (const char* text :
         {"0", "7", "0012", "0.5", "1.5", "0.1", "2.675", "0.3", "123456789012345",
          "1234567890123456", "99999.99999", "1e3", "-2.5", " 4 ", "+3"}) {
        const auto sheet = SheetXml::parse(
            sheetXml(std::string("<row r=\"1\"><c r=\"A1\"><v>") + text + "</v></c></row>"),
            sst(""), false);
        EXPECT_EQ(sheet.find(1, 1), CellValue::ofNumber(std::strtod(text, nullptr))) << text;
    }
}

struct DamageCase {
    const char* name;
    std::string xml;
};

class SheetDamageTest : public testing::TestWithParam<DamageCase>
{
};

TEST_P(SheetDamageTest, RefusedAsDamaged)
{
    try {
        SheetXml::parse(GetParam().xml, sst("<si><t>x</t></si>"), false);
        FAIL() << "no error";
    } catch (const XlsError& e) {
        EXPECT_EQ(e.kind(), XlsError::Kind::Damaged) << e.what();
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, SheetDamageTest,
    testing::Values(
        DamageCase{"CutInTheMiddle",
                   sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>").substr(0, 120)},
        DamageCase{"SharedStringOutOfRange",
                   sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>")},
        DamageCase{"BadNumber", sheetXml("<row r=\"1\"><c r=\"A1\"><v>1.2.3</v></c></row>")},
        DamageCase{"BadDate",
                   sheetXml("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2021-02-30</v></c></row>")},
        DamageCase{"BadReference", sheetXml("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>")},
        DamageCase{"CellInWrongRow", sheetXml("<row r=\"1\"><c r=\"A2\"><v>1</v></c></row>")},
        DamageCase{"CellTwice", sheetXml("<row r=\"1\"><c r=\"A1\"/><c r=\"A1\"/></row>")},
        DamageCase{"RowTwice", sheetXml("<row r=\"1\"/><row r=\"1\"/>")},
        DamageCase{"RowPastLimit", sheetXml("<row r=\"1048577\"/>")},
        DamageCase{"ColumnPastLimit", sheetXml("<row r=\"1\"><c r=\"XFD1\"/><c/></row>")},
        DamageCase{"Doctype", "<!DOCTYPE worksheet [<!ENTITY a \"aaaa\">]>" +
                                  sheetXml("").substr(sheetXml("").find("<worksheet"))},
        DamageCase{"TwoCellTables",
                   sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "<sheetData/>")},
        DamageCase{"NotXml", "PK\x03\x04 not xml"},
        DamageCase{"UndeclaredPrefix", sheetXml("<x:row r=\"1\"/>")},
        DamageCase{"PrefixOutOfScope",
                   sheetXml("<x:row xmlns:x=\"" + kMain + "\" r=\"1\"/><x:row r=\"2\"/>")}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(SharedStringTableTest, ReadsEntriesAndFindsPlainOnes)
{
    auto table = sst("<si><t>a</t></si><si><r><t>a</t></r></si><si><t>&amp;</t></si>");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.text(1), "a");
    EXPECT_EQ(table.text(2), "&");
    EXPECT_EQ(table.indexFor("a"), 0u); // the plain entry, not the rich one
    EXPECT_FALSE(table.changed());
    EXPECT_EQ(table.indexFor("new"), 3u);
    EXPECT_EQ(table.indexFor("new"), 3u);
    EXPECT_TRUE(table.changed());
}

TEST(SharedStringTableTest, DamagedPartIsRefused)
{
    EXPECT_THROW(SharedStringTable::parse("<sst xmlns=\"" + kMain + "\"><si><t>a</si></sst>"),
                 XlsError);
    EXPECT_THROW(SharedStringTable::parse("<other/>"), XlsError);
    // Entries in another namespace are not ours: new ones could not be found again.
    EXPECT_THROW(SharedStringTable::parse("<sst xmlns=\"urn:other\"><si><t>a</t></si></sst>"),
                 XlsError);
}

} // namespace
