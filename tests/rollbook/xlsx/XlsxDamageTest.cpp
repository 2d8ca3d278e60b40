// Damaged .xlsx files made from a sample in a temp folder: every one is
// refused with one clear line, none crashes, hangs or allocates without bound.
#include "XlsxTestSupport.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XlsxFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// needs windows.h first, so not sorted with it
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

using namespace xlsxtest;
using namespace zelvano::xls;

namespace
{

// Opens, reads every cell of every sheet, changes a cell and saves; returns
// the refusal's text, or "" when the whole round went through.
std::string refusalOf(const Bytes& image)
{
    try {
        auto book = openXlsxFormat(image);
        for (std::size_t s = 0; s < book->sheets().size(); ++s) {
            book->forEachCell(s, [](int, int, const CellValue& v) { (void)v.toText(); });
            book->lastRow(s);
        }
        book->setText(0, 2, 2, "测试");
        book->save([](const Bytes&) {});
        return "";
    } catch (const XlsError& e) {
        return e.what();
    }
}

long peakMegabytes()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / (1024 * 1024));
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#endif
}

class DamagedXlsx : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        const RunResult r = oracle(
            "make_damaged.py",
            {(xlsxSamplesDir() / "inventory-table.xlsx").string(), s_dir->path().string()}, true);
        ASSERT_EQ(r.status, 0) << r.out;
    }
    static void TearDownTestSuite() { delete s_dir; }
    static Bytes damaged(const std::string& name) { return readBytes(s_dir->path() / name); }
    static TempDir* s_dir;
};

TempDir* DamagedXlsx::s_dir = nullptr;

} // namespace

TEST_F(DamagedXlsx, EveryDamage_RefusedInOneLine)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"truncated_10.xlsx", ""},
        {"truncated_50.xlsx", ""},
        {"truncated_90.xlsx", ""},
        {"truncated_last_byte.xlsx", ""},
        {"central_directory_garbled.xlsx", "damaged"},
        {"central_directory_misplaced.xlsx", "damaged"},
        {"size_declared_small.xlsx", "damaged"},
        {"size_declared_huge.xlsx", "damaged"},
        {"compressed_size_past_end.xlsx", "damaged"},
        {"data_byte_flipped.xlsx", "damaged"},
        {"sheet_cut_in_middle.xlsx", "damaged"},
        {"workbook_part_cut.xlsx", "damaged"},
        {"relationships_missing.xlsx", "missing"},
        {"sheet_part_missing.xlsx", "missing"},
    };
    for (const auto& [name, says] : cases) {
        const std::string refusal = refusalOf(damaged(name));
        EXPECT_GT(refusal.size(), 20u) << name << " was read";
        EXPECT_THAT(refusal, testing::HasSubstr(says)) << name;
        EXPECT_EQ(refusal.find('\n'), std::string::npos) << name << ": " << refusal;
    }
}

TEST_F(DamagedXlsx, ZipBomb_RefusedWithinBoundedMemory)
{
    const Bytes image = damaged("zip_bomb.xlsx");
    const std::string refusal = refusalOf(image);
    EXPECT_THAT(refusal, testing::HasSubstr("inflates to more than")) << refusal;
    // The sheet would inflate to 1 GiB; reading stops at the engine's limit.
    EXPECT_LT(peakMegabytes(), 300) << "peak memory";
}
