#include "rollbook/xlsx/Package.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/PackageParts.h"
#include "rollbook/xlsx/XlsxText.h"
#include "rollbook/xlsx/XmlSpans.h"
#include "rollbook/xlsx/ZipNames.h"

#include <algorithm>
#include <set>

namespace zelvano::xls
{

namespace
{

const char* const kContentTypes = "[Content_Types].xml";
const char* const kSharedStringsType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
const char* const kWorksheetType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

SheetKind kindOf(const std::string& relationshipKind)
{
    if (relationshipKind == "worksheet")
        return SheetKind::Worksheet;
    if (relationshipKind == "chartsheet")
        return SheetKind::Chart;
    if (relationshipKind == "xlMacrosheet" || relationshipKind == "xlIntlMacrosheet")
        return SheetKind::MacroSheet;
    return SheetKind::Other;
}

// The splices are applied from the back so earlier offsets stay valid.
std::string applied(std::string xml, std::vector<Package::Splice> splices, const std::string& part)
{
    if (!isUtf8Document(xml))
        throw XlsError("The workbook cannot be changed: its part \"" + part +
                       "\" is not written in UTF-8.");
    std::sort(splices.begin(), splices.end(),
              [](const auto& a, const auto& b) { return a.begin > b.begin; });
    for (const auto& s : splices)
        xml = spliced(xml, s.begin, s.end, s.text);
    return xml;
}

} // namespace

Package::Package(Bytes image) : m_zip(std::make_unique<ZipArchive>(std::move(image)))
{
    findWorkbookPart();
    readWorkbook();
}

void Package::findWorkbookPart()
{
    if (const auto rels = m_zip->read("_rels/.rels")) {
        const auto part = RelationshipsPart::parse(*rels, "_rels/.rels");
        if (const Relationship* main = part.byKind("officeDocument"))
            m_workbookPart = resolvePartName("", main->target);
    }
    if (m_workbookPart.empty() || !m_zip->contains(m_workbookPart))
        m_workbookPart = "xl/workbook.xml";
    if (!m_zip->contains(m_workbookPart))
        throw XlsError("This is not an Excel workbook: the ZIP archive holds no workbook part.");
    // The entry's own spelling, so parts found from it use the same case.
    for (const auto& name : m_zip->names())
        if (foldedName(name) == foldedName(m_workbookPart))
            m_workbookPart = name;
}

void Package::readWorkbook()
{
    const WorkbookPart workbook = WorkbookPart::parse(*m_zip->read(m_workbookPart), m_workbookPart);
    m_date1904 = workbook.date1904;
    m_mainNamespace = workbook.mainNamespace;
    m_workbookRelsPart = relationshipsPartOf(m_workbookPart);
    RelationshipsPart rels;
    if (const auto xml = m_zip->read(m_workbookRelsPart))
        rels = RelationshipsPart::parse(*xml, m_workbookRelsPart);
    for (const auto& s : workbook.sheets) {
        Sheet sheet{{s.name, SheetKind::Worksheet, s.visibility}, {}};
        if (const Relationship* r = rels.byId(s.relationshipId); r && !r->external) {
            sheet.info.kind = kindOf(relationshipKind(r->type));
            sheet.part = resolvePartName(m_workbookPart, r->target);
        }
        m_sheets.push_back(std::move(sheet));
    }
    // New relationships take the namespace of the sheets' own (transitional
    // or strict), never that of a vendor's extension part.
    m_relationshipBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    if (const Relationship* sheet = rels.byKind("worksheet"))
        m_relationshipBase = sheet->type.substr(0, sheet->type.rfind('/') + 1);
    if (const Relationship* r = rels.byKind("sharedStrings")) {
        m_sharedStringsNamed = true;
        m_sharedStringsPart = resolvePartName(m_workbookPart, r->target);
    }
    if (const Relationship* r = rels.byKind("calcChain")) {
        m_calcChainPart = resolvePartName(m_workbookPart, r->target);
        m_calcChainRelId = r->id;
    }
}

// Where a new shared-string part goes: the part a relationship names but the
// archive lacks, else "sharedStrings.xml" beside the workbook part.
std::string Package::sharedStringsTarget() const
{
    if (m_sharedStringsNamed)
        return m_sharedStringsPart;
    return resolvePartName(m_workbookPart, "sharedStrings.xml");
}

std::string Package::unusedSheetPart(const ZipArchive::Changes& taken) const
{
    for (int n = 1;; ++n) {
        const std::string part =
            resolvePartName(m_workbookPart, "worksheets/sheet" + std::to_string(n) + ".xml");
        if (!m_zip->contains(part) && !taken.put.count(part))
            return part;
    }
}

// An empty worksheet as Excel writes one, in the workbook's own namespaces.
std::string Package::newSheetXml() const
{
    std::string relationships = m_relationshipBase;
    if (!relationships.empty() && relationships.back() == '/')
        relationships.pop_back();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"" +
           escapeMarkup(m_mainNamespace) + "\" xmlns:r=\"" + escapeMarkup(relationships) +
           "\"><dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
           "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/><pageMargins left=\"0.7\" "
           "right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

std::string Package::addWorksheets(const Edit& edit, const RelationshipsPart& rels,
                                   const ContentTypesPart& types, ZipArchive::Changes& changes,
                                   std::vector<Splice>& relsSplices,
                                   std::vector<Splice>& typeSplices) const
{
    std::string workbook = *m_zip->read(m_workbookPart);
    std::set<std::string> usedIds;
    for (const auto& r : rels.items)
        usedIds.insert(r.id);
    for (const std::string& name : edit.newWorksheets) {
        const std::string part = unusedSheetPart(changes);
        std::string id;
        for (std::size_t n = rels.items.size() + 1; id.empty() || usedIds.count(id); ++n)
            id = "rId" + std::to_string(n);
        usedIds.insert(id);
        changes.put[part] = newSheetXml();
        const std::string target = part.substr(m_workbookPart.rfind('/') + 1);
        relsSplices.push_back({rels.insertAt, rels.insertAt,
                               "<" + rels.prefix + "Relationship Id=\"" + id + "\" Type=\"" +
                                   escapeMarkup(m_relationshipBase) + "worksheet\" Target=\"" +
                                   escapeMarkup(target) + "\"/>"});
        typeSplices.push_back({types.insertAt, types.insertAt,
                               "<" + types.prefix + "Override PartName=\"/" + escapeMarkup(part) +
                                   "\" ContentType=\"" + kWorksheetType + "\"/>"});
        workbook = withNewSheet(workbook, m_workbookPart, name, id);
    }
    return workbook;
}

Bytes Package::write(const Edit& edit) const
{
    ZipArchive::Changes changes;
    for (const auto& [part, bytes] : edit.parts)
        changes.put[part] = bytes;
    std::vector<Splice> relsSplices, typeSplices;
    const auto relsXml = m_zip->read(m_workbookRelsPart);
    const auto typesXml = m_zip->read(kContentTypes);
    const auto rels =
        relsXml ? RelationshipsPart::parse(*relsXml, m_workbookRelsPart) : RelationshipsPart{};
    const auto types = typesXml ? ContentTypesPart::parse(*typesXml) : ContentTypesPart{};

    if (edit.sharedStrings) {
        const std::string part = sharedStringsTarget();
        changes.put[part] = *edit.sharedStrings;
        if (!m_sharedStringsNamed && relsXml)
            relsSplices.push_back({rels.insertAt, rels.insertAt,
                                   "<" + rels.prefix + "Relationship Id=\"" + rels.unusedId() +
                                       "\" Type=\"" + escapeMarkup(m_relationshipBase) +
                                       "sharedStrings\" Target=\"sharedStrings.xml\"/>"});
        if (typesXml && !types.find(part))
            typeSplices.push_back({types.insertAt, types.insertAt,
                                   "<" + types.prefix + "Override PartName=\"/" +
                                       escapeMarkup(part) + "\" ContentType=\"" +
                                       kSharedStringsType + "\"/>"});
    }
    std::string workbook;
    if (!edit.newWorksheets.empty()) {
        if (!relsXml || !typesXml)
            throw XlsError("The workbook is damaged: it lists no parts for its sheets.",
                           XlsError::Kind::Damaged);
        workbook = addWorksheets(edit, rels, types, changes, relsSplices, typeSplices);
    }
    if (edit.dropCalcChain && hasCalcChain()) {
        changes.removed.insert(m_calcChainPart);
        if (const Relationship* r = rels.byId(m_calcChainRelId))
            relsSplices.push_back({r->begin, r->end, ""});
        if (const auto* o = types.find(m_calcChainPart))
            typeSplices.push_back({o->begin, o->end, ""});
    }
    if (!relsSplices.empty())
        changes.put[m_workbookRelsPart] = applied(*relsXml, relsSplices, m_workbookRelsPart);
    if (!typeSplices.empty())
        changes.put[kContentTypes] = applied(*typesXml, typeSplices, kContentTypes);
    if (edit.fullCalcOnLoad) {
        const std::string original = workbook.empty() ? *m_zip->read(m_workbookPart) : workbook;
        std::string changed = withFullCalcOnLoad(original, m_workbookPart);
        if (changed != original || !workbook.empty())
            changes.put[m_workbookPart] = std::move(changed);
    } else if (!workbook.empty()) {
        changes.put[m_workbookPart] = std::move(workbook);
    }
    return m_zip->write(changes);
}

} // namespace zelvano::xls
