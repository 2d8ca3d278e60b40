// The parts that tie a workbook package together: sheets found through the
// relationships, and the splices a write makes into the workbook part, its
// relationships and the content types.
#include "XlsxTestSupport.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/Package.h"
#include "rollbook/xlsx/PackageParts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

TEST(PackageParts, TargetsResolvedToEntryNames)
{
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "worksheets\\sheet1.xml", "xl/worksheets/sheet1.xml"},
        {"xl/workbook.xml", "./worksheets/./sheet%201.xml", "xl/worksheets/sheet 1.xml"},
        {"xl/worksheets/sheet1.xml", "../drawings/drawing1.xml", "xl/drawings/drawing1.xml"},
        {"", "xl/workbook.xml", "xl/workbook.xml"},
        {"xl/workbook.xml", "../../evil.xml", ""},
    };
    for (const auto& [source, target, expected] : cases)
        EXPECT_EQ(resolvePartName(source, target), expected) << source << " + " << target;
    EXPECT_EQ(relationshipsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(relationshipKind("http://purl.oclc.org/ooxml/officeDocument/relationships/worksheet"),
              "worksheet");
}

TEST(PackageParts, FullCalcOnLoad_SplicedIntoCalcPrOnly)
{
    const std::string sheets = "<sheets><sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/></sheets>";
    const std::string open = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                             "2006/main\" xmlns:r=\"r\">";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"<calcPr calcId=\"124519\"/>", "<calcPr fullCalcOnLoad=\"1\" calcId=\"124519\"/>"},
        {"<calcPr/>", "<calcPr fullCalcOnLoad=\"1\"/>"},
        {"<calcPr\ncalcId='1' fullCalcOnLoad = '0'></calcPr>",
         "<calcPr\ncalcId='1' fullCalcOnLoad = '1'></calcPr>"},
        {"<calcPr fullCalcOnLoad=\"true\"/>", "<calcPr fullCalcOnLoad=\"true\"/>"},
        {"", "<calcPr fullCalcOnLoad=\"1\"/>"},
        {"<definedNames><definedName name=\"n\">A!$A$1</definedName></definedNames>",
         "<definedNames><definedName name=\"n\">A!$A$1</definedName></definedNames>"
         "<calcPr fullCalcOnLoad=\"1\"/>"},
    };
    for (const auto& [before, after] : cases)
        EXPECT_EQ(withFullCalcOnLoad(open + sheets + before + "</workbook>", "wb"),
                  open + sheets + after + "</workbook>")
            << before;
    const std::string prefixed = "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/"
                                 "main\"><x:sheets/></x:workbook>";
    EXPECT_EQ(withFullCalcOnLoad(prefixed, "wb"),
              "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><x:sheets/>"
              "<x:calcPr fullCalcOnLoad=\"1\"/></x:workbook>");
    EXPECT_THROW(withFullCalcOnLoad("<workbook><sheets>", "wb"), XlsError);
}

TEST(PackageParts, StrictWorkbookPart_ReadByLocalNames)
{
    const auto workbook = WorkbookPart::parse(
        "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/main\" "
        "xmlns:rel=\"http://purl.oclc.org/ooxml/officeDocument/relationships\">"
        "<x:workbookPr date1904=\"true\"/><x:sheets><x:sheet name=\"&#x73ED;1\" sheetId=\"1\" "
        "rel:id=\"rId7\" state=\"veryHidden\"/></x:sheets></x:workbook>",
        "xl/workbook.xml");
    EXPECT_TRUE(workbook.date1904);
    EXPECT_EQ(workbook.mainNamespace, "http://purl.oclc.org/ooxml/spreadsheetml/main");
    ASSERT_EQ(workbook.sheets.size(), 1u);
    EXPECT_EQ(workbook.sheets[0].name, "班1");
    EXPECT_EQ(workbook.sheets[0].relationshipId, "rId7");
    EXPECT_EQ(workbook.sheets[0].visibility, SheetVisibility::VeryHidden);
}

TEST(Package, SheetsInOrderWithKindAndVisibility)
{
    Package package(readBytes(xlsxSamplesDir() / "any_sheets.xlsx"));
    const std::vector<std::tuple<std::string, SheetKind, SheetVisibility>> expected{
        {"Visible", SheetKind::Worksheet, SheetVisibility::Visible},
        {"Hidden", SheetKind::Worksheet, SheetVisibility::Hidden},
        {"VeryHidden", SheetKind::Worksheet, SheetVisibility::VeryHidden},
        {"Chart", SheetKind::Chart, SheetVisibility::Visible},
    };
    ASSERT_EQ(package.sheets().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& info = package.sheets()[i].info;
        EXPECT_EQ(
            std::tie(info.name, info.kind, info.visibility),
            std::tie(std::get<0>(expected[i]), std::get<1>(expected[i]), std::get<2>(expected[i])));
        EXPECT_TRUE(package.read(package.sheets()[i].part).has_value()) << info.name;
    }
}

TEST(Package, PartsFoundInUnusualPackages)
{
    const std::vector<std::tuple<std::string, std::string, std::string, bool>> cases{
        {"table_with_absolute_paths.xlsx", "xl/worksheets/sheet1.xml", "", false},
        {"issue_419.xlsx", "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", false},
        {"rph.xlsx", "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", false},
        {"errors.xlsx", "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", false},
    };
    for (const auto& [file, firstSheet, strings, date1904] : cases) {
        Package package(readBytes(xlsxSamplesDir() / file));
        EXPECT_EQ(package.sheets().at(0).part, firstSheet) << file;
        EXPECT_EQ(package.sharedStringsPart(), strings) << file;
        EXPECT_EQ(package.date1904(), date1904) << file;
    }
}

TEST(Package, NotAWorkbook_RefusedInOneLine)
{
    TempDir dir;
    const fs::path file = dir.path() / "other.zip";
    oracle("zip_check.py", {"make", file, "word/document.xml=<document/>"});
    try {
        Package package(readBytes(file));
        FAIL() << "a ZIP without a workbook was opened";
    } catch (const XlsError& e) {
        EXPECT_THAT(e.what(), HasSubstr("not an Excel workbook"));
    }
}

TEST(Package, NewStringsAndDroppedChain_SplicedIntoRelationshipsAndContentTypes)
{
    TempDir dir;
    const fs::path before = xlsxSamplesDir() / "shared_formula_simple.xlsx";
    Package package(readBytes(before));
    ASSERT_TRUE(package.hasCalcChain());
    ASSERT_TRUE(package.sharedStringsPart().empty());
    Package::Edit edit;
    edit.sharedStrings = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
                         " count=\"1\" uniqueCount=\"1\"><si><t>new</t></si></sst>";
    edit.dropCalcChain = true;
    edit.fullCalcOnLoad = true;
    const fs::path after = dir.path() / "after.xlsx";
    writeBytes(after, package.write(edit));

    std::map<std::string, std::string> expected{
        {"xl/sharedStrings.xml", "added"},
        {"xl/calcChain.xml", "removed"},
        {"xl/_rels/workbook.xml.rels", "differs"},
        {"[Content_Types].xml", "differs"},
        {"xl/workbook.xml", "differs"},
    };
    for (const auto& [name, state] : rawComparison(before, after))
        EXPECT_EQ(state, expected.count(name) ? expected[name] : "same") << name;
    const std::string rels =
        oracle("zip_check.py", {"read", after, "xl/_rels/workbook.xml.rels"}).out;
    EXPECT_THAT(rels, HasSubstr("relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"));
    EXPECT_THAT(rels, testing::Not(HasSubstr("calcChain")));
    const std::string types = oracle("zip_check.py", {"read", after, "[Content_Types].xml"}).out;
    EXPECT_THAT(types, HasSubstr("<Override PartName=\"/xl/sharedStrings.xml\""));
    EXPECT_THAT(types, testing::Not(HasSubstr("calcChain")));

    Package reread(readBytes(after));
    EXPECT_THAT(rels, HasSubstr("Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                "relationships/sharedStrings\""));
    EXPECT_EQ(reread.sharedStringsPart(), "xl/sharedStrings.xml");
    EXPECT_FALSE(reread.hasCalcChain());
}

// A workbook whose first relationship is a vendor extension: the new
// shared-string relationship still takes the standard type.
TEST(Package, NewStringsRelationship_TakesTheSheetsNamespace)
{
    TempDir dir;
    Package package(readBytes(xlsxSamplesDir() / "pictures_in_cell_and_over_cell.xlsx"));
    Package::Edit edit;
    edit.sharedStrings = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
                         "/>";
    const fs::path after = dir.path() / "after.xlsx";
    writeBytes(after, package.write(edit));
    EXPECT_THAT(oracle("zip_check.py", {"read", after, "xl/_rels/workbook.xml.rels"}).out,
                HasSubstr("Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                          "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"));
}
