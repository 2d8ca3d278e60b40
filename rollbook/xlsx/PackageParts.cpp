#include "rollbook/xlsx/PackageParts.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XlsxText.h"
#include "rollbook/xlsx/XmlSpans.h"
#include "rollbook/xlsx/ZipNames.h"

#include <algorithm>
#include <cstdlib>

namespace zelvano::xls
{

namespace
{

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

const XmlElement* rootOf(const std::vector<XmlElement>& elements)
{
    return elements.empty() ? nullptr : &elements.front();
}

} // namespace

std::string resolvePartName(std::string_view sourcePart, std::string_view target)
{
    std::string path = percentDecoded(target);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    if (const auto cut = path.find_first_of("?#"); cut != std::string::npos)
        path.resize(cut);
    std::string joined;
    if (!path.empty() && path.front() == '/') {
        joined = path;
    } else {
        const auto slash = sourcePart.rfind('/');
        joined =
            std::string(slash == std::string_view::npos ? "" : sourcePart.substr(0, slash + 1)) +
            path;
    }
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= joined.size()) {
        auto end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string step = joined.substr(start, end - start);
        if (step == "..") {
            if (steps.empty())
                return {};
            steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& step : steps)
        out += (out.empty() ? "" : "/") + step;
    return out;
}

std::string relationshipsPartOf(std::string_view part)
{
    const auto slash = part.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

std::string relationshipKind(std::string_view type)
{
    const auto slash = type.rfind('/');
    return std::string(slash == std::string_view::npos ? type : type.substr(slash + 1));
}

RelationshipsPart RelationshipsPart::parse(std::string_view xml, const std::string& part)
{
    const auto elements = parseXmlElements(xml, part);
    RelationshipsPart out;
    const XmlElement* root = rootOf(elements);
    if (root->name != "Relationships")
        throw XlsError("The workbook is damaged: the part \"" + part +
                           "\" does not hold relationships.",
                       XlsError::Kind::Damaged);
    out.insertAt = root->closeBegin;
    out.prefix = prefixOf(xml, *root);
    for (const auto& e : elements) {
        if (e.depth != 1 || e.name != "Relationship")
            continue;
        out.items.push_back({e.attribute("Id"), e.attribute("Type"), e.attribute("Target"),
                             e.attribute("TargetMode") == "External", e.begin, e.end});
    }
    return out;
}

const Relationship* RelationshipsPart::byId(std::string_view id) const
{
    for (const auto& r : items)
        if (r.id == id)
            return &r;
    return nullptr;
}

const Relationship* RelationshipsPart::byKind(std::string_view kind) const
{
    for (const auto& r : items)
        if (!r.external && relationshipKind(r.type) == kind)
            return &r;
    return nullptr;
}

std::string RelationshipsPart::unusedId() const
{
    for (std::size_t n = items.size() + 1;; ++n)
        if (!byId("rId" + std::to_string(n)))
            return "rId" + std::to_string(n);
}

ContentTypesPart ContentTypesPart::parse(std::string_view xml)
{
    const auto elements = parseXmlElements(xml, "[Content_Types].xml");
    ContentTypesPart out;
    const XmlElement* root = rootOf(elements);
    out.insertAt = root->closeBegin;
    out.prefix = prefixOf(xml, *root);
    for (const auto& e : elements) {
        if (e.depth != 1 || e.name != "Override")
            continue;
        std::string part = e.attribute("PartName");
        if (!part.empty() && part.front() == '/')
            part.erase(0, 1);
        out.overrides.push_back({part, e.begin, e.end});
    }
    return out;
}

const ContentTypesPart::Override* ContentTypesPart::find(std::string_view part) const
{
    for (const auto& o : overrides)
        if (foldedName(o.part) == foldedName(part))
            return &o;
    return nullptr;
}

WorkbookPart WorkbookPart::parse(std::string_view xml, const std::string& part)
{
    const auto elements = parseXmlElements(xml, part);
    if (rootOf(elements)->name != "workbook")
        throw XlsError("This is not an Excel workbook: its main part is not a workbook.");
    WorkbookPart out;
    out.mainNamespace = rootOf(elements)->ns;
    for (const auto& e : elements) {
        if (e.depth == 1 && e.name == "workbookPr") {
            const std::string flag = e.attribute("date1904");
            out.date1904 = flag == "1" || flag == "true";
        } else if (e.depth == 2 && e.name == "sheet") {
            const std::string state = e.attribute("state");
            out.sheets.push_back({e.attribute("name"), e.attribute("id"),
                                  state == "hidden"       ? SheetVisibility::Hidden
                                  : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                          : SheetVisibility::Visible});
        }
    }
    return out;
}

std::string withFullCalcOnLoad(std::string_view xml, const std::string& part)
{
    const auto elements = parseXmlElements(xml, part);
    if (!isUtf8Document(xml))
        throw XlsError("The workbook cannot be changed: its part \"" + part +
                       "\" is not written in UTF-8.");
    const XmlElement* before = nullptr;
    for (const auto& e : elements) {
        if (e.depth != 1)
            continue;
        if (e.name == "calcPr") {
            const std::string flag = e.attribute("fullCalcOnLoad");
            if (flag == "1" || flag == "true")
                return std::string(xml);
            const std::string_view tag = xml.substr(e.begin, e.startEnd - e.begin);
            for (const auto& a : rawAttributes(tag))
                if (a.name == "fullCalcOnLoad")
                    return spliced(xml, e.begin + a.valueBegin, e.begin + a.valueEnd, "1");
            const std::size_t nameEnd = e.begin + 1 + rawTagName(tag).size();
            return spliced(xml, nameEnd, nameEnd, " fullCalcOnLoad=\"1\"");
        }
        if (e.name == "sheets" || e.name == "functionGroups" || e.name == "externalReferences" ||
            e.name == "definedNames")
            before = &e;
    }
    if (!before)
        throw XlsError("The workbook is damaged: the part \"" + part + "\" lists no sheets.",
                       XlsError::Kind::Damaged);
    return spliced(xml, before->end, before->end,
                   "<" + prefixOf(xml, *before) + "calcPr fullCalcOnLoad=\"1\"/>");
}

std::string withNewSheet(std::string_view xml, const std::string& part, std::string_view utf8Name,
                         std::string_view relationshipId)
{
    const auto elements = parseXmlElements(xml, part);
    if (!isUtf8Document(xml))
        throw XlsError("The workbook cannot be changed: its part \"" + part +
                       "\" is not written in UTF-8.");
    const XmlElement* last = nullptr;
    unsigned long highestId = 0;
    for (const auto& e : elements) {
        if (e.depth != 2 || e.name != "sheet")
            continue;
        last = &e;
        highestId = std::max(highestId, std::strtoul(e.attribute("sheetId").c_str(), nullptr, 10));
    }
    if (!last)
        throw XlsError("The workbook is damaged: the part \"" + part + "\" lists no sheets.",
                       XlsError::Kind::Damaged);
    // The relationship attribute as the last sheet spells it ("r:id").
    const std::string_view tag = xml.substr(last->begin, last->startEnd - last->begin);
    // and the prefix's declaration when the sheet carries it itself.
    const auto attributes = rawAttributes(tag);
    std::string idAttribute, declaration;
    for (const auto& a : attributes)
        if (a.name.size() > 3 && a.name.substr(a.name.size() - 3) == ":id")
            idAttribute = std::string(a.name);
    if (idAttribute.empty())
        throw XlsError("The workbook cannot be changed: its sheets name no relationships.");
    const std::string declared = "xmlns:" + idAttribute.substr(0, idAttribute.size() - 3);
    for (const auto& a : attributes)
        if (a.name == declared)
            declaration = std::string(tag.substr(a.begin, a.end - a.begin));
    const std::string element = "<" + std::string(rawTagName(tag)) + declaration + " name=\"" +
                                escapeMarkup(utf8Name) + "\" sheetId=\"" +
                                std::to_string(highestId + 1) + "\" " + idAttribute + "=\"" +
                                std::string(relationshipId) + "\"/>";
    return spliced(xml, last->end, last->end, element);
}

std::string spliced(std::string_view xml, std::size_t begin, std::size_t end, std::string_view text)
{
    std::string out;
    out.reserve(xml.size() + text.size());
    out.append(xml.substr(0, begin));
    out.append(text);
    out.append(xml.substr(end));
    return out;
}

} // namespace zelvano::xls
