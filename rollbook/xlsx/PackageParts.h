#pragma once

#include "rollbook/SheetInfo.h"
#include "rollbook/xlsx/PackageXml.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// The part a relationship target names, as a ZIP entry name: relative to the
// source part's folder or absolute ("/xl/..."), backslashes and %XX escapes
// read, "." and ".." steps resolved. Empty when it leaves the package.
std::string resolvePartName(std::string_view sourcePart, std::string_view target);

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml".
std::string relationshipsPartOf(std::string_view part);

// The last step of a relationship type, which is the same in transitional
// and strict OOXML: "worksheet", "officeDocument", "calcChain".
std::string relationshipKind(std::string_view type);

struct Relationship {
    std::string id, type, target;
    bool external = false;
    std::size_t begin = 0, end = 0; // the element's bytes
};

// A relationships part: its entries and where a new one goes.
struct RelationshipsPart {
    std::vector<Relationship> items;
    std::size_t insertAt = 0; // the root's end tag
    std::string prefix;       // of the root element

    static RelationshipsPart parse(std::string_view xml, const std::string& part);
    const Relationship* byId(std::string_view id) const;
    const Relationship* byKind(std::string_view kind) const;
    std::string unusedId() const;
};

// [Content_Types].xml: the Override elements by part name.
struct ContentTypesPart {
    struct Override {
        std::string part; // without the leading '/'
        std::size_t begin = 0, end = 0;
    };
    std::vector<Override> overrides;
    std::size_t insertAt = 0;
    std::string prefix;

    static ContentTypesPart parse(std::string_view xml);
    const Override* find(std::string_view part) const; // any case
};

// The workbook part: its sheets in order, the date system and where the
// calculation properties lie.
struct WorkbookPart {
    struct Sheet {
        std::string name, relationshipId;
        SheetVisibility visibility = SheetVisibility::Visible;
    };
    std::vector<Sheet> sheets;
    bool date1904 = false;
    std::string mainNamespace; // transitional or strict SpreadsheetML

    static WorkbookPart parse(std::string_view xml, const std::string& part);
};

// The workbook part with fullCalcOnLoad="1" on calcPr (a calcPr added when
// there is none), every other byte as it was.
std::string withFullCalcOnLoad(std::string_view workbookXml, const std::string& part);

// The workbook part with one more <sheet> after the last one, in the form
// the others are written: the next sheetId, the relationship `relationshipId`.
std::string withNewSheet(std::string_view workbookXml, const std::string& part,
                         std::string_view utf8Name, std::string_view relationshipId);

// `xml` with the bytes [begin, end) replaced by `text`.
std::string spliced(std::string_view xml, std::size_t begin, std::size_t end,
                    std::string_view text);

} // namespace zelvano::xls
