// What a write does to the calculation parts: a chain naming a cell that
// lost its formula is dropped with its relationship and content type (Excel
// rebuilds it), and the workbook recalculates on load only when the written
// sheet holds formulas.
#include "XlsxTestSupport.h"

#include "rollbook/xlsx/XlsxFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;
using testing::Not;

namespace
{

struct CalcCase {
    std::string file;
    int row, col;
    bool chainDropped;
    bool recalculates;
};

} // namespace

TEST(XlsxCalc, ChainAndRecalculation_FollowWhatTheWriteTouched)
{
    const std::vector<CalcCase> cases{
        {"errors.xlsx", 1, 1, true, true},       // A1 holds =5/0
        {"issue446.xlsx", 5, 24, true, true},    // X5 anchors a shared formula
        {"errors.xlsx", 20, 8, false, true},     // a new cell beside formulas
        {"string-ref.xlsx", 1, 1, false, false}, // a sheet without formulas
        {"inventory-table.xlsx", 3, 2, false, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path before = xlsxSamplesDir() / c.file;
        const fs::path after = dir.path() / c.file;
        auto book = openXlsxFormat(readBytes(before));
        book->setNumber(0, c.row, c.col, 7);
        book->save([&](const Bytes& image) { writeBytes(after, image); });

        const auto states = rawComparison(before, after);
        const std::string what =
            c.file + " R" + std::to_string(c.row) + "C" + std::to_string(c.col);
        const std::string types =
            oracle("zip_check.py", {"read", after, "[Content_Types].xml"}).out;
        const std::string rels =
            oracle("zip_check.py", {"read", after, "xl/_rels/workbook.xml.rels"}).out;
        if (c.chainDropped) {
            EXPECT_EQ(states.at("xl/calcChain.xml"), "removed") << what;
            EXPECT_THAT(types, Not(HasSubstr("calcChain"))) << what;
            EXPECT_THAT(rels, Not(HasSubstr("calcChain"))) << what;
        } else {
            EXPECT_EQ(states.at("[Content_Types].xml"), "same") << what;
            EXPECT_EQ(states.at("xl/_rels/workbook.xml.rels"), "same") << what;
        }
        EXPECT_EQ(oracle("zip_check.py", {"chain", after}).out, "ok\n") << what;
        EXPECT_EQ(states.at("xl/workbook.xml"), c.recalculates ? "differs" : "same") << what;
        if (c.recalculates) {
            EXPECT_THAT(oracle("zip_check.py", {"calcpr", after}).out,
                        HasSubstr("fullCalcOnLoad=\"1\""))
                << what;
        }
    }
}
