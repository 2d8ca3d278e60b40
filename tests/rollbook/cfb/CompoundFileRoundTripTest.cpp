#include "CfbTestSupport.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/CompoundFile.h"

#include <gtest/gtest.h>

namespace zelvano::xls
{
namespace
{

using namespace test;
namespace fs = std::filesystem;

// A sample whose compound file is damaged on purpose; it may be refused.
bool mayBeRefused(const fs::path& p)
{
    return p.filename() == "corrupted_error.xls";
}

Bytes pattern(std::size_t size, std::uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = std::uint8_t(seed + i * 7 + (i >> 8));
    return b;
}

TEST(CompoundFileRoundTrip, EverySample_KeepsEveryStreamAndStorageForOlefile)
{
    TempDir dir;
    const auto samples = sampleFiles();
    ASSERT_GE(samples.size(), 20u);
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.filename().string());
        const Bytes image = readFile(sample);
        std::optional<CompoundFile> cf;
        try {
            cf.emplace(CompoundFile::parse(image));
        } catch (const XlsError& e) {
            EXPECT_TRUE(mayBeRefused(sample)) << e.what();
            continue;
        }
        const Bytes written = cf->serialize();
        EXPECT_EQ(written.size() % cf->sectorSize(), 0u);
        const fs::path out = dir / sample.filename().string();
        writeFile(out, written);
        // xlrd, with a compound file reader of its own, refuses the damaged
        // sample but must read everything else as it reads the original.
        EXPECT_EQ(oleCheck("same " + quoted(sample) + " " + quoted(out) +
                           (mayBeRefused(sample) ? "" : " --xlrd")),
                  "");

        // Our own reading of what we wrote gives the same streams again.
        const CompoundFile again = CompoundFile::parse(written);
        EXPECT_EQ(again.sectorSize(), cf->sectorSize());
        for (const auto& name : cf->rootStreamNames())
            EXPECT_EQ(again.readRootStream(name), cf->readRootStream(name)) << name;
    }
}

TEST(CompoundFileRoundTrip, SecondRoundTrip_IsByteIdentical)
{
    const Bytes image = readFile(samplesDir() / "any_sheets.xls");
    const Bytes once = CompoundFile::parse(image).serialize();
    EXPECT_EQ(CompoundFile::parse(once).serialize(), once);
}

TEST(CompoundFileLookup, RootStreamNames_AreMatchedCaseInsensitively)
{
    const CompoundFile cf =
        CompoundFile::parse(readFile(samplesDir() / "biff5-rich-text-string.xls"));
    const auto names = cf.rootStreamNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "WorkBook"), names.end());
    const auto upper = cf.readRootStream("WORKBOOK");
    const auto lower = cf.readRootStream("workbook");
    ASSERT_TRUE(upper && lower);
    EXPECT_EQ(*upper, *lower);
    EXPECT_TRUE(cf.readRootStream("book").has_value());
    EXPECT_NE(cf.readRootStream("book"), upper);
    EXPECT_FALSE(cf.readRootStream("Workbook2").has_value());
    EXPECT_FALSE(cf.readRootStream("").has_value());
}

TEST(CompoundFileLookup, StreamInsideStorage_IsNotARootStream)
{
    const CompoundFile cf = CompoundFile::parse(readFile(samplesDir() / "any_sheets.xls"));
    EXPECT_FALSE(cf.readRootStream("PROJECT").has_value());
    EXPECT_FALSE(cf.readRootStream("_VBA_PROJECT_CUR").has_value());
}

TEST(CompoundFileReplace, UnknownStream_Throws)
{
    CompoundFile cf = CompoundFile::parse(readFile(samplesDir() / "date.xls"));
    EXPECT_THROW(cf.replaceRootStream("NoSuchStream", Bytes(10)), XlsError);
}

struct ReplaceCase {
    const char* sample;
    const char* stream;
    std::size_t firstSize;  // crosses the mini-stream cutoff one way...
    std::size_t secondSize; // ...and this one back
};

class CompoundFileReplaceCrossing : public ::testing::TestWithParam<ReplaceCase>
{
};

TEST_P(CompoundFileReplaceCrossing, OtherStreamsAndStoragesStayUnchanged)
{
    const ReplaceCase c = GetParam();
    TempDir dir;
    const fs::path original = samplesDir() / c.sample;
    CompoundFile cf = CompoundFile::parse(readFile(original));
    for (const std::size_t size : {c.firstSize, c.secondSize}) {
        SCOPED_TRACE(size);
        const Bytes data = pattern(size, std::uint8_t(size));
        cf.replaceRootStream(c.stream, data);
        const fs::path out = dir / "out.xls";
        const fs::path expected = dir / "expected.bin";
        writeFile(out, cf.serialize());
        writeFile(expected, data);
        EXPECT_EQ(oleCheck("same " + quoted(original) + " " + quoted(out) + " --except " +
                           c.stream + " --expect " + c.stream + "=" + expected.string()),
                  "");
        cf = CompoundFile::parse(readFile(out));
        EXPECT_EQ(cf.readRootStream(c.stream), data);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Crossings, CompoundFileReplaceCrossing,
    ::testing::Values(ReplaceCase{"any_sheets.xls", "Workbook", 1000, 150000}, // VBA storages
                      ReplaceCase{"gh548_incorrect_sst_unique_count.xls", "Workbook", 4095, 4096},
                      ReplaceCase{"hidden_sheets.xls", "workbook", 0, 70000}, // WPS ETExtData
                      ReplaceCase{"Formate.xls", "\x05SummaryInformation", 9000, 64}),
    [](const auto& test) {
        const std::string s = test.param.sample;
        return "Sample" + std::to_string(test.index) + "_" + std::to_string(test.param.firstSize) +
               "_then_" + std::to_string(test.param.secondSize);
    });

} // namespace
} // namespace zelvano::xls

namespace zelvano::xls
{
namespace
{

using namespace test;
namespace fs = std::filesystem;

// A file written by make_cfb.py (not by our engine), read and rewritten.
void checkForeignFile(const std::string& options, std::uint32_t sectorSize, bool difat)
{
    TempDir dir;
    const fs::path made = dir / "made.cfb";
    std::string out;
    ASSERT_EQ(runCommand(std::string(ZELVANO_PYTHON) + " '" ZELVANO_CFB_MAKE_SCRIPT "' " +
                             quoted(made) + " " + options,
                         &out),
              0)
        << out;
    const CompoundFile cf = CompoundFile::parse(readFile(made));
    EXPECT_EQ(cf.sectorSize(), sectorSize);
    const Bytes written = cf.serialize();
    const std::uint32_t difatSectors = written[0x48] | written[0x49] << 8;
    EXPECT_EQ(difatSectors > 0, difat);
    const fs::path rewritten = dir / "rewritten.cfb";
    writeFile(rewritten, written);
    EXPECT_EQ(oleCheck("same " + quoted(made) + " " + quoted(rewritten)), "");
}

TEST(CompoundFileForeign, Sector512_InterleavedChainsAndStorage)
{
    checkForeignFile("--sector 512", 512, false);
}

TEST(CompoundFileForeign, Sector4096_ReadAndRewrittenInTheSameSectorSize)
{
    checkForeignFile("--sector 4096", 4096, false);
}

TEST(CompoundFileForeign, MoreThan109FatSectors_DifatChainOfTwoSectors)
{
    checkForeignFile("--sector 512 --big 16", 512, true);
}

struct SizesCase {
    std::uint32_t sectorSize;
    std::size_t extraMegabytes;
};

class CompoundFileWriter : public ::testing::TestWithParam<SizesCase>
{
};

// Streams at every boundary of mini sectors, sectors and the cutoff, written
// by us and read by olefile.
TEST_P(CompoundFileWriter, BoundarySizes_ReadBackByOlefile)
{
    const SizesCase c = GetParam();
    TempDir dir;
    const fs::path expected = dir / "expected";
    fs::create_directory(expected);
    CompoundFile cf = CompoundFile::createEmpty(c.sectorSize);
    const std::size_t sizes[] = {0,    1,    63,   64,   65,   511,  512,  513,
                                 4095, 4096, 4097, 8191, 8192, 8193, 20000};
    for (std::size_t size : sizes) {
        Bytes data(size);
        for (std::size_t i = 0; i < size; ++i)
            data[i] = std::uint8_t(i * 7 + size);
        const std::string name = "S" + std::to_string(size);
        cf.addRootStream(name, data);
        writeFile(expected / name, data);
    }
    if (c.extraMegabytes) {
        Bytes big(c.extraMegabytes << 20);
        for (std::size_t i = 0; i < big.size(); ++i)
            big[i] = std::uint8_t(i >> 9);
        cf.addRootStream("Big", big);
        writeFile(expected / "Big", big);
    }
    const Bytes image = cf.serialize();
    const fs::path file = dir / "ours.cfb";
    writeFile(file, image);
    EXPECT_EQ(oleCheck("streams " + quoted(file) + " " + quoted(expected)), "");
    const CompoundFile again = CompoundFile::parse(image);
    EXPECT_EQ(again.sectorSize(), c.sectorSize);
    EXPECT_EQ(again.serialize(), image);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CompoundFileWriter,
                         ::testing::Values(SizesCase{512, 0}, SizesCase{4096, 0}, SizesCase{512, 8},
                                           SizesCase{4096, 20}),
                         [](const auto& test) {
                             return "Sector" + std::to_string(test.param.sectorSize) + "_Plus" +
                                    std::to_string(test.param.extraMegabytes) + "MB";
                         });

TEST(CompoundFileWriter, AddRootStream_RefusesDuplicateAndOverlongNames)
{
    CompoundFile cf = CompoundFile::createEmpty(512);
    cf.addRootStream("Workbook", {});
    EXPECT_THROW(cf.addRootStream("WORKBOOK", {}), XlsError);
    EXPECT_THROW(cf.addRootStream(std::string(32, 'x'), {}), XlsError);
    EXPECT_THROW(cf.addRootStream("", {}), XlsError);
    EXPECT_THROW(CompoundFile::createEmpty(1024), XlsError);
}

} // namespace
} // namespace zelvano::xls

#include "rollbook/cfb/CfbModel.h"

namespace zelvano::xls
{
namespace
{

// Directory trees are ordered by length first, then by upper-cased code
// units; a writer that orders otherwise produces trees Excel cannot search.
TEST(CompoundFileNames, Order_IsLengthFirstThenUpperCase)
{
    using cfb::compareNames;
    EXPECT_LT(compareNames(u"Zz", u"aaa"), 0);
    EXPECT_EQ(compareNames(u"Workbook", u"WORKBOOK"), 0);
    EXPECT_LT(compareNames(u"Book", u"Cook"), 0);
    EXPECT_GT(compareNames(u"_VBA", u"aVBA"), 0); // '_' is 0x5F, 'A' 0x41
    EXPECT_EQ(compareNames(u"Лист1", u"ЛИСТ1"), 0);
    EXPECT_EQ(compareNames(u"JKý2", u"JKÝ2"), 0);
    EXPECT_EQ(compareNames(u"ß", u"ß"), 0);
    EXPECT_NE(compareNames(u"ß", u"S"), 0);
}

} // namespace
} // namespace zelvano::xls
