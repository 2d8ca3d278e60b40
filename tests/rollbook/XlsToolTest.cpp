// zelvano-xls on the command line: output formats, escaping, several changes
// in one call, exit status and one-line errors.
#include "KilledSaves.h"
#include "XlsTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace xlstest;
using testing::HasSubstr;

namespace
{

std::string fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool isOneLine(const std::string& text)
{
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

} // namespace

TEST(ToolSheets, ListsWorksheetNamesInOrder)
{
    const RunResult r = xlsTool({"sheets", (fixturesDir() / "rollbook_xlwt.xls").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "初二(1)班\n初二(2)班\n抽奖品\n");
}

TEST(ToolDump, TextsEscapedNumbersShortest)
{
    const RunResult r = xlsTool({"dump", (fixturesDir() / "long_sst_xlwt.xls").string(), "长表"});
    ASSERT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr("长表\t1503\t2\ts\ttab\\there\\nnew line\\r\\\\ back\n"));
    EXPECT_THAT(r.out, HasSubstr("长表\t1\t1\tn\t1\n"));
    EXPECT_THAT(r.out, testing::Not(HasSubstr("第二页")));
}

TEST(ToolDump, SheetByPositionWhenNoSheetHasThatName)
{
    const auto file = (fixturesDir() / "rollbook_xlwt.xls").string();
    EXPECT_EQ(xlsTool({"dump", file, "3"}).out, xlsTool({"dump", file, "抽奖品"}).out);
}

TEST(ToolSet, SeveralChangesInOneCall_AllSavedTogether)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xls");
    const RunResult r =
        xlsTool({"set",       file.string(), "初二(1)班", "2",        "10",  "--text",    "03月26",
                 "初二(1)班", "3",           "10",        "--number", "1.5", "初二(1)班", "3",
                 "7",         "--empty",     "抽奖品",    "3",        "6",   "--number",  "1"});
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    const std::string dump = xlsTool({"dump", file.string()}).out;
    EXPECT_THAT(dump, HasSubstr("初二(1)班\t2\t10\ts\t03月26\n"));
    EXPECT_THAT(dump, HasSubstr("初二(1)班\t3\t10\tn\t1.5\n"));
    EXPECT_THAT(dump, testing::Not(HasSubstr("初二(1)班\t3\t7\t")));
    EXPECT_THAT(dump, HasSubstr("抽奖品\t3\t6\tn\t1\n"));
    EXPECT_EQ(python("xlrd_dump.py", {file.string()}).out, dump);
}

struct BadCall {
    const char* name;
    std::vector<std::string> args; // FILE stands for a copy of the roll book
    const char* message;
};

class ToolRefuses : public testing::TestWithParam<BadCall>
{
};

TEST_P(ToolRefuses, ExitsOneWithOneLineAndLeavesTheFile)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xls");
    const std::string before = fileBytes(file);
    std::vector<std::string> args;
    for (const auto& a : GetParam().args)
        args.push_back(a == "FILE" ? file.string() : a == "DIR" ? dir.path().string() : a);
    const RunResult r = xlsTool({args.begin(), args.end()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(isOneLine(r.out)) << r.out;
    EXPECT_THAT(r.out, HasSubstr(GetParam().message));
    EXPECT_EQ(fileBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolRefuses,
    testing::Values(
        BadCall{"NoArguments", {}, "usage"},
        BadCall{"UnknownCommand", {"list", "FILE"}, "unknown command"},
        BadCall{"MissingFile", {"sheets", "DIR/none.xls"}, "zelvano-xls:"},
        BadCall{"Folder", {"dump", "DIR"}, "zelvano-xls:"},
        BadCall{"NotAWorkbook", {"sheets", ZELVANO_SOURCE_DIR "/CMakeLists.txt"}, "zelvano-xls:"},
        BadCall{"UnknownSheet", {"set", "FILE", "三班", "3", "3", "--number", "1"}, "三班"},
        BadCall{"BadNumber", {"set", "FILE", "1", "3", "3", "--number", "1,5"}, "bad number"},
        BadCall{"BadRow", {"set", "FILE", "1", "x", "3", "--empty"}, "bad row"},
        BadCall{"RowOutsideSheet", {"set", "FILE", "1", "65537", "1", "--number", "1"}, "65537"},
        BadCall{"ColumnOutsideSheet", {"set", "FILE", "1", "1", "0", "--number", "1"}, "Column 0"},
        BadCall{"MissingValue", {"set", "FILE", "1", "3", "3", "--text"}, "needs"},
        BadCall{"SecondChangeBad_NothingSaved",
                {"set", "FILE", "1", "3", "3", "--number", "5", "1", "3", "3", "--colour", "red"},
                "--colour"},
        BadCall{"DumpTooManyArguments", {"dump", "FILE", "1", "2"}, "at most one sheet"}),
    [](const auto& test) { return std::string(test.param.name); });

// Killed at any moment of a save, the tool leaves the roll book with either
// its old or its new content, never a broken file.
TEST(ToolSet, KilledDuringSave_FileHoldsOldOrNewContent)
{
    TempDir dir;
    const fs::path file = dir.copy(samplesDir() / "bigtable.xls", "点名册.xls");
    const std::string oldDump = xlsTool({"dump", file.string()}).out;
    const fs::path reference = dir.copy(file, "reference.xls");
    ASSERT_EQ(xlsTool({"set", reference.string(), "1", "5", "3", "--text", "新内容"}).status, 0);
    const std::string newDump = xlsTool({"dump", reference.string()}).out;
    ASSERT_NE(oldDump, newDump);

    killSavesAtRandom(file, dir.path() / "点名册.bak.xls", oldDump, newDump, 42, 40000);
}

// Dumped numbers read back as exactly the stored value, so a dump can be
// fed back to `set --number` without loss.
TEST(ToolDump, NumbersRoundTripExactly)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "n.xls");
    ASSERT_EQ(xlsTool({"set", file.string(), "1", "70", "1", "--number", "0.30000000000000004", "1",
                       "70", "2", "--number", "100000", "1", "70", "3", "--number", "-2.5e-7"})
                  .status,
              0);
    const std::string dump = xlsTool({"dump", file.string(), "1"}).out;
    EXPECT_THAT(dump, HasSubstr("\t70\t1\tn\t0.30000000000000004\n"));
    EXPECT_THAT(dump, HasSubstr("\t70\t2\tn\t1e+05\n"));
    EXPECT_THAT(dump, HasSubstr("\t70\t3\tn\t-2.5e-07\n"));
    EXPECT_EQ(python("xlrd_dump.py", {file.string(), "初二(1)班"}).out, dump);
}

// Whole numbers and halves take a shortcut in the dump; around its edges the
// text is still the shortest one that reads back exactly.
TEST(ToolDump, ScoresAndHalvesAtTheShortcutsEdges)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"0", "0"},       {"-0", "-0"},         {"0.5", "0.5"},     {"-0.5", "-0.5"},
        {"3", "3"},       {"9999.5", "9999.5"}, {"10000", "10000"}, {"10000.5", "10000.5"},
        {"1.25", "1.25"}, {"100000", "1e+05"},  {"-3", "-3"},       {"2147483648", "2147483648"}};
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "n.xls");
    std::vector<std::string> args{"set", file.string()};
    for (std::size_t i = 0; i < cases.size(); ++i)
        args.insert(args.end(), {"1", "80", std::to_string(i + 1), "--number", cases[i].first});
    ASSERT_EQ(xlsTool({args.begin(), args.end()}).status, 0);
    const std::string dump = xlsTool({"dump", file.string(), "1"}).out;
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_THAT(dump,
                    HasSubstr("\t80\t" + std::to_string(i + 1) + "\tn\t" + cases[i].second + "\n"))
            << cases[i].first;
}
