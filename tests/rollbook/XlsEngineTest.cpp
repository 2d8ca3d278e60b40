// The workbook engine's write rules on real streams: what a change does to
// multiple-cell records, formulas, formats, the string table and far cells,
// and how the roll book facade saves.
#include "XlsTestSupport.h"

#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffRecords.h"
#include "rollbook/biff/BiffWorkbook.h"
#include "rollbook/biff/ByteIO.h"
#include "rollbook/cfb/CompoundFile.h"
#include "rollbook/cfb/SafeSave.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

using namespace xlstest;
using namespace zelvano::xls;

namespace
{

Bytes streamOf(const fs::path& file)
{
    auto cfb = CompoundFile::parse(readWholeFile(file));
    auto stream = cfb.readRootStream("Workbook");
    if (!stream)
        throw XlsError("no workbook stream");
    return *stream;
}

// Top-level records of sheet `index` (all sheets counted) in a stream.
std::vector<RecordPos> sheetRecords(const Bytes& stream, std::size_t index)
{
    std::size_t seen = 0;
    for (const RecordPos& r : readSubstream(stream, 0)) {
        if (r.type == rt::BoundSheet && seen++ == index)
            return readSubstream(stream, io::u32(&stream[r.dataPos()]));
    }
    return {};
}

const std::uint8_t* body(const Bytes& stream, const RecordPos& r)
{
    return stream.data() + r.dataPos();
}

std::size_t countType(const std::vector<RecordPos>& records, std::uint16_t type)
{
    return std::count_if(records.begin(), records.end(),
                         [&](const RecordPos& r) { return r.type == type; });
}

// Every value and format of a sheet, to compare before and after a change.
std::map<std::pair<int, int>, std::pair<std::string, int>> snapshot(const BiffWorkbook& wb,
                                                                    std::size_t sheet)
{
    std::map<std::pair<int, int>, std::pair<std::string, int>> out;
    wb.forEachCell(sheet, [&](std::uint16_t r, std::uint16_t c, const CellValue& v) {
        out[{r, c}] = {v.toText() + "/" + std::to_string(static_cast<int>(v.type)),
                       wb.cellFormat(sheet, r, c)};
    });
    return out;
}

} // namespace

TEST(MultipleCellRecords, MulRkSplitAtMiddleCell_NeighboursKeepValuesAndFormats)
{
    const Bytes stream = streamOf(fixturesDir() / "rollbook_xlwt.xls");
    const auto records = sheetRecords(stream, 0);
    auto mulrk = std::find_if(records.begin(), records.end(), [&](const RecordPos& r) {
        return r.type == rt::MulRk && (r.size - 6) / 6 >= 3;
    });
    ASSERT_NE(mulrk, records.end());
    const std::uint16_t row = io::u16(body(stream, *mulrk));
    const std::uint16_t first = io::u16(body(stream, *mulrk) + 2);
    const std::uint16_t middle = first + 1;

    BiffWorkbook wb = BiffWorkbook::parse(stream);
    auto before = snapshot(wb, 0);
    const std::uint16_t format = wb.cellFormat(0, row, middle);
    wb.setText(0, row, middle, "张三");
    const BiffWorkbook back = BiffWorkbook::parse(wb.serialize());
    auto after = snapshot(back, 0);
    EXPECT_EQ(back.cell(0, row, middle).text, "张三");
    EXPECT_EQ((after[{row, middle}].second), format);
    before.erase({row, middle});
    after.erase({row, middle});
    EXPECT_EQ(after, before);
}

TEST(MultipleCellRecords, MulBlankFilledAtEveryPosition_OtherBlanksKeepTheirFormats)
{
    const Bytes stream = streamOf(fixturesDir() / "rollbook_xlwt.xls");
    const auto records = sheetRecords(stream, 0);
    auto mulblank = std::find_if(records.begin(), records.end(), [&](const RecordPos& r) {
        return r.type == rt::MulBlank && r.size >= 12;
    });
    ASSERT_NE(mulblank, records.end());
    const std::uint16_t row = io::u16(body(stream, *mulblank));
    const std::uint16_t first = io::u16(body(stream, *mulblank) + 2);
    const std::uint16_t last = io::u16(body(stream, *mulblank) + mulblank->size - 2);
    for (std::uint16_t col = first; col <= last; ++col) {
        BiffWorkbook wb = BiffWorkbook::parse(stream);
        std::vector<std::uint16_t> formats;
        for (std::uint16_t c = first; c <= last; ++c)
            formats.push_back(wb.cellFormat(0, row, c));
        wb.setNumber(0, row, col, 3);
        const BiffWorkbook back = BiffWorkbook::parse(wb.serialize());
        for (std::uint16_t c = first; c <= last; ++c) {
            EXPECT_EQ(back.cellFormat(0, row, c), formats[c - first]) << "column " << c;
            EXPECT_EQ(back.cell(0, row, c).isEmpty(), c != col);
        }
    }
}

TEST(Formulas, FormulaWithTextResult_OverwrittenDropsItsStringRecord)
{
    const Bytes stream = streamOf(samplesDir() / "formula_test_sjmachin.xls");
    const auto records = sheetRecords(stream, 0);
    std::size_t stringAt = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].type == rt::String && records[i - 1].type == rt::Formula)
            stringAt = i;
    }
    ASSERT_NE(stringAt, 0u);
    const std::uint8_t* f = body(stream, records[stringAt - 1]);
    const std::uint16_t row = io::u16(f), col = io::u16(f + 2);

    BiffWorkbook wb = BiffWorkbook::parse(stream);
    ASSERT_EQ(wb.cell(0, row, col).type, CellValue::Type::Text);
    wb.setNumber(0, row, col, 5);
    const Bytes out = wb.serialize();
    const auto now = sheetRecords(out, 0);
    EXPECT_EQ(countType(now, rt::String), countType(records, rt::String) - 1);
    for (std::size_t i = 1; i < now.size(); ++i) {
        if (now[i].type == rt::String) {
            EXPECT_TRUE(now[i - 1].type == rt::Formula || now[i - 1].type == rt::ShrFmla ||
                        now[i - 1].type == rt::Array);
        }
    }
    EXPECT_EQ(BiffWorkbook::parse(out).cell(0, row, col).number, 5);
}

// The first cell of a shared formula carries the formula for the others.
// Overwriting it gives each other user its own formula, made absolute for
// its cell, and removes the SHRFMLA record with nothing left pointing at it.
TEST(Formulas, SharedFormulaFirstCellOverwritten_UsersGetTheirOwnFormulas)
{
    const Bytes stream = streamOf(fixturesDir() / "formulas_lo.xls");
    const auto records = sheetRecords(stream, 0);
    std::size_t shr = 0;
    for (std::size_t i = 1; i < records.size() && !shr; ++i) {
        if (records[i].type == rt::ShrFmla && records[i - 1].type == rt::Formula)
            shr = i;
    }
    ASSERT_NE(shr, 0u) << "LibreOffice wrote no shared formula";
    const std::uint8_t* anchor = body(stream, records[shr - 1]);
    const std::uint16_t row = io::u16(anchor), col = io::u16(anchor + 2);

    BiffWorkbook wb = BiffWorkbook::parse(stream);
    auto before = snapshot(wb, 0);
    wb.setNumber(0, row, col, 99);
    const Bytes out = wb.serialize();
    const BiffWorkbook back = BiffWorkbook::parse(out);
    auto after = snapshot(back, 0);
    EXPECT_EQ(back.cell(0, row, col).number, 99);
    before.erase({row, col});
    after.erase({row, col});
    EXPECT_EQ(after, before) << "other cells keep their cached results and formats";

    const auto now = sheetRecords(out, 0);
    EXPECT_EQ(countType(now, rt::ShrFmla), countType(records, rt::ShrFmla) - 1);
    std::size_t users = 0;
    for (const RecordPos& r : now) {
        if (r.type != rt::Formula)
            continue;
        const std::uint8_t* d = body(out, r);
        const bool exp = io::u16(d + 20) == 5 && d[22] == 0x01;
        EXPECT_FALSE(exp && io::u16(d + 23) == row && io::u16(d + 25) == col)
            << "a formula still points at the overwritten cell";
        // Column B holds =A<n>*2: the user's own reference is to its row, column A.
        if (io::u16(d + 2) == col && !exp) {
            const std::uint8_t ptg = d[22];
            EXPECT_EQ(ptg & 0x1F, 0x04) << "a plain cell reference";
            EXPECT_EQ(io::u16(d + 23), io::u16(d)) << "same row";
            EXPECT_EQ(io::u16(d + 25) & 0x3FFF, col - 1) << "one column left";
            EXPECT_EQ(io::u16(d + 14) & 0x0008, 0) << "no longer shared";
            ++users;
        }
    }
    EXPECT_GT(users, 0u);
}

TEST(Formulas, SharedFormulaUserOverwritten_FormulaStaysWithFirstCell)
{
    const Bytes stream = streamOf(fixturesDir() / "formulas_lo.xls");
    const auto records = sheetRecords(stream, 0);
    std::size_t shr = 0;
    for (std::size_t i = 1; i < records.size() && !shr; ++i) {
        if (records[i].type == rt::ShrFmla)
            shr = i;
    }
    ASSERT_NE(shr, 0u);
    const std::uint8_t* anchor = body(stream, records[shr - 1]);
    const std::uint16_t row = io::u16(anchor), col = io::u16(anchor + 2);
    BiffWorkbook wb = BiffWorkbook::parse(stream);
    wb.setText(0, row + 1, col, "改");
    const Bytes out = wb.serialize();
    const auto now = sheetRecords(out, 0);
    EXPECT_EQ(countType(now, rt::ShrFmla), countType(records, rt::ShrFmla));
    for (std::size_t i = 1; i < now.size(); ++i) {
        if (now[i].type == rt::ShrFmla) {
            EXPECT_EQ(now[i - 1].type, rt::Formula);
        }
    }
    EXPECT_EQ(BiffWorkbook::parse(out).cell(0, row + 1, col).text, "改");
}

TEST(Formats, NewCell_TakesRowFormatElseColumnFormatElseDefault)
{
    BiffWorkbook wb = BiffWorkbook::parse(streamOf(fixturesDir() / "formats_xlwt.xls"));
    wb.setNumber(0, 4, 8, 1);  // row 5 has its own format
    wb.setNumber(0, 20, 3, 2); // column D has its own format
    wb.setNumber(0, 20, 8, 3); // neither
    const BiffWorkbook back = BiffWorkbook::parse(wb.serialize());
    EXPECT_EQ(back.cellFormat(0, 4, 8), 18);
    EXPECT_EQ(back.cellFormat(0, 20, 3), 19);
    EXPECT_EQ(back.cellFormat(0, 20, 8), 15);
}

TEST(EmptyText, FormattedCell_BecomesBlankKeepingItsFormat)
{
    BiffWorkbook wb = BiffWorkbook::parse(streamOf(fixturesDir() / "rollbook_xlwt.xls"));
    const std::uint16_t format = wb.cellFormat(0, 2, 1);
    ASSERT_NE(format, 15);
    wb.setText(0, 2, 1, "");
    const BiffWorkbook back = BiffWorkbook::parse(wb.serialize());
    EXPECT_TRUE(back.cell(0, 2, 1).isEmpty());
    EXPECT_EQ(back.cellFormat(0, 2, 1), format);
}

TEST(EmptyText, CellFormattedLikeANewCell_IsRemoved_AndMissingCellChangesNothing)
{
    BiffWorkbook wb = BiffWorkbook::parse(streamOf(samplesDir() / "datasets.xls"));
    wb.setEmpty(0, 60000, 5);
    EXPECT_FALSE(wb.changed());
    std::optional<std::pair<std::uint16_t, std::uint16_t>> plain;
    wb.forEachCell(0, [&](std::uint16_t r, std::uint16_t c, const CellValue&) {
        if (!plain && wb.cellFormat(0, r, c) == 15)
            plain = {r, c};
    });
    ASSERT_TRUE(plain);
    const auto [row, col] = *plain;
    wb.setText(0, row, col, "");
    EXPECT_TRUE(wb.changed());
    const Bytes out = wb.serialize();
    EXPECT_TRUE(BiffWorkbook::parse(out).cell(0, row, col).isEmpty());
    for (const RecordPos& r : sheetRecords(out, 0)) {
        const bool cellRecord = r.type == rt::Blank || r.type == rt::Number || r.type == rt::Rk ||
                                r.type == rt::LabelSst || r.type == rt::Label;
        if (cellRecord) {
            EXPECT_FALSE(io::u16(body(out, r)) == row && io::u16(body(out, r) + 2) == col);
        }
    }
}

TEST(SharedStrings, ExistingTextReused_StringTableKeptByteForByte)
{
    const Bytes stream = streamOf(samplesDir() / "sst_continue.xls");
    BiffWorkbook wb = BiffWorkbook::parse(stream);
    std::string existing;
    wb.forEachCell(0, [&](std::uint16_t, std::uint16_t, const CellValue& v) {
        if (existing.empty() && v.type == CellValue::Type::Text)
            existing = v.text;
    });
    ASSERT_FALSE(existing.empty());
    wb.setText(0, 300, 2, existing);
    const Bytes out = wb.serialize();
    const auto oldGlobals = readSubstream(stream, 0);
    const auto newGlobals = readSubstream(out, 0);
    ASSERT_EQ(oldGlobals.size(), newGlobals.size());
    for (std::size_t i = 0; i < oldGlobals.size(); ++i) {
        if (oldGlobals[i].type == rt::Sst || oldGlobals[i].type == rt::Continue ||
            oldGlobals[i].type == rt::ExtSst) {
            EXPECT_TRUE(std::equal(stream.begin() + oldGlobals[i].pos,
                                   stream.begin() + oldGlobals[i].end(),
                                   out.begin() + newGlobals[i].pos));
        }
    }
}

TEST(SharedStrings, LongChineseAndLatinTexts_SplitAcrossRecordsAndReadBack)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "long_sst_xlwt.xls", "长.xls");
    std::u16string chinese(9000, u'书');
    const std::string longChinese = [&] {
        std::string s;
        for (int i = 0; i < 9000; ++i)
            s += "书";
        return s;
    }();
    const std::string longLatin(30000, 'e');
    const std::string mixed = std::string(5000, 'a') + "é中" + std::string(5000, 'b');
    {
        Workbook wb = Workbook::open(file);
        wb.setText(1, 1, 1, longChinese);
        wb.setText(1, 2, 1, longLatin);
        wb.setText(1, 3, 1, mixed);
        wb.save();
    }
    const Workbook back = Workbook::open(file);
    EXPECT_EQ(back.cell(1, 1, 1).text, longChinese);
    EXPECT_EQ(back.cell(1, 2, 1).text, longLatin);
    EXPECT_EQ(back.cell(1, 3, 1).text, mixed);
    const RunResult structure = python("biff_check.py", {"structure", file.string(), "第二页"});
    EXPECT_EQ(structure.status, 0) << structure.out;
    const RunResult oracle = python("xlrd_dump.py", {file.string(), "第二页"});
    EXPECT_NE(oracle.out.find("第二页\t3\t1\ts\t" + mixed), std::string::npos);
}

TEST(FarCells, LastRowAndLastColumn_WrittenInBlocksOf32Rows)
{
    TempDir dir;
    const fs::path file = dir.copy(samplesDir() / "datasets.xls", "far.xls");
    {
        Workbook wb = Workbook::open(file);
        wb.setNumber(0, 65536, 256, 1);
        wb.setNumber(0, 65536, 1, 2);
        wb.setText(0, 40000, 100, "中间");
        EXPECT_THROW(wb.setNumber(0, 65537, 1, 1), XlsError);
        EXPECT_THROW(wb.setNumber(0, 1, 257, 1), XlsError);
        wb.save();
    }
    const Workbook back = Workbook::open(file);
    EXPECT_EQ(back.cell(0, 65536, 256).number, 1);
    EXPECT_EQ(back.cell(0, 65536, 1).number, 2);
    EXPECT_EQ(back.cellText(0, 40000, 100), "中间");
    const auto name = back.worksheetNames().front();
    const RunResult structure = python("biff_check.py", {"structure", file.string(), name});
    EXPECT_EQ(structure.status, 0) << structure.out;
    const RunResult oracle = python("xlrd_dump.py", {file.string(), name});
    EXPECT_NE(oracle.out.find(name + "\t65536\t256\tn\t1\n"), std::string::npos);
}

TEST(Facade, BackupPath_StemDotBakExtensionInSameFolder)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xls");
    const Workbook wb = Workbook::open(file);
    EXPECT_EQ(wb.backupPath(), dir.path() / "点名册.bak.xls");
}

TEST(Facade, FailedSave_KeepsChangesForRetry)
{
    TempDir dir;
    fs::create_directories(dir.path() / "a");
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "a/点名册.xls");
    Workbook wb = Workbook::open(file);
    wb.setNumber(0, 3, 7, 5);
    fs::rename(dir.path() / "a", dir.path() / "b"); // the folder went away
    EXPECT_THROW(wb.save(), XlsError);
    EXPECT_TRUE(wb.isDirty());
    fs::rename(dir.path() / "b", dir.path() / "a");
    wb.save();
    EXPECT_FALSE(wb.isDirty());
    EXPECT_EQ(Workbook::open(file).cellText(0, 3, 7), "5");
}

TEST(Facade, FirstSave_KeepsTheFileAsItWasInTheBackup)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xls");
    Workbook wb = Workbook::open(file);
    wb.setNumber(0, 3, 7, 5);
    wb.save();
    wb.setNumber(0, 3, 7, 6);
    wb.save();
    EXPECT_EQ(Workbook::open(wb.backupPath()).cellText(0, 3, 7),
              Workbook::open(fixturesDir() / "rollbook_xlwt.xls").cellText(0, 3, 7));
    EXPECT_EQ(Workbook::open(file).cellText(0, 3, 7), "6");
}

TEST(Facade, ChangedOnDisk_SeenAfterAnotherProgramSaves_NotAfterOwnSave)
{
    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "点名册.xls");
    Workbook wb = Workbook::open(file);
    EXPECT_FALSE(wb.changedOnDisk());
    wb.setText(0, 3, 2, "李四");
    wb.save();
    EXPECT_FALSE(wb.changedOnDisk());
    fs::copy_file(fixturesDir() / "rollbook_lo.xls", file, fs::copy_options::overwrite_existing);
    EXPECT_TRUE(wb.changedOnDisk());
}

TEST(Facade, WorksheetPositionsSkipChartSheets)
{
    const Workbook wb = Workbook::open(samplesDir() / "any_sheets.xls");
    EXPECT_THROW(wb.cell(3, 1, 1), XlsError);
    EXPECT_NO_THROW(wb.cell(2, 1, 1));
}

// Strings of every length and width land on every record boundary: headers
// never split, characters go on after a flag byte, rich-text runs of the
// existing strings survive, and xlrd reads every string back.
TEST(SharedStrings, ManyNewStringsOnEveryBoundary_ReadBackByXlrd)
{
    TempDir dir;
    const fs::path file = dir.copy(samplesDir() / "biff5-rich-text-string.xls", "many.xls");
    const RunResult before = python("xlrd_dump.py", {file.string()});
    std::vector<std::string> texts;
    {
        Workbook wb = Workbook::open(file);
        for (int i = 0; i < 700; ++i) {
            std::string t = std::to_string(i) + ":";
            const int length = (i * 37) % 900;
            for (int k = 0; k < length; ++k)
                t += (i % 3 == 0) ? "汉" : (i % 3 == 1 ? "x" : (k % 50 == 0 ? "é" : "y"));
            texts.push_back(t);
            wb.setText(0, 1000 + i, 3, t);
        }
        wb.save();
    }
    const RunResult structure = python("biff_check.py", {"structure", file.string(), "none"});
    EXPECT_EQ(structure.status, 0) << structure.out;
    const RunResult after = python("xlrd_dump.py", {file.string()});
    ASSERT_EQ(after.status, 0);
    EXPECT_EQ(after.out.substr(0, before.out.size()), before.out) << "existing strings unchanged";
    for (int i = 0; i < 700; i += 7)
        EXPECT_NE(after.out.find("\t" + std::to_string(1000 + i) + "\t3\ts\t" + texts[i] + "\n"),
                  std::string::npos)
            << i;
}

// A workbook stream small enough for the mini stream that grows past 4096
// bytes moves to regular sectors; xlrd and olefile read the result.
TEST(MiniStream, SmallWorkbookGrowsPastCutoff_ReadByXlrdOtherStreamsKept)
{
    TempDir dir;
    const fs::path original = samplesDir() / "date.xls";
    ASSERT_LT(streamOf(original).size(), 4096u);
    const fs::path file = dir.copy(original, "date.xls");
    const std::string text(3000, 'z');
    {
        Workbook wb = Workbook::open(file);
        wb.setText(0, 20, 1, text);
        wb.save();
    }
    EXPECT_GT(streamOf(file).size(), 4096u);
    const RunResult dump = python("xlrd_dump.py", {file.string()});
    ASSERT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("\t20\t1\ts\t" + text + "\n"), std::string::npos);
    const auto sheet = Workbook::open(file).worksheetNames().front();
    const RunResult compare =
        python("biff_check.py", {"compare", original.string(), file.string(), sheet});
    EXPECT_EQ(compare.status, 0) << compare.out;
}

// A small workbook stream is written back in regular sectors (padded to
// 4096 bytes as Excel and xlwt write it), since not every reader looks for
// the workbook in the mini stream; xlrd reads the cells as changed.
TEST(MiniStream, SmallWorkbookIsWrittenInRegularSectors)
{
    TempDir dir;
    const fs::path file = dir.copy(samplesDir() / "date.xls", "date.xls");
    {
        Workbook wb = Workbook::open(file);
        wb.setNumber(0, 3, 3, 42);
        wb.save();
    }
    EXPECT_GE(streamOf(file).size(), 4096u);
    const RunResult dump = python("xlrd_dump.py", {file.string()});
    ASSERT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find("\t3\t3\tn\t42\n"), std::string::npos) << dump.out;
    EXPECT_EQ(Workbook::open(file).cell(0, 3, 3).number, 42);
}

// An Excel 4 macro sheet holds cells but is not a worksheet: it is listed
// with its kind, and the roll book's worksheet positions skip it.
TEST(SheetKinds, MacroSheet_ListedWithItsKindButNotAWorksheet)
{
    Bytes stream = streamOf(fixturesDir() / "rollbook_xlwt.xls");
    for (const RecordPos& r : readSubstream(stream, 0)) {
        if (r.type == rt::BoundSheet) {
            stream[r.dataPos() + 5] = 0x01; // the first sheet becomes a macro sheet
            break;
        }
    }
    const BiffWorkbook wb = BiffWorkbook::parse(stream);
    ASSERT_EQ(wb.sheets().size(), 3u);
    EXPECT_EQ(wb.sheets()[0].kind, SheetKind::MacroSheet);
    EXPECT_EQ(wb.sheets()[1].kind, SheetKind::Worksheet);
    EXPECT_EQ(wb.cell(0, 2, 0).number, 1) << "its cells still read";

    TempDir dir;
    const fs::path file = dir.copy(fixturesDir() / "rollbook_xlwt.xls", "macro.xls");
    auto cfb = CompoundFile::parse(readWholeFile(file));
    cfb.replaceRootStream("Workbook", stream);
    saveFileAtomically(file, cfb.serialize());
    const Workbook book = Workbook::open(file);
    EXPECT_THAT(book.worksheetNames(), testing::ElementsAre("初二(2)班", "抽奖品"));
    EXPECT_EQ(book.sheets().size(), 3u);
}

// A cell of an array formula cannot change on its own (nor can it in Excel);
// the refusal leaves the workbook as it was, string table included. The
// sample's one-cell array formula is widened to A1:B2 for this.
TEST(Formulas, CellOfAnArrayFormula_RefusedWithoutChangingAnything)
{
    Bytes stream = streamOf(samplesDir() / "invalid_formula.xls");
    const auto records = sheetRecords(stream, 0);
    auto array = std::find_if(records.begin(), records.end(),
                              [](const RecordPos& r) { return r.type == rt::Array; });
    ASSERT_NE(array, records.end());
    std::uint8_t* ref = stream.data() + array->dataPos();
    io::set16(ref + 2, 1);
    ref[5] = 1;
    BiffWorkbook wb = BiffWorkbook::parse(stream);
    EXPECT_THROW(wb.setText(0, 0, 0, "一个新字符串"), XlsError);
    EXPECT_THROW(wb.setNumber(0, 0, 0, 1), XlsError);
    EXPECT_THROW(wb.setEmpty(0, 0, 0), XlsError);
    // Asked beforehand, with a kind a window can put in its own words.
    try {
        wb.checkCanChange(0, 0, 0);
        ADD_FAILURE() << "the array formula's cell was not refused";
    } catch (const XlsError& error) {
        EXPECT_EQ(error.kind(), XlsError::Kind::PartOfArray);
    }
    EXPECT_NO_THROW(wb.checkCanChange(0, 5, 5));
    EXPECT_FALSE(wb.changed());
    EXPECT_EQ(wb.serialize(), stream);
}
