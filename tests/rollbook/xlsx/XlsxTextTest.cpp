// Cell references, the _xHHHH_ text escapes and shifting shared formulas.
#include "rollbook/xlsx/XlsxText.h"
#include "rollbook/xlsx/CellRef.h"
#include "rollbook/xlsx/FormulaShift.h"

#include <gtest/gtest.h>

using namespace zelvano::xls;

namespace
{

struct RefCase {
    const char* text;
    int row, col; // 0 when the text is no reference
};

class CellRefTest : public testing::TestWithParam<RefCase>
{
};

TEST_P(CellRefTest, ParsesAndPrintsBack)
{
    const auto& c = GetParam();
    const auto pos = parseCellRef(c.text);
    if (c.row == 0) {
        EXPECT_FALSE(pos) << c.text;
        return;
    }
    ASSERT_TRUE(pos) << c.text;
    EXPECT_EQ(pos->row, c.row);
    EXPECT_EQ(pos->col, c.col);
    std::string upper(c.text);
    for (auto& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(cellRefText(*pos), upper);
}

INSTANTIATE_TEST_SUITE_P(Limits, CellRefTest,
                         testing::Values(RefCase{"A1", 1, 1}, RefCase{"Z9", 9, 26},
                                         RefCase{"AA10", 10, 27}, RefCase{"az3", 3, 52},
                                         RefCase{"XFD1048576", 1048576, 16384},
                                         RefCase{"XFE1", 0, 0}, RefCase{"A1048577", 0, 0},
                                         RefCase{"A0", 0, 0}, RefCase{"A01", 0, 0},
                                         RefCase{"1A", 0, 0}, RefCase{"A", 0, 0}, RefCase{"", 0, 0},
                                         RefCase{"$A$1", 0, 0}, RefCase{"AAAA1", 0, 0}));

TEST(CellRangeTest, ReadsRangesAndSingleCells)
{
    EXPECT_EQ(parseRange("B2:D9"), (CellRange{{2, 2}, {9, 4}}));
    EXPECT_EQ(parseRange("C3"), (CellRange{{3, 3}, {3, 3}}));
    EXPECT_FALSE(parseRange("D9:B2"));
    EXPECT_FALSE(parseRange("A1:"));
    EXPECT_EQ(rangeText({{1, 1}, {1, 1}}), "A1");
    EXPECT_EQ(rangeText({{1, 1}, {5, 28}}), "A1:AB5");
}

struct TextCase {
    const char* name;
    std::string stored; // as between <t> and </t>, entities already read
    std::string shown;
};

// A case is listed by its name: the bytes GoogleTest prints otherwise hold
// addresses, which differ between the listing and the run of a cross build.
void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

class EscapeTest : public testing::TestWithParam<TextCase>
{
};

TEST_P(EscapeTest, DecodesAsExcelShows)
{
    EXPECT_EQ(decodeEscapes(GetParam().stored), GetParam().shown);
}

TEST_P(EscapeTest, EncodingReadsBackTheSame)
{
    // encodeForXml's entities are what an XML reader removes first.
    std::string encoded = encodeForXml(GetParam().shown);
    for (const auto& [entity, ch] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}}) {
        for (auto at = encoded.find(entity); at != std::string::npos; at = encoded.find(entity))
            encoded.replace(at, std::string(entity).size(), ch);
    }
    for (auto at = encoded.find("&amp;"); at != std::string::npos;
         at = encoded.find("&amp;", at + 1))
        encoded.replace(at, 5, "&");
    EXPECT_EQ(encoded.find('\r'), std::string::npos);
    EXPECT_EQ(decodeEscapes(encoded), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeTest,
    testing::Values(TextCase{"CarriageReturn", "ABC_x000D_\nDEF", "ABC\r\nDEF"},
                    TextCase{"Plain", "张三 & 李四", "张三 & 李四"},
                    TextCase{"LiteralEscape", "_x005F_x0041_", "_x0041_"},
                    TextCase{"LowerHex", "_x00e9_", "\xC3\xA9"},
                    TextCase{"SurrogatePair", "_xD83D__xDE00_", "\xF0\x9F\x98\x80"},
                    TextCase{"LoneSurrogate", "_xD83D_x", "\xEF\xBF\xBDx"},
                    TextCase{"NotAnEscape", "_x12G4_ _x12", "_x12G4_ _x12"},
                    TextCase{"ControlCharacter", "a_x0001_b",
                             "a\x01"
                             "b"},
                    TextCase{"Markup", "<b>\"x\"</b>", "<b>\"x\"</b>"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(EncodeForXmlTest, EscapesWhatXmlCannotCarry)
{
    EXPECT_EQ(encodeForXml("a\rb\tc\nd"), "a_x000D_b\tc\nd");
    EXPECT_EQ(encodeForXml("_x0041_"), "_x005F_x0041_");
    EXPECT_EQ(encodeForXml("a<b&c>\""), "a&lt;b&amp;c&gt;&quot;");
    EXPECT_TRUE(needsSpacePreserve(" x"));
    EXPECT_TRUE(needsSpacePreserve("x\n"));
    EXPECT_FALSE(needsSpacePreserve("x y"));
}

struct ShiftCase {
    const char* name;
    const char* formula;
    int rows, cols;
    const char* shifted; // nullptr: refused
};

class FormulaShiftTest : public testing::TestWithParam<ShiftCase>
{
};

TEST_P(FormulaShiftTest, MovesRelativeReferencesOnly)
{
    const auto& c = GetParam();
    const auto out = shiftFormula(c.formula, c.rows, c.cols);
    if (!c.shifted) {
        EXPECT_FALSE(out) << *out;
        return;
    }
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, c.shifted);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaShiftTest,
    testing::Values(
        ShiftCase{"Relative", "A1*2", 1, 0, "A2*2"},
        ShiftCase{"Mixed", "$A1+A$1+$A$1", 2, 3, "$A3+D$1+$A$1"},
        ShiftCase{"Range", "SUM(B2:C9)", 0, 1, "SUM(C2:D9)"},
        ShiftCase{"WholeColumns", "SUM(F:G)", 0, 1, "SUM(G:H)"},
        ShiftCase{"WholeRows", "SUM(5:6)", 1, 0, "SUM(6:7)"},
        ShiftCase{"AbsoluteRows", "SUM($5:6)", 1, 0, "SUM($5:7)"},
        ShiftCase{"OtherSheet", "Sheet2!B3+'My sheet'!C4", 1, 1, "Sheet2!C4+'My sheet'!D5"},
        ShiftCase{"QuotedNameLooksLikeRef", "'A1'!A1", 1, 0, "'A1'!A2"},
        ShiftCase{"StringsStay", "IF(A1=\"B2\",\"x\"\"C3\",A1)", 1, 0,
                  "IF(A2=\"B2\",\"x\"\"C3\",A2)"},
        ShiftCase{"FunctionsLikeRefs", "LOG10(A1)+ATAN2(B1,C1)", 1, 0, "LOG10(A2)+ATAN2(B2,C2)"},
        ShiftCase{"Numbers", "A1*1E+5+2.5E-3", 1, 0, "A2*1E+5+2.5E-3"},
        ShiftCase{"StructuredRefs", "SUM(Table1[[#This Row],[A1]])+B1", 1, 0,
                  "SUM(Table1[[#This Row],[A1]])+B2"},
        ShiftCase{"ExternalBook", "[1]Feuil8!A1", 0, 1, "[1]Feuil8!B1"},
        ShiftCase{"ErrorLiterals", "IFERROR(A1,#N/A)+#REF!", 1, 0, "IFERROR(A2,#N/A)+#REF!"},
        ShiftCase{"Names", "Total*Rate_1+_xlfn.XLOOKUP(A1,B:B,C:C)", 1, 1,
                  "Total*Rate_1+_xlfn.XLOOKUP(B2,C:C,D:D)"},
        ShiftCase{"ChineseName", "总分+A1", 1, 0, "总分+A2"},
        ShiftCase{"OffTheSheetBelow", "A1048576", 1, 0, nullptr},
        ShiftCase{"OffTheSheetRight", "XFD1", 0, 1, nullptr},
        ShiftCase{"OffTheSheetAbove", "A1", -1, 0, nullptr},
        ShiftCase{"UnterminatedString", "\"abc", 1, 0, nullptr},
        ShiftCase{"UnterminatedBracket", "Table1[Col", 1, 0, nullptr}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
