// The ZIP layer of the .xlsx engine: entry names, refusals, reading, and a
// write that keeps every unchanged entry's compressed bytes, as Python's
// zipfile sees them.
#include "XlsxTestSupport.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/ZipArchive.h"
#include "rollbook/xlsx/ZipNames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

Bytes madeArchive(const TempDir& dir, const std::vector<std::string>& entries)
{
    const fs::path file = dir.path() / "made.zip";
    std::vector<Arg> args{"make", file};
    args.insert(args.end(), entries.begin(), entries.end());
    const RunResult r = oracle("zip_check.py", args, true);
    EXPECT_EQ(r.status, 0) << r.out;
    return readBytes(file);
}

std::string refusalOf(const Bytes& image)
{
    try {
        ZipArchive zip(image);
    } catch (const XlsError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ZipNames, NormalisedOrRefused)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"xl/workbook.xml", "xl/workbook.xml"},
        {"xl\\worksheets\\sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/..data/a.xml", "xl/..data/a.xml"},
        {"/xl/workbook.xml", ""},
        {"\\xl\\workbook.xml", ""},
        {"../evil.xml", ""},
        {"xl/../../evil.xml", ""},
        {"xl\\..\\evil.xml", ""},
        {"xl/..", ""},
        {"C:/Windows/evil.xml", ""},
        {"c:evil.xml", ""},
        {"", ""},
    };
    for (const auto& [raw, expected] : cases)
        EXPECT_EQ(normalizedEntryName(raw).value_or(""), expected) << raw;
    EXPECT_EQ(foldedName("xl/SharedStrings.XML"), "xl/sharedstrings.xml");
}

TEST(ZipArchive, SampleEntries_ReadAsPythonReadsThem)
{
    const fs::path file = xlsxSamplesDir() / "picture.xlsx";
    ZipArchive zip(readBytes(file));
    ASSERT_GT(zip.names().size(), 8u);
    for (const auto& name : zip.names())
        EXPECT_EQ(*zip.read(name), oracle("zip_check.py", {"read", file, name}).out) << name;
    EXPECT_FALSE(zip.read("xl/absent.xml").has_value());
}

TEST(ZipArchive, NamesFoundWithoutRegardToCaseAndBackslashes)
{
    ZipArchive sample(readBytes(xlsxSamplesDir() / "issue_419.xlsx"));
    EXPECT_TRUE(sample.contains("xl/sharedStrings.xml"));
    EXPECT_THAT(*sample.read("xl/sharedStrings.xml"), HasSubstr("<sst"));

    TempDir dir;
    ZipArchive made(madeArchive(dir, {"xl\\workbook.xml=<workbook/>"}));
    EXPECT_EQ(made.names(), std::vector<std::string>{"xl/workbook.xml"});
    EXPECT_EQ(*made.read("XL/Workbook.xml"), "<workbook/>");
}

TEST(ZipArchive, UnsafeOrRepeatedNames_Refused)
{
    TempDir dir;
    const std::vector<std::vector<std::string>> archives{
        {"../evil.xml=x"},
        {"/etc/evil.xml=x"},
        {"C:/evil.xml=x"},
        {"xl/../../evil.xml=x"},
        {"a.xml=1", "a.xml=2"},
        {"xl/A.xml=1", "xl/a.xml=2"},
        {"xl\\a.xml=1", "xl/a.xml=2"},
    };
    for (const auto& entries : archives) {
        const std::string refusal = refusalOf(madeArchive(dir, entries));
        EXPECT_THAT(refusal, HasSubstr("damaged")) << entries[0];
    }
}

TEST(ZipArchive, NotAZip_RefusedInOneLine)
{
    const std::vector<Bytes> images{
        {},
        Bytes(100, 0),
        readBytes(xlsxSamplesDir() / "pass_protected.xlsx"),
        Bytes{'P', 'K', 3, 4},
    };
    for (const auto& image : images) {
        const std::string refusal = refusalOf(image);
        EXPECT_THAT(refusal, testing::AnyOf(HasSubstr("not a ZIP archive"), HasSubstr("damaged")));
        EXPECT_EQ(refusal.find('\n'), std::string::npos);
    }
    EXPECT_THAT(refusalOf(readBytes(xlsxSamplesDir() / "pass_protected.xlsx")),
                HasSubstr("not a ZIP archive"));
}

TEST(ZipArchive, Write_KeepsUnchangedEntriesCompressedBytes)
{
    TempDir dir;
    const fs::path before = xlsxSamplesDir() / "picture.xlsx";
    ZipArchive zip(readBytes(before));
    ZipArchive::Changes changes;
    changes.put["xl/worksheets/sheet1.xml"] = "<worksheet>new</worksheet>";
    changes.put["xl/added.xml"] = "<added/>";
    changes.removed.insert("docProps/app.xml");
    const fs::path after = dir.path() / "after.xlsx";
    writeBytes(after, zip.write(changes));

    const auto states = rawComparison(before, after);
    ASSERT_EQ(states.size(), zip.names().size() + 1);
    for (const auto& [name, state] : states) {
        const std::string expected = name == "xl/worksheets/sheet1.xml" ? "differs"
                                     : name == "xl/added.xml"           ? "added"
                                     : name == "docProps/app.xml"       ? "removed"
                                                                        : "same";
        EXPECT_EQ(state, expected) << name;
    }
    EXPECT_EQ(oracle("zip_check.py", {"read", after, "xl/worksheets/sheet1.xml"}).out,
              "<worksheet>new</worksheet>");
    EXPECT_EQ(oracle("zip_check.py", {"read", after, "xl/added.xml"}).out, "<added/>");
    EXPECT_EQ(*ZipArchive(readBytes(after)).read("xl/added.xml"), "<added/>");
}

TEST(ZipArchive, Write_DeflatesChangedAndNewPartsAtTheUsualLevel)
{
    TempDir dir;
    ZipArchive zip(readBytes(xlsxSamplesDir() / "picture.xlsx"));
    ZipArchive::Changes changes;
    std::string sheet = "<worksheet>";
    for (int i = 0; i < 2000; ++i)
        sheet += "<c r=\"A" + std::to_string(i) + "\"><v>" + std::to_string(i % 7) + "</v></c>";
    changes.put["xl/worksheets/sheet1.xml"] = sheet + "</worksheet>";
    changes.put["xl/added.xml"] = sheet + "</worksheet>";
    const fs::path after = dir.path() / "after.xlsx";
    writeBytes(after, zip.write(changes));
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/added.xml"}) {
        EXPECT_EQ(oracle("zip_check.py", {"level", after, part}).out, "normal\n") << part;
        EXPECT_EQ(*ZipArchive(readBytes(after)).read(part), sheet + "</worksheet>") << part;
    }
}

TEST(ZipArchive, EntryReadInPieces_GivesTheBytesOfAWholeRead)
{
    const ZipArchive zip(readBytes(xlsxSamplesDir() / "picture.xlsx"));
    for (const std::string& name : zip.names()) {
        const auto entry = zip.open(name);
        ASSERT_TRUE(entry) << name;
        std::string pieces;
        char buffer[1000];
        while (const std::size_t n = entry->read(buffer, sizeof buffer))
            pieces.append(buffer, n);
        EXPECT_EQ(entry->read(buffer, sizeof buffer), 0u) << name;
        EXPECT_EQ(pieces, *zip.read(name)) << name;
    }
    EXPECT_FALSE(zip.open("xl/missing.xml"));
}

TEST(ZipArchive, WriteOfNothing_KeepsEveryEntry)
{
    TempDir dir;
    const fs::path before = xlsxSamplesDir() / "inventory-table.xlsx";
    const fs::path after = dir.path() / "after.xlsx";
    writeBytes(after, ZipArchive(readBytes(before)).write({}));
    for (const auto& [name, state] : rawComparison(before, after))
        EXPECT_EQ(state, "same") << name;
}
