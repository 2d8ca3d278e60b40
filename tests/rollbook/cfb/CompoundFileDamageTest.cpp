#include "CfbTestSupport.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/CompoundFile.h"

#include <gtest/gtest.h>

#include <random>

namespace zelvano::xls
{
namespace
{

using namespace test;

std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8 |
           std::uint32_t(b.at(at + 2)) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = std::uint8_t(v >> (8 * i));
}

// The reason the parser gives for refusing `image`, or "parsed".
std::string refusal(const Bytes& image)
{
    try {
        CompoundFile::parse(image);
    } catch (const XlsError& e) {
        return e.what();
    }
    return "parsed";
}

Bytes pattern(std::size_t size, std::uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = std::uint8_t(seed + i * 13 + (i >> 7));
    return b;
}

// A small 512-byte-sector file whose structures the tests then damage:
// "Workbook" in regular sectors, "Small" and "Tiny" in the mini stream.
class DamagedFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CompoundFile cf = CompoundFile::createEmpty(512);
        cf.addRootStream("Workbook", pattern(10000, 1));
        cf.addRootStream("Small", pattern(300, 2));
        cf.addRootStream("Tiny", pattern(100, 3));
        image = cf.serialize();
        ASSERT_NO_THROW(CompoundFile::parse(image));
    }

    std::size_t sectorOffset(std::uint32_t s) const { return (std::size_t(s) + 1) * 512; }
    // File offset of FAT entry `i` (the first FAT sector covers this file).
    std::size_t fatEntry(std::uint32_t i) const { return sectorOffset(get32(image, 0x4C)) + 4 * i; }
    std::size_t miniFatEntry(std::uint32_t i) const
    {
        return sectorOffset(get32(image, 0x3C)) + 4 * i;
    }
    std::size_t dirEntry(std::uint32_t i) const
    {
        return sectorOffset(get32(image, 0x30)) + 128 * i;
    }
    std::uint32_t entryNamed(const std::u16string& name) const
    {
        for (std::uint32_t i = 0; i < 4; ++i) {
            const std::size_t at = dirEntry(i);
            std::u16string n;
            for (std::size_t k = 0; k + 2 < image[at + 0x40]; k += 2)
                n.push_back(char16_t(image[at + k] | image[at + k + 1] << 8));
            if (n == name)
                return i;
        }
        ADD_FAILURE() << "no such entry";
        return 0;
    }
    std::uint32_t startOf(const std::u16string& name) const
    {
        return get32(image, dirEntry(entryNamed(name)) + 0x74);
    }

    Bytes image;
};

TEST(CompoundFileDamage, Parse_RejectsZeroLengthFile)
{
    EXPECT_THROW(CompoundFile::parse({}), XlsError);
}

TEST(CompoundFileDamage, Parse_RejectsRandomBytesOfManySizes)
{
    std::mt19937 rng(7);
    for (std::size_t size : {1u, 100u, 511u, 512u, 513u, 4096u, 20000u}) {
        Bytes b(size);
        for (auto& x : b)
            x = std::uint8_t(rng());
        EXPECT_THROW(CompoundFile::parse(b), XlsError) << size;
    }
}

TEST_F(DamagedFile, Parse_RandomBytesAfterAValidHeader_ThrowOrReadWithoutCrash)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        Bytes b = image;
        for (std::size_t i = 512; i < b.size(); ++i)
            b[i] = std::uint8_t(rng());
        // Keep some FAT entries plausible so that chains get followed.
        for (std::uint32_t i = 0; i < 40; ++i)
            put32(b, fatEntry(i), rng() % 48);
        try {
            const CompoundFile cf = CompoundFile::parse(b);
            CompoundFile::parse(cf.serialize());
        } catch (const XlsError&) {
        }
    }
}

TEST_F(DamagedFile, Parse_TruncatedAnywhere_ThrowsOrReadsTheSameStreams)
{
    const CompoundFile whole = CompoundFile::parse(image);
    for (std::size_t cut = 0; cut < image.size(); cut += 37) {
        const Bytes part(image.begin(), image.begin() + std::ptrdiff_t(cut));
        try {
            const CompoundFile cf = CompoundFile::parse(part);
            for (const char* name : {"Workbook", "Small", "Tiny"})
                EXPECT_EQ(cf.readRootStream(name), whole.readRootStream(name)) << cut;
        } catch (const XlsError&) {
        }
    }
}

TEST_F(DamagedFile, Parse_ShortLastSector_ReadWhenTheBytesInUseArePresent)
{
    // Workbook comes last and uses 10000 - 19 * 512 = 272 bytes of its last
    // sector; some writers leave out the unused rest.
    const CompoundFile whole = CompoundFile::parse(image);
    const Bytes shortened(image.begin(), image.end() - (512 - 272));
    const CompoundFile cf = CompoundFile::parse(shortened);
    EXPECT_EQ(cf.readRootStream("Workbook"), whole.readRootStream("Workbook"));
    const Bytes cutIntoData(image.begin(), image.end() - (512 - 272) - 1);
    EXPECT_NE(refusal(cutIntoData).find("截断"), std::string::npos) << refusal(cutIntoData);
}

TEST(CompoundFileDamage, Parse_TruncatedSample_NeverReadsMissingBytesAsZeros)
{
    const Bytes image = readFile(samplesDir() / "optional_records.xls");
    const CompoundFile whole = CompoundFile::parse(image);
    for (std::size_t cut = 0; cut < image.size(); cut += 509) {
        const Bytes part(image.begin(), image.begin() + std::ptrdiff_t(cut));
        try {
            const CompoundFile cf = CompoundFile::parse(part);
            for (const auto& name : whole.rootStreamNames())
                EXPECT_EQ(cf.readRootStream(name), whole.readRootStream(name)) << cut;
        } catch (const XlsError&) {
        }
    }
}

TEST_F(DamagedFile, Parse_RejectsFatChainLoop)
{
    const std::uint32_t start = startOf(u"Workbook");
    put32(image, fatEntry(start + 5), start + 2);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsFatChainIntoFreeSector)
{
    const std::uint32_t start = startOf(u"Workbook");
    put32(image, fatEntry(start + 3), 0xFFFFFFFFu);
    EXPECT_NE(refusal(image).find("超出"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsDirectoryChainLoop)
{
    const std::uint32_t dir = get32(image, 0x30);
    put32(image, fatEntry(dir), dir);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsMiniFatChainLoop)
{
    const std::uint32_t start = startOf(u"Small");
    put32(image, miniFatEntry(start + 2), start);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsMiniStreamsSharingSectors)
{
    put32(image, dirEntry(entryNamed(u"Tiny")) + 0x74, startOf(u"Small") + 1);
    EXPECT_NE(refusal(image).find("重叠"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsStreamsSharingSectors)
{
    // The mini stream's own sectors handed to Workbook as well.
    put32(image, dirEntry(0) + 0x74, startOf(u"Workbook"));
    EXPECT_NE(refusal(image).find("重叠"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsSizeLargerThanTheChain)
{
    put32(image, dirEntry(entryNamed(u"Workbook")) + 0x78, 10000 + 2048);
    EXPECT_NE(refusal(image).find("短"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsSizeLargerThanTheFile)
{
    put32(image, dirEntry(entryNamed(u"Workbook")) + 0x78, 0xFFFFFFF0u);
    EXPECT_NE(refusal(image).find("超出文件"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsMiniStreamSizeLargerThanTheFile)
{
    put32(image, dirEntry(0) + 0x78, 0x7FFFFFF0u);
    EXPECT_NE(refusal(image).find("超出文件"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsSectorNumberOutOfRange)
{
    put32(image, dirEntry(entryNamed(u"Workbook")) + 0x74, 0x00FFFFF0u);
    EXPECT_NE(refusal(image).find("超出"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsFatSectorOutOfRange)
{
    put32(image, 0x4C, 0x00FFFFF0u);
    EXPECT_NE(refusal(image).find("超出"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_FatCountLargerThanTheList_ReadsTheListedSectors)
{
    const CompoundFile whole = CompoundFile::parse(image);
    put32(image, 0x2C, get32(image, 0x2C) + 1); // the next header entry is free
    const CompoundFile cf = CompoundFile::parse(image);
    EXPECT_EQ(cf.readRootStream("Workbook"), whole.readRootStream("Workbook"));
}

TEST_F(DamagedFile, Parse_RejectsFatCountBeyondTheFile)
{
    put32(image, 0x2C, 0xFFFFFFFFu);
    EXPECT_NE(refusal(image).find("超出"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsDirectoryTreeCycle)
{
    const std::uint32_t child = get32(image, dirEntry(0) + 0x4C);
    put32(image, dirEntry(child) + 0x44, child);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsStorageContainingItsParent)
{
    // The root's child made a storage whose child is the root's child again.
    const std::uint32_t child = get32(image, dirEntry(0) + 0x4C);
    image[dirEntry(child) + 0x42] = 1;
    put32(image, dirEntry(child) + 0x4C, child);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsDirectoryIndexOutOfRange)
{
    const std::uint32_t child = get32(image, dirEntry(0) + 0x4C);
    put32(image, dirEntry(child) + 0x48, 1000);
    EXPECT_NE(refusal(image).find("超出"), std::string::npos) << refusal(image);
}

TEST_F(DamagedFile, Parse_RejectsUnknownVersionAndSectorShift)
{
    Bytes v = image;
    v[0x1A] = 5;
    EXPECT_THROW(CompoundFile::parse(v), XlsError);
    Bytes s = image;
    s[0x1E] = 20;
    EXPECT_THROW(CompoundFile::parse(s), XlsError);
}

TEST(CompoundFileDamage, Parse_RejectsDifatChainLoop)
{
    // Over 109 FAT sectors, so the FAT list continues in a DIFAT sector.
    CompoundFile cf = CompoundFile::createEmpty(512);
    cf.addRootStream("Workbook", pattern(8u << 20, 5));
    Bytes image = cf.serialize();
    ASSERT_EQ(get32(image, 0x48), 1u);
    const std::uint32_t difat = get32(image, 0x44);
    // Fill the DIFAT sector, claim one FAT sector more than it holds, and
    // let it name itself as the next DIFAT sector.
    const std::size_t at = (std::size_t(difat) + 1) * 512;
    for (std::size_t k = 0; k < 127; ++k)
        put32(image, at + 4 * k, get32(image, 0x4C));
    put32(image, 0x2C, 109 + 127 + 1);
    put32(image, at + 127 * 4, difat);
    EXPECT_NE(refusal(image).find("循环"), std::string::npos) << refusal(image);
}

TEST(CompoundFileDamage, CorruptedSample_ReadsSoundlyOrRefuses)
{
    // Its root chain runs on into the Workbook's sectors; only the part the
    // mini stream's size covers belongs to it.
    const Bytes image = readFile(samplesDir() / "corrupted_error.xls");
    try {
        const CompoundFile cf = CompoundFile::parse(image);
        const auto wb = cf.readRootStream("Workbook");
        ASSERT_TRUE(wb.has_value());
        ASSERT_GE(wb->size(), 4u);
        EXPECT_EQ((*wb)[0], 0x09);
        EXPECT_EQ((*wb)[1], 0x08);
    } catch (const XlsError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
    }
}

} // namespace
} // namespace zelvano::xls
