// Writes to every readable sample and fixture, then proves with independent
// readers that exactly the intended cells changed: xlrd values and formats,
// a record-level comparison, the structure of the regenerated records, and
// the other streams of the compound file.
#include "XlsTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

#include <map>
#include <set>
#include <tuple>

using namespace xlstest;

namespace
{

using CellKey = std::tuple<std::string, int, int>;

std::map<CellKey, std::string> cellsOf(const std::string& dump)
{
    std::map<CellKey, std::string> cells;
    for (const auto& line : lines(dump)) {
        const auto f = split(line);
        if (f.size() == 5)
            cells[{f[0], std::stoi(f[1]), std::stoi(f[2])}] = f[3] + "\t" + f[4];
    }
    return cells;
}

struct FormatView {
    std::map<CellKey, std::string> cellXf;
    std::set<std::string> other; // merged ranges, columns
    std::map<std::pair<std::string, int>, std::string> rows;
};

FormatView formatsOf(const fs::path& file)
{
    const RunResult r = python("xlrd_format.py", {file.string()});
    EXPECT_EQ(r.status, 0) << "xlrd could not read the formats of " << file;
    FormatView v;
    for (const auto& line : lines(r.out)) {
        const auto f = split(line);
        if (f[0] == "cell" && f.size() == 5)
            v.cellXf[{f[1], std::stoi(f[2]), std::stoi(f[3])}] = f[4];
        else if (f[0] == "row" && f.size() == 5)
            v.rows[{f[1], std::stoi(f[2])}] = f[3] + "/" + f[4];
        else if (!line.empty())
            v.other.insert(line);
    }
    return v;
}

} // namespace

class WriteRoundTrip : public testing::TestWithParam<std::string>
{
};

namespace
{

// The "set" command that changes an existing number, an existing text and a
// third cell to empty, and adds a cell below the last row and one right of
// the last column; `expected` becomes what the file must hold afterwards.
struct PlannedChanges {
    std::vector<std::string> args;
    std::optional<CellKey> emptied;
};

PlannedChanges planChanges(std::map<CellKey, std::string>& expected, const std::string& sheet,
                           const fs::path& file, const std::string& tag)
{
    std::vector<CellKey> existing;
    int lastRow = 0, lastCol = 0;
    const CellKey* number = nullptr;
    const CellKey* text = nullptr;
    for (const auto& [key, value] : expected) {
        if (std::get<0>(key) != sheet)
            continue;
        lastRow = std::max(lastRow, std::get<1>(key));
        lastCol = std::max(lastCol, std::get<2>(key));
        if (!number && value.rfind("n\t", 0) == 0)
            number = &key;
        else if (!text && value.rfind("s\t", 0) == 0)
            text = &key;
        else
            existing.push_back(key);
    }
    PlannedChanges plan{{"set", file.string()}, {}};
    auto change = [&](const CellKey& key, const std::vector<std::string>& what,
                      const std::string& after) {
        plan.args.push_back(sheet);
        plan.args.push_back(std::to_string(std::get<1>(key)));
        plan.args.push_back(std::to_string(std::get<2>(key)));
        plan.args.insert(plan.args.end(), what.begin(), what.end());
        if (after.empty())
            expected.erase(key);
        else
            expected[key] = after;
    };
    if (number)
        change(*number, {"--text", "改后的文本"}, "s\t改后的文本");
    if (text)
        change(*text, {"--number", "42.5"}, "n\t42.5");
    if (!existing.empty()) {
        plan.emptied = existing[existing.size() / 2];
        change(*plan.emptied, {"--empty"}, "");
    }
    change({sheet, lastRow + 40, 1}, {"--text", "新的一行 " + tag}, "s\t新的一行 " + tag);
    change({sheet, std::max(lastRow, 1), std::min(lastCol + 2, 256)}, {"--number", "7"}, "n\t7");
    return plan;
}

// Every cell keeps its XF, merged ranges, columns and rows stay.
void expectFormatsKept(const fs::path& original, const fs::path& file,
                       const std::optional<CellKey>& emptied)
{
    const FormatView old = formatsOf(original);
    const FormatView now = formatsOf(file);
    EXPECT_EQ(now.other, old.other);
    for (const auto& [key, xf] : old.cellXf) {
        const auto it = now.cellXf.find(key);
        if (emptied && key == *emptied) {
            if (it != now.cellXf.end()) {
                EXPECT_EQ(it->second, xf) << "emptied cell lost its format";
            }
            continue;
        }
        ASSERT_NE(it, now.cellXf.end()) << std::get<0>(key) << " " << std::get<1>(key) << ","
                                        << std::get<2>(key) << " vanished";
        EXPECT_EQ(it->second, xf) << std::get<1>(key) << "," << std::get<2>(key);
    }
    for (const auto& [key, row] : old.rows) {
        const auto it = now.rows.find(key);
        ASSERT_NE(it, now.rows.end());
        EXPECT_EQ(it->second, row) << "row " << key.second;
    }
}

} // namespace

TEST_P(WriteRoundTrip, OnlyTheChangedCellsDiffer)
{
    TempDir dir;
    const fs::path original = testFile(GetParam());
    const fs::path file = dir.copy(original, "work.xls");

    const RunResult before = python("xlrd_dump.py", {original.string()});
    ASSERT_EQ(before.status, 0);
    auto expected = cellsOf(before.out);
    const auto sheetNames = lines(xlsTool({"sheets", original.string()}).out);
    ASSERT_FALSE(sheetNames.empty());
    const std::string sheet = sheetNames.front();

    const PlannedChanges plan = planChanges(expected, sheet, file, GetParam());
    const RunResult set = xlsTool({plan.args.begin(), plan.args.end()});
    ASSERT_EQ(set.status, 0) << set.out;

    // Values: as expected, read by xlrd and by us alike.
    const RunResult after = python("xlrd_dump.py", {file.string()});
    ASSERT_EQ(after.status, 0);
    EXPECT_EQ(cellsOf(after.out), expected);
    EXPECT_EQ(xlsTool({"dump", file.string()}).out, after.out);

    // Records: everything outside the changed cell table byte for byte, the
    // regenerated records consistent, the other streams unchanged.
    const RunResult compare =
        python("biff_check.py", {"compare", original.string(), file.string(), sheet});
    EXPECT_EQ(compare.status, 0) << compare.out;
    const RunResult structure = python("biff_check.py", {"structure", file.string(), sheet});
    EXPECT_EQ(structure.status, 0) << structure.out;

    expectFormatsKept(original, file, plan.emptied);
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, WriteRoundTrip, testing::ValuesIn(readableSamples()),
                         [](const auto& test) { return safeName(test.param); });
INSTANTIATE_TEST_SUITE_P(OwnFixtures, WriteRoundTrip, testing::ValuesIn(ownFixtures()),
                         [](const auto& test) { return safeName(test.param); });
