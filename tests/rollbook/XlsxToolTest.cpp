// zelvano-xls on .xlsx roll books made by LibreOffice, openpyxl and
// xlsxwriter: the same output contract as for .xls, checked against
// openpyxl's reading; a save killed at any moment leaves the old or the new
// file.
#include "KilledSaves.h"
#include "xlsx/XlsxTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace xlsxtest;
using testing::HasSubstr;
using zelvano::xls::Bytes;

namespace
{

fs::path xlsxFixture(const std::string& name)
{
    return fs::path(ZELVANO_SOURCE_DIR) / "tests" / "fixtures" / "xlsx" / name;
}

const std::vector<std::string> kSheets = {"初一(1)班", "初一(2)班", "初一(3)班", "抽奖品"};

// (sheet position, row, col) -> "type TAB value", numbers compared as
// numbers: the tool prints the shortest text, openpyxl Python's repr.
using Cells = std::map<std::tuple<int, int, int>, std::string>;

std::string canonical(const std::string& type, const std::string& value)
{
    if (type != "n")
        return type + "\t" + value;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", std::strtod(value.c_str(), nullptr));
    return "n\t" + std::string(buffer);
}

Cells toolCells(const fs::path& file)
{
    const RunResult r = xlsTool({"dump", file.string()});
    EXPECT_EQ(r.status, 0) << r.out;
    Cells cells;
    for (const auto& line : lines(r.out)) {
        const auto f = split(line);
        const int sheet = int(std::find(kSheets.begin(), kSheets.end(), f[0]) - kSheets.begin());
        cells[{sheet, std::stoi(f[1]), std::stoi(f[2])}] = canonical(f[3], f[4]);
    }
    return cells;
}

Cells openpyxlCells(const fs::path& file)
{
    const RunResult r = oracle("openpyxl_dump.py", {file.string()}, true);
    EXPECT_EQ(r.status, 0) << r.out;
    Cells cells;
    for (const auto& line : lines(r.out)) {
        const auto f = split(line);
        cells[{std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2])}] = canonical(f[3], f[4]);
    }
    return cells;
}

class XlsxTool : public testing::TestWithParam<std::string>
{
};

TEST_P(XlsxTool, SheetsAndDump_MatchOpenpyxl)
{
    const fs::path file = xlsxFixture(GetParam());
    const RunResult sheets = xlsTool({"sheets", file.string()});
    EXPECT_EQ(sheets.status, 0);
    EXPECT_EQ(sheets.out, "初一(1)班\n初一(2)班\n初一(3)班\n抽奖品\n");
    const Cells ours = toolCells(file);
    EXPECT_GT(ours.size(), 400u);
    EXPECT_EQ(ours, openpyxlCells(file));
}

// A number over a score, a text past the used range, an emptied prize cell:
// exactly those cells change, the rest reads as before, and the first save
// keeps the file as it was in 点名册.bak.xlsx.
TEST_P(XlsxTool, Set_ChangesExactlyThoseCells_AndKeepsABackup)
{
    TempDir dir;
    const fs::path file = dir.copy(xlsxFixture(GetParam()), "点名册.xlsx");
    const Bytes original = readBytes(file);
    Cells expected = openpyxlCells(file);
    const RunResult r =
        xlsTool({"set", file.string(), "初一(1)班", "3", "7", "--number", "4.5", "初一(2)班", "60",
                 "40", "--text", "转入 <新同学> & 家长", "抽奖品", "3", "3", "--empty"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    expected[{0, 3, 7}] = "n\t4.5";
    expected[{1, 60, 40}] = "s\t转入 <新同学> & 家长";
    expected.erase({3, 3, 3});
    EXPECT_EQ(openpyxlCells(file), expected);
    EXPECT_EQ(toolCells(file), expected);
    EXPECT_EQ(readBytes(dir.path() / "点名册.bak.xlsx"), original);
}

INSTANTIATE_TEST_SUITE_P(Writers, XlsxTool,
                         testing::Values("rollbook_lo.xlsx", "rollbook_openpyxl.xlsx",
                                         "rollbook_xlsxwriter.xlsx"),
                         [](const auto& test) { return safeName(test.param); });

struct BadXlsxCall {
    const char* name;
    std::vector<std::string> args; // FILE: a copy of the roll book
    const char* message;
};

class XlsxToolRefuses : public testing::TestWithParam<BadXlsxCall>
{
};

TEST_P(XlsxToolRefuses, ExitsOneWithOneLineAndLeavesTheFile)
{
    TempDir dir;
    const fs::path file = dir.copy(xlsxFixture("rollbook_lo.xlsx"), "点名册.xlsx");
    const Bytes before = readBytes(file);
    std::vector<std::string> args;
    for (const auto& a : GetParam().args)
        args.push_back(a == "FILE" ? file.string() : a);
    const RunResult r = xlsTool({args.begin(), args.end()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_THAT(r.out, HasSubstr(GetParam().message));
    EXPECT_EQ(readBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XlsxToolRefuses,
    testing::Values(
        BadXlsxCall{
            "RowPastTheSheet", {"set", "FILE", "1", "1048577", "1", "--number", "1"}, "1048577"},
        BadXlsxCall{
            "ColumnPastTheSheet", {"set", "FILE", "1", "1", "16385", "--empty"}, "Column 16385"},
        BadXlsxCall{"UnknownSheet", {"set", "FILE", "三班", "3", "3", "--number", "1"}, "三班"},
        BadXlsxCall{"EncryptedWorkbook",
                    {"dump", (xlsxSamplesDir() / "pass_protected.xlsx").string()},
                    "encrypted with a password"}),
    [](const auto& test) { return std::string(test.param.name); });

// The far corner of an .xlsx sheet takes a value, where an .xls one ends.
TEST(XlsxToolSet, LastRowAndColumnOfTheSheet_TakeAValue)
{
    TempDir dir;
    const fs::path file = dir.copy(xlsxFixture("rollbook_openpyxl.xlsx"), "点名册.xlsx");
    ASSERT_EQ(
        xlsTool({"set", file.string(), "初一(1)班", "1048576", "16384", "--number", "7"}).status,
        0);
    EXPECT_THAT(xlsTool({"dump", file.string(), "初一(1)班"}).out,
                HasSubstr("初一(1)班\t1048576\t16384\tn\t7\n"));
    const RunResult corner =
        run(std::string(ZELVANO_PYTHON) +
            " -c 'import sys, openpyxl; "
            "print(openpyxl.load_workbook(sys.argv[1]).worksheets[0][\"XFD1048576\"].value)' " +
            quote(file.string()));
    EXPECT_EQ(corner.out, "7\n");
}

// Killed at any moment of a save, the tool leaves the .xlsx roll book with
// its old or its new content, each readable by openpyxl too.
TEST(XlsxToolSet, KilledDuringSave_FileHoldsOldOrNewContent)
{
    TempDir dir;
    const fs::path file = dir.copy(xlsxSamplesDir() / "issue_174.xlsx", "点名册.xlsx");
    const std::string oldDump = xlsTool({"dump", file.string()}).out;
    const fs::path reference = dir.copy(file, "reference.xlsx");
    ASSERT_EQ(xlsTool({"set", reference.string(), "1", "5", "3", "--text", "新内容"}).status, 0);
    const std::string newDump = xlsTool({"dump", reference.string()}).out;
    ASSERT_NE(oldDump, newDump);

    killSavesAtRandom(file, dir.path() / "点名册.bak.xlsx", oldDump, newDump, 7, 60000);
    for (const fs::path& saved : {file, reference}) {
        const RunResult read = run(std::string(ZELVANO_PYTHON) +
                                   " -c 'import sys, openpyxl; "
                                   "print(openpyxl.load_workbook(sys.argv[1]).worksheets[0]"
                                   "[\"C5\"].value)' " +
                                   quote(saved.string()));
        EXPECT_EQ(read.status, 0) << read.out;
        EXPECT_TRUE(read.out == "新内容\n" || saved == file) << read.out;
    }
}

} // namespace
