// Three writes to every readable sample (a number over an existing cell, a
// text in a new cell past the used range, an emptied cell): openpyxl finds
// exactly those cells changed, every ZIP entry the write need not touch keeps
// its compressed bytes, the calculation chain never names a cell without a
// formula, and the workbook part changes only to recalculate formulas.
#include "XlsxDump.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/Package.h"
#include "rollbook/xlsx/XlsxFormat.h"
#include "rollbook/xlsx/ZipNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

const std::string kNewText = "Zelvano 新 <&> \"_x0041_\"";

// The cells of one sheet that can take a new value, in row order.
std::vector<Key> changeableCells(WorkbookFormat& book, const Dump& dump, std::size_t sheet)
{
    std::vector<Key> out;
    for (const auto& [key, cell] : dump) {
        if (std::get<0>(key) != sheet)
            continue;
        try {
            book.checkCanChange(sheet, std::get<1>(key), std::get<2>(key));
            out.push_back(key);
        } catch (const XlsError&) {
        }
    }
    return out;
}

// Where a new cell goes: two rows below the last, or two columns right of
// the last used one when the sheet reaches the last row.
Key newCellOf(const WorkbookFormat& book, const Dump& dump, std::size_t sheet)
{
    const int last = book.lastRow(sheet);
    if (last + 2 <= book.maxRow())
        return {sheet, last + 2, 2};
    int col = 0;
    for (const auto& [key, cell] : dump)
        if (std::get<0>(key) == sheet)
            col = std::max(col, std::get<2>(key));
    return {sheet, 1, col + 2};
}

std::size_t firstWorksheet(const WorkbookFormat& book)
{
    for (std::size_t s = 0; s < book.sheets().size(); ++s)
        if (book.sheets()[s].kind == SheetKind::Worksheet)
            return s;
    return book.sheets().size();
}

} // namespace

class XlsxSampleWrite : public testing::TestWithParam<std::string>
{
};

TEST_P(XlsxSampleWrite, ThreeWrites_ChangeExactlyThoseCellsAndKeepOtherEntries)
{
    TempDir dir;
    const fs::path before = xlsxSamplesDir() / GetParam();
    const fs::path after = dir.path() / GetParam();
    const Bytes original = readBytes(before);
    const Package package(original);
    auto book = openXlsxFormat(original);
    const std::size_t sheet = firstWorksheet(*book);
    ASSERT_LT(sheet, book->sheets().size());

    Dump expected = oracleDump(before);
    const auto cells = changeableCells(*book, expected, sheet);
    if (!cells.empty()) {
        book->setNumber(sheet, std::get<1>(cells.front()), std::get<2>(cells.front()), 4242.5);
        expected[cells.front()] = {"n", "4242.5"};
    }
    if (cells.size() > 1) {
        book->setEmpty(sheet, std::get<1>(cells.back()), std::get<2>(cells.back()));
        expected.erase(cells.back());
    }
    const Key added = newCellOf(*book, expected, sheet);
    book->setText(sheet, std::get<1>(added), std::get<2>(added), kNewText);
    expected[added] = {"s", escaped(kNewText)};
    ASSERT_TRUE(book->isDirty());
    book->save([&](const Bytes& image) { writeBytes(after, image); });
    EXPECT_FALSE(book->isDirty());

    expectSameDumps(oracleDump(after), expected, GetParam());
    expectSameDumps(engineDump(*book), expected, GetParam() + " after its save");

    const std::string sheetPart = package.sheets()[sheet].part;
    const bool formulas = oracle("zip_check.py", {"formulas", after, sheetPart}).out != "0\n";
    const auto states = rawComparison(before, after);
    const bool sstAdded = package.sharedStringsPart().empty() ||
                          !package.read(package.sharedStringsPart()).has_value();
    const bool chainDropped = package.hasCalcChain() && states.count("xl/calcChain.xml") &&
                              states.at("xl/calcChain.xml") == "removed";
    for (const auto& [name, state] : states) {
        std::string allowed = "same";
        if (foldedName(name) == foldedName(sheetPart))
            allowed = "differs";
        else if (name == "xl/sharedStrings.xml" ||
                 foldedName(name) == foldedName(package.sharedStringsPart()))
            allowed = sstAdded ? "added" : "differs";
        else if (name == "xl/calcChain.xml" && chainDropped)
            allowed = "removed";
        else if ((name == "[Content_Types].xml" || name == "xl/_rels/workbook.xml.rels") &&
                 (sstAdded || chainDropped))
            allowed = "differs";
        else if (name == package.workbookPart() && formulas)
            allowed = "differs";
        EXPECT_EQ(state, allowed) << name;
    }
    EXPECT_EQ(oracle("zip_check.py", {"chain", after}).out, "ok\n");
    if (formulas) {
        // std::regex: GoogleTest's own on Windows knows no groups.
        const std::string calcPr = oracle("zip_check.py", {"calcpr", after}).out;
        EXPECT_TRUE(std::regex_search(calcPr, std::regex("fullCalcOnLoad=.(1|true)"))) << calcPr;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, XlsxSampleWrite, testing::ValuesIn(readableXlsxSamples()),
                         [](const auto& test) { return safeName(test.param); });

// LibreOffice still opens every written sample: converted to CSV in one run,
// each first sheet shows the text written into it.
TEST(XlsxSampleWriteLibreOffice, EveryWrittenSample_ConvertsWithTheNewText)
{
    if (run("command -v soffice").status != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempDir dir;
    std::string files;
    std::vector<std::string> names;
    for (const auto& name : readableXlsxSamples()) {
        auto book = openXlsxFormat(readBytes(xlsxSamplesDir() / name));
        const std::size_t sheet = firstWorksheet(*book);
        if (sheet != 0)
            continue; // CSV export shows the first sheet only
        const Key added = newCellOf(*book, engineDump(*book), sheet);
        book->setText(sheet, std::get<1>(added), std::get<2>(added), "ZelvanoLO");
        const fs::path file = dir.path() / name;
        book->save([&](const Bytes& image) { writeBytes(file, image); });
        files += " " + quote(file.string());
        names.push_back(name);
    }
    const fs::path out = dir.path() / "csv";
    const std::string profile = "file://" + (dir.path() / "profile").string();
    const RunResult r =
        run("timeout 280 soffice --headless -env:UserInstallation=" + quote(profile) +
                " --convert-to csv --outdir " + quote(out.string()) + files,
            true);
    ASSERT_EQ(r.status, 0) << r.out;
    for (const auto& name : names) {
        std::ifstream in(out / (fs::path(name).stem().string() + ".csv"));
        const std::string csv((std::istreambuf_iterator<char>(in)), {});
        EXPECT_THAT(csv, HasSubstr("ZelvanoLO")) << name;
    }
}
