// A workbook written by the engine opens in LibreOffice with the values we
// wrote. Runs only where LibreOffice is installed.
#include "XlsTestSupport.h"

#include "rollbook/Workbook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlstest;
using testing::HasSubstr;

TEST(LibreOffice, WrittenRollBook_ConvertsToCsvWithNewValues)
{
    if (run("command -v soffice").status != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "rollbook.xls");
    {
        auto wb = zelvano::xls::Workbook::open(file);
        wb.setText(0, 2, 10, "04月02");
        wb.setNumber(0, 3, 10, 2.5);
        wb.setText(0, 4, 2, "欧阳修");
        wb.setEmpty(0, 5, 1);
        wb.setNumber(0, 200, 3, 12);
        wb.save();
    }
    const fs::path out = dir.path() / "csv";
    const std::string profile = "file://" + (dir.path() / "profile").string();
    const RunResult r =
        run("timeout 180 soffice --headless -env:UserInstallation=" + quote(profile) +
                " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir " +
                quote(out.string()) + " " + quote(file.string()),
            true);
    ASSERT_EQ(r.status, 0) << r.out;
    std::ifstream in(out / "rollbook.csv");
    const std::string csv((std::istreambuf_iterator<char>(in)), {});
    const auto rows = lines(csv);
    ASSERT_GE(rows.size(), 200u);
    EXPECT_THAT(rows[1], HasSubstr("04月02"));
    EXPECT_THAT(split(rows[2], ',')[9], testing::AnyOf("2.5", "2.50", "2.5\r"));
    EXPECT_EQ(split(rows[3], ',')[1], "\"欧阳修\"");
    EXPECT_EQ(split(rows[4], ',')[0], "");
    EXPECT_EQ(split(rows[199], ',')[2], "12");
    EXPECT_EQ(split(rows[5], ',')[0], "4");
}

// The first cell of a filled-down (shared) formula overwritten: LibreOffice
// still computes every other cell of the column from its own row.
TEST(LibreOffice, SharedFormulaFirstCellOverwritten_OtherCellsStillCompute)
{
    if (run("command -v soffice").status != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "formulas_lo.xls", "formulas.xls");
    {
        auto wb = zelvano::xls::Workbook::open(file);
        wb.setNumber(0, 1, 2, 99);   // B1, first cell of =A1*2 filled down
        wb.setNumber(0, 5, 1, 1000); // A5, read by B5 and C5
        wb.save();
    }
    const fs::path out = dir.path() / "csv";
    const std::string profile = "file://" + (dir.path() / "profile").string();
    const RunResult r =
        run("timeout 180 soffice --headless -env:UserInstallation=" + quote(profile) +
                " --convert-to csv --outdir " + quote(out.string()) + " " + quote(file.string()),
            true);
    ASSERT_EQ(r.status, 0) << r.out;
    std::ifstream in(out / "formulas.csv");
    const auto rows = lines(std::string((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_GE(rows.size(), 40u);
    EXPECT_EQ(split(rows[0], ',')[1], "99");
    EXPECT_EQ(split(rows[4], ',')[1], "2000");
    EXPECT_EQ(split(rows[4], ',')[2], "3000");
    EXPECT_EQ(split(rows[39], ',')[1], "80");
}
