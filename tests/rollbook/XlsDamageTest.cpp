// Damaged workbook streams: every one gives XlsError or reads soundly; none
// crashes, hangs or allocates without bound (run under the sanitizers by the
// fuzz harness too).
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

#include <random>

using namespace xlstest;
using namespace zelvano::xls;

namespace
{

Bytes streamOf(const fs::path& file)
{
    return *CompoundFile::parse(readWholeFile(file)).readRootStream("Workbook");
}

// Opens, reads every cell of every sheet, changes one and writes; the only
// failure allowed is XlsError. Returns whether the stream was accepted.
bool exercise(const Bytes& stream)
{
    try {
        BiffWorkbook wb = BiffWorkbook::parse(stream);
        for (std::size_t s = 0; s < wb.sheets().size(); ++s) {
            try {
                wb.forEachCell(
                    s, [](std::uint16_t, std::uint16_t, const CellValue& v) { (void)v.toText(); });
                wb.setText(s, 2, 2, "测试");
                wb.setNumber(s, 0, 0, 1);
            } catch (const XlsError&) {
            }
        }
        const Bytes out = wb.serialize();
        BiffWorkbook::parse(out);
        return true;
    } catch (const XlsError& e) {
        EXPECT_GT(std::string(e.what()).size(), 10u);
        return false;
    }
}

} // namespace

TEST(DamagedStream, EmptyAndTinyStreams_Refused)
{
    EXPECT_THROW(BiffWorkbook::parse({}), XlsError);
    EXPECT_THROW(BiffWorkbook::parse({0x09, 0x08}), XlsError);
    EXPECT_THROW(BiffWorkbook::parse(Bytes(100, 0)), XlsError);
}

TEST(DamagedStream, EveryTruncation_ErrorOrSoundRead)
{
    const Bytes stream = streamOf(fixturesDir() / "formulas_lo.xls");
    for (std::size_t length = 0; length < stream.size(); length += 7)
        exercise(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(length)));
    // Globals cut short before their end record: refused, never read as empty.
    const auto globals = readSubstream(stream, 0);
    EXPECT_THROW(BiffWorkbook::parse(Bytes(stream.begin(), stream.begin() + globals.back().pos)),
                 XlsError);
}

TEST(DamagedStream, RecordsLyingAboutTheirLength_ErrorOrSoundRead)
{
    for (const char* name : {"rollbook_xlwt.xls", "long_sst_lo.xls"}) {
        const Bytes stream = streamOf(fixturesDir() / name);
        std::size_t pos = 0;
        int records = 0;
        while (pos + 4 <= stream.size() && records < 400) {
            const std::uint16_t size = io::u16(&stream[pos + 2]);
            for (std::uint16_t lie : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t(size + 1),
                                      std::uint16_t{0xFFFF}}) {
                Bytes bad = stream;
                io::set16(&bad[pos + 2], lie);
                exercise(bad);
            }
            pos += 4 + size;
            ++records;
        }
    }
}

TEST(DamagedStream, RandomBytesAndFlips_ErrorOrSoundRead)
{
    std::mt19937 rng(20261208);
    const Bytes stream = streamOf(fixturesDir() / "rollbook_lo.xls");
    for (int i = 0; i < 1500; ++i) {
        Bytes bad = stream;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < flips; ++k)
            bad[rng() % bad.size()] = static_cast<std::uint8_t>(rng());
        exercise(bad);
    }
    for (int i = 0; i < 200; ++i) {
        Bytes noise(rng() % 4096);
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(rng());
        if (noise.size() >= 8) {
            // A plausible start, so the noise reaches past the first check.
            const std::uint8_t bof[] = {0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x05, 0x00};
            std::copy(std::begin(bof), std::end(bof), noise.begin());
        }
        exercise(noise);
    }
}

TEST(DamagedStream, StringTableCountsLying_ReadsWhatIsThere)
{
    // A unique count far larger than the strings present must not make the
    // reader reserve or loop on it.
    Bytes stream = streamOf(fixturesDir() / "long_sst_xlwt.xls");
    for (const RecordPos& r : readSubstream(stream, 0))
        if (r.type == rt::Sst)
            io::set32(&stream[r.dataPos() + 4], 0xFFFFFFF0u);
    EXPECT_TRUE(exercise(stream));
}

TEST(DamagedStream, OlderExcelVersions_Refused)
{
    Bytes biff5 = streamOf(fixturesDir() / "rollbook_xlwt.xls");
    io::set16(&biff5[4], 0x0500);
    try {
        BiffWorkbook::parse(biff5);
        FAIL();
    } catch (const XlsError& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("older"));
    }
    const Bytes biff4 = {0x09, 0x04, 0x06, 0x00, 0x00, 0x04, 0x10, 0x00, 0x00, 0x00};
    EXPECT_THROW(BiffWorkbook::parse(biff4), XlsError);
}

TEST(DamagedFile, ZeroLengthFileFolderAndNoise_RefusedByOpen)
{
    TempDir dir;
    const fs::path empty = dir.path() / "empty.xls";
    std::ofstream(empty).close();
    EXPECT_THROW(Workbook::open(empty), XlsError);
    EXPECT_THROW(Workbook::open(dir.path()), XlsError);
    EXPECT_THROW(Workbook::open(dir.path() / "missing.xls"), XlsError);
    const fs::path noise = dir.path() / "noise.xls";
    {
        std::ofstream out(noise, std::ios::binary);
        std::mt19937 rng(7);
        for (int i = 0; i < 20000; ++i)
            out.put(static_cast<char>(rng()));
    }
    EXPECT_THROW(Workbook::open(noise), XlsError);
    // A compound file without a workbook stream.
    EXPECT_THROW(Workbook::open(ZELVANO_SOURCE_DIR "/tests/fixtures/xls/make_fixtures.py"),
                 XlsError);
}
