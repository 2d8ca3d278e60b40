// A worksheet added to workbooks of every origin: the independent reader
// finds it with its cells, and every other sheet exactly as it was, a change
// made before the sheet was added included.
#include "XlsTestSupport.h"
#include "xlsx/XlsxDump.h"

#include "rollbook/SheetName.h"
#include "rollbook/Workbook.h"
#include "rollbook/WorkbookFormat.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/SafeSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace xlstest;
using namespace zelvano::xls;

namespace
{

const std::string kClass = "三年级2班";
const std::string kEarlier = "先写的";

// What the new sheet holds: a title, the column labels, two persons.
void fillClass(Workbook& book, std::size_t sheet)
{
    book.setText(sheet, 1, 1, kClass);
    const char* labels[] = {"学号", "姓名", "性别", "备注", "组号", "组员号"};
    for (int c = 0; c < 6; ++c)
        book.setText(sheet, 2, c + 1, labels[c]);
    book.setNumber(sheet, 3, 1, 1);
    book.setText(sheet, 3, 2, "张三");
    book.setNumber(sheet, 4, 1, 2);
    book.setText(sheet, 4, 2, "李四");
}

std::set<std::string> xlrdLines(const fs::path& file)
{
    const RunResult dump = python("xlrd_dump.py", {file.string()});
    EXPECT_EQ(dump.status, 0) << dump.out;
    const auto all = lines(dump.out);
    return {all.begin(), all.end()};
}

std::set<std::string> structureFaults(const fs::path& file)
{
    const auto all = lines(python("biff_check.py", {"structure", file.string()}).out);
    return {all.begin(), all.end()};
}

// A text written past the first worksheet's rows, before the sheet is added;
// nothing when that sheet takes no change there.
std::optional<std::pair<int, int>> writeEarlier(Workbook& book)
{
    if (book.worksheetCount() == 0)
        return std::nullopt;
    try {
        const int row = std::min(book.lastRow(0) + 2, book.maxRow());
        book.checkCanChange(0, row, 1);
        book.setText(0, row, 1, kEarlier);
        return std::pair{row, 1};
    } catch (const XlsError&) {
        return std::nullopt;
    }
}

class NewSheet : public testing::TestWithParam<std::string>
{
};

TEST_P(NewSheet, IsReadBackWithItsCells_TheOthersUnchanged)
{
    const std::string name = GetParam();
    const bool xlsx = name.size() > 5 && name.substr(name.size() - 5) == ".xlsx";
    const fs::path from = xlsx ? xlsxtest::xlsxSamplesDir() / name : testFile(name);
    TempDir dir;
    const fs::path file = dir.copy(from, xlsx ? "点名册.xlsx" : "点名册.xls");
    const std::set<std::string> xlsBefore = xlsx ? std::set<std::string>{} : xlrdLines(file);
    const std::set<std::string> faultsBefore =
        xlsx ? std::set<std::string>{} : structureFaults(file);
    const xlsxtest::Dump xlsxBefore = xlsx ? xlsxtest::oracleDump(file) : xlsxtest::Dump{};
    std::size_t sheetsBefore = 0;
    std::optional<std::pair<int, int>> earlier;
    {
        Workbook book = Workbook::open(file);
        sheetsBefore = book.sheets().size();
        earlier = writeEarlier(book);
        const std::size_t added = book.addWorksheet(kClass);
        EXPECT_EQ(added + 1, book.worksheetCount());
        fillClass(book, added);
        book.save();
    }
    const Workbook back = Workbook::open(file);
    ASSERT_EQ(back.sheets().size(), sheetsBefore + 1);
    EXPECT_EQ(back.worksheetNames().back(), kClass);
    EXPECT_EQ(back.cellText(back.worksheetCount() - 1, 4, 2), "李四");

    if (xlsx) {
        xlsxtest::Dump expected = xlsxBefore;
        if (earlier)
            expected[{0, earlier->first, earlier->second}] = {"s", kEarlier};
        const xlsxtest::Dump after = xlsxtest::oracleDump(file);
        for (const auto& [key, cell] : after)
            if (std::get<0>(key) == sheetsBefore)
                expected[key] = cell;
        xlsxtest::expectSameDumps(after, expected, name);
        EXPECT_EQ(after.at({sheetsBefore, 3, 2}).value, "张三");
        return;
    }
    // Faults the file had before (an INDEX of another writer) may stay; no new ones.
    const std::set<std::string> faultsAfter = structureFaults(file);
    EXPECT_TRUE(std::includes(faultsBefore.begin(), faultsBefore.end(), faultsAfter.begin(),
                              faultsAfter.end()))
        << *faultsAfter.begin();
    std::set<std::string> expected = xlsBefore;
    if (earlier)
        expected.insert(back.worksheetNames().front() + "\t" + std::to_string(earlier->first) +
                        "\t1\ts\t" + kEarlier);
    for (const std::string& line :
         {"\t1\t1\ts\t" + kClass, std::string("\t3\t1\tn\t1"), std::string("\t4\t2\ts\t李四")})
        expected.insert(kClass + line);
    std::set<std::string> after = xlrdLines(file);
    std::erase_if(after, [](const std::string& line) {
        return line.rfind(kClass + "\t", 0) == 0 && line.find("\t1\t1\t") == std::string::npos &&
               line.find("\t3\t1\t") == std::string::npos &&
               line.find("\t4\t2\t") == std::string::npos;
    });
    EXPECT_EQ(after, expected);
}

std::vector<std::string> everySample()
{
    std::vector<std::string> all = readableSamples();
    for (const std::string& own : ownFixtures())
        all.push_back(own);
    for (const std::string& x : xlsxtest::readableXlsxSamples())
        all.push_back(x);
    return all;
}

INSTANTIATE_TEST_SUITE_P(Samples, NewSheet, testing::ValuesIn(everySample()),
                         [](const auto& sample) { return safeName(sample.param); });

TEST(NewSheetName, FollowsExcelsRules)
{
    const std::vector<std::string> existing{"一班", "Sheet1"};
    const std::pair<const char*, SheetNameProblem> cases[] = {
        {"二班", SheetNameProblem::None},
        {"", SheetNameProblem::Empty},
        {"一班", SheetNameProblem::Taken},
        {"SHEET1", SheetNameProblem::Taken},
        {"三年级/2班", SheetNameProblem::BadCharacter},
        {"[二班]", SheetNameProblem::BadCharacter},
        {"'二班", SheetNameProblem::EdgeApostrophe},
        {"History", SheetNameProblem::Reserved},
        {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一", SheetNameProblem::None},
        {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二",
         SheetNameProblem::TooLong},
    };
    for (const auto& [name, problem] : cases)
        EXPECT_EQ(checkSheetName(name, existing), problem) << name;
}

// A change made after a write that failed goes into the next save with the
// changes the failed one held.
TEST(NewSheet, ChangeAfterAFailedWrite_IsSavedWithTheEarlierOnes)
{
    std::unique_ptr<WorkbookFormat> book =
        openBiffFormat(readWholeFile(fixturesDir() / "rollbook_xlwt.xls"));
    book->setText(0, 40, 1, "第一");
    EXPECT_THROW(book->save([](const Bytes&) { throw XlsError("disk full"); }), XlsError);
    book->setText(0, 41, 1, "第二");
    Bytes saved;
    book->save([&](const Bytes& image) { saved = image; });
    const std::unique_ptr<WorkbookFormat> back = openBiffFormat(saved);
    EXPECT_EQ(back->cell(0, 40, 1).text, "第一");
    EXPECT_EQ(back->cell(0, 41, 1).text, "第二");
}

} // namespace
