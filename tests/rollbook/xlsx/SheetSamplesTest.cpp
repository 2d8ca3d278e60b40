// Every worksheet of the real workbooks in ../shared/xlsx-samples read by
// the sheet reader and compared cell by cell with openpyxl's reading; the
// parts come out of the ZIP through Python (xlsx_sheet_parts.py), so this
// checks the sheet side alone.
#include "HostShell.h"
#include "rollbook/XlsError.h"
#include "rollbook/xlsx/SharedStringTable.h"
#include "rollbook/xlsx/SheetXml.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace zelvano::xls;
namespace fs = std::filesystem;

namespace
{

const fs::path kSamples = fs::path(ZELVANO_SHARED_DIR) / "xlsx-samples";

// Files openpyxl or Python's zipfile cannot read: they are for the package
// side's refusals (encryption, damaged or oddly named entries).
const char* const kNoOracle[] = {"pass_protected.xlsx", "issue252.xlsx", "issue_419.xlsx"};

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// "KIND<TAB>VALUE" as the helper prints it.
std::string described(const CellValue& v)
{
    switch (v.type) {
    case CellValue::Type::Number: {
        char buf[32];
        return "n\t" + std::string(buf, std::to_chars(buf, buf + sizeof buf, v.number).ptr);
    }
    case CellValue::Type::Boolean:
        return std::string("b\t") + (v.boolean ? "1" : "0");
    case CellValue::Type::Error:
        return "e\t" + v.toText();
    default:
        return (v.text.rfind('#', 0) == 0 ? "e\t" : "s\t") + escaped(v.text);
    }
}

bool sameCell(const std::string& ours, const std::string& theirs)
{
    if (ours.rfind("n\t", 0) == 0 && theirs.rfind("n\t", 0) == 0) {
        const double a = std::stod(ours.substr(2));
        const double b = std::stod(theirs.substr(2));
        return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
    }
    return ours == theirs || (theirs.rfind("s\t#", 0) == 0 && ours == "e" + theirs.substr(1));
}

class SheetSamplesTest : public testing::TestWithParam<std::string>
{
};

struct Extracted {
    fs::path dir;
    bool date1904 = false;
    std::string sst = SharedStringTable::emptyPart();
    std::vector<std::pair<std::string, std::string>> sheets; // number, XML
    std::map<std::string, std::string> openpyxl;             // "N!A1" -> "KIND\tVALUE"
};

Extracted extract(const std::string& sample)
{
    Extracted x;
    x.dir = fs::temp_directory_path() / ("xlsx-sheet-" + sample);
    fs::remove_all(x.dir);
    fs::create_directories(x.dir);
    const std::string cmd = std::string(ZELVANO_PYTHON) + " " + ZELVANO_SOURCE_DIR +
                            "/tests/rollbook/xlsx/xlsx_sheet_parts.py \"" +
                            (kSamples / sample).string() + "\" \"" + x.dir.string() + "\" > \"" +
                            (x.dir / "manifest").string() + "\" 2>/dev/null";
    EXPECT_EQ(zelvano::test::runHostShell(cmd).status, 0) << cmd;
    std::istringstream manifest(slurp(x.dir / "manifest"));
    for (std::string line; std::getline(manifest, line);) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string v; std::getline(fields, v, '\t');)
            f.push_back(v);
        if (f[0] == "date1904")
            x.date1904 = f[1] == "1";
        else if (f[0] == "sst")
            x.sst = slurp(x.dir / f[1]);
        else if (f[0] == "sheet")
            x.sheets.emplace_back(f[1], slurp(x.dir / f[2]));
        else if (f[0] == "cell")
            x.openpyxl[f[1] + "!" + cellRefText({std::stoi(f[2]), std::stoi(f[3])})] =
                f[4] + "\t" + (f.size() > 5 ? f[5] : "");
    }
    fs::remove_all(x.dir);
    return x;
}

std::map<std::string, std::string> cellsOf(const SheetXml& sheet, const std::string& number)
{
    std::map<std::string, std::string> out;
    sheet.forEachCell([&](int r, int c, const CellValue& v) {
        out[number + "!" + cellRefText({r, c})] = described(v);
    });
    return out;
}

TEST_P(SheetSamplesTest, ReadsWhatOpenpyxlReads)
{
    const Extracted x = extract(GetParam());
    const auto strings = SharedStringTable::parse(x.sst);
    std::map<std::string, std::string> ours;
    for (const auto& [number, xml] : x.sheets)
        ours.merge(cellsOf(SheetXml::parse(xml, strings, x.date1904), number));
    for (const auto& [where, value] : x.openpyxl) {
        const auto found = ours.find(where);
        ASSERT_NE(found, ours.end()) << where << " " << value;
        EXPECT_TRUE(sameCell(found->second, value))
            << where << " ours: " << found->second << " openpyxl: " << value;
    }
    for (const auto& [where, value] : ours) // an empty text is a value to both
        EXPECT_TRUE(x.openpyxl.count(where)) << where << " only ours: " << value;
}

// A number over the first cell that can change, a text in a new row past
// the used range, the last cell emptied: what is written reads back with
// exactly those changes.
TEST_P(SheetSamplesTest, ThreeWritesChangeOnlyThoseCells)
{
    const Extracted x = extract(GetParam());
    auto strings = SharedStringTable::parse(x.sst);
    for (const auto& [number, xml] : x.sheets) {
        auto sheet = SheetXml::parse(xml, strings, x.date1904);
        auto expected = cellsOf(sheet, number);
        std::vector<CellPos> cells;
        sheet.forEachCell([&](int r, int c, const CellValue&) { cells.push_back({r, c}); });
        for (const CellPos p : cells) {
            try {
                sheet.setNumber(p.row, p.col, 12345.5);
                expected[number + "!" + cellRefText(p)] = "n\t12345.5";
                break;
            } catch (const XlsError&) { // part of an array: the next one
            }
        }
        const CellPos added{std::min(sheet.lastRow() + 2, kXlsxMaxRow), 3};
        sheet.setSharedString(added.row, added.col, strings.indexFor("新 名"));
        expected[number + "!" + cellRefText(added)] = "s\t新 名";
        if (cells.size() > 1 && cells.back() != added) {
            try {
                sheet.setEmpty(cells.back().row, cells.back().col);
                expected.erase(number + "!" + cellRefText(cells.back()));
            } catch (const XlsError&) {
            }
        }
        const auto again = SharedStringTable::parse(strings.serialize(x.sst));
        EXPECT_EQ(cellsOf(SheetXml::parse(sheet.serialize(), again, x.date1904), number), expected);
    }
}

std::vector<std::string> samples()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kSamples)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() == ".xlsx" &&
            std::find(std::begin(kNoOracle), std::end(kNoOracle), name) == std::end(kNoOracle))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Samples, SheetSamplesTest, testing::ValuesIn(samples()),
                         [](const auto& test) {
                             std::string n = test.param.substr(0, test.param.size() - 5);
                             for (auto& c : n)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

} // namespace
