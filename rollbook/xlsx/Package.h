#pragma once

#include "rollbook/SheetInfo.h"
#include "rollbook/xlsx/ZipArchive.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zelvano::xls
{

struct RelationshipsPart;
struct ContentTypesPart;

// An Excel 2007+ workbook package: the ZIP archive and the parts that tie
// its sheets together (package relationships, the workbook part and its
// relationships, content types). Finds each sheet's part, the shared strings
// and the calculation chain; writes a new image in which only the parts a
// change needs differ, each by splicing into its original bytes.
class Package
{
public:
    // Throws XlsError: not a ZIP archive, not a workbook, damaged parts.
    explicit Package(Bytes image);

    struct Sheet {
        SheetInfo info;
        std::string part; // ZIP entry of its XML; empty when no part is named
    };
    const std::vector<Sheet>& sheets() const { return m_sheets; }
    bool date1904() const { return m_date1904; }
    const std::string& mainNamespace() const { return m_mainNamespace; }
    const std::string& workbookPart() const { return m_workbookPart; }
    // The shared-string part's entry, or empty when the workbook names none.
    const std::string& sharedStringsPart() const { return m_sharedStringsPart; }
    bool hasCalcChain() const { return !m_calcChainPart.empty(); }

    // A part's bytes; nothing when the archive lacks it. Throws XlsError.
    std::optional<std::string> read(const std::string& part) const { return m_zip->read(part); }
    // The part opened to be read piece by piece; nothing when the archive lacks it.
    std::unique_ptr<ZipArchive::Entry> open(const std::string& part) const
    {
        return m_zip->open(part);
    }
    const Bytes& image() const { return m_zip->image(); }

    // Byte ranges of one part replaced by new text.
    struct Splice {
        std::size_t begin, end;
        std::string text;
    };

    struct Edit {
        std::map<std::string, std::string> parts; // existing parts with new bytes
        std::optional<std::string> sharedStrings; // the shared-string part's new bytes
        bool dropCalcChain = false;               // Excel rebuilds a chain that is missing
        bool fullCalcOnLoad = false;
        // Empty worksheets added after the last sheet, names checked by the caller.
        std::vector<std::string> newWorksheets;
    };
    // The new image; every entry the edit does not touch keeps its
    // compressed bytes. Throws XlsError.
    Bytes write(const Edit& edit) const;

private:
    void findWorkbookPart();
    void readWorkbook();
    std::string sharedStringsTarget() const;
    // A worksheet part beside the others that neither the archive nor
    // `taken` holds ("xl/worksheets/sheet4.xml").
    std::string unusedSheetPart(const ZipArchive::Changes& taken) const;
    std::string newSheetXml() const;
    // The edit's new worksheets put into `changes` and the relationships
    // and content types; returns the workbook part naming them.
    std::string addWorksheets(const Edit& edit, const RelationshipsPart& rels,
                              const ContentTypesPart& types, ZipArchive::Changes& changes,
                              std::vector<Splice>& relsSplices,
                              std::vector<Splice>& typeSplices) const;

    std::unique_ptr<ZipArchive> m_zip;
    std::string m_workbookPart;
    std::string m_workbookRelsPart;
    std::string m_relationshipBase; // a relationship type without its last step
    std::vector<Sheet> m_sheets;
    bool m_date1904 = false;
    std::string m_mainNamespace;
    bool m_sharedStringsNamed = false; // a relationship names the part
    std::string m_sharedStringsPart;
    std::string m_calcChainPart;
    std::string m_calcChainRelId;
};

} // namespace zelvano::xls
