#include "rollbook/xlsx/PackageXml.h"

#include "rollbook/XlsError.h"

#include <expat.h>

#include <memory>

namespace zelvano::xls
{

namespace
{

constexpr char kSeparator = '\x1f';

struct Collector {
    XML_Parser parser = nullptr;
    std::vector<XmlElement> elements;
    std::vector<std::size_t> open;
    bool doctype = false;
};

void splitName(const char* raw, std::string& ns, std::string& local)
{
    const std::string_view name(raw);
    const auto cut = name.find(kSeparator);
    if (cut == std::string_view::npos) {
        ns.clear();
        local = name;
    } else {
        ns = name.substr(0, cut);
        local = name.substr(cut + 1);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* c = static_cast<Collector*>(data);
    XmlElement e;
    splitName(name, e.ns, e.name);
    for (const XML_Char** a = attributes; *a; a += 2) {
        std::string ns, local;
        splitName(a[0], ns, local);
        e.attributes[local] = a[1];
    }
    e.depth = static_cast<int>(c->open.size());
    e.begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(c->parser));
    e.startEnd = e.begin + static_cast<std::size_t>(XML_GetCurrentByteCount(c->parser));
    c->open.push_back(c->elements.size());
    c->elements.push_back(std::move(e));
}

// Expat reports an empty-element tag's end with a byte count of 0: the
// element ends where its start tag ends.
void XMLCALL onEnd(void* data, const XML_Char*)
{
    auto* c = static_cast<Collector*>(data);
    XmlElement& e = c->elements[c->open.back()];
    c->open.pop_back();
    const int count = XML_GetCurrentByteCount(c->parser);
    if (count == 0) {
        e.closeBegin = e.end = e.startEnd;
    } else {
        e.closeBegin = static_cast<std::size_t>(XML_GetCurrentByteIndex(c->parser));
        e.end = e.closeBegin + static_cast<std::size_t>(count);
    }
}

// Package parts never declare a document type; refusing one keeps entity
// expansion out of reach.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    auto* c = static_cast<Collector*>(data);
    c->doctype = true;
    XML_StopParser(c->parser, XML_FALSE);
}

} // namespace

std::string XmlElement::attribute(const std::string& local) const
{
    const auto it = attributes.find(local);
    return it == attributes.end() ? std::string() : it->second;
}

std::vector<XmlElement> parseXmlElements(std::string_view xml, const std::string& part)
{
    Collector c;
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(
        XML_ParserCreateNS(nullptr, kSeparator), XML_ParserFree);
    if (!parser)
        throw XlsError("Out of memory while reading the workbook.");
    c.parser = parser.get();
    XML_SetUserData(c.parser, &c);
    XML_SetElementHandler(c.parser, onStart, onEnd);
    XML_SetStartDoctypeDeclHandler(c.parser, onDoctype);
    const bool ok =
        XML_Parse(c.parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    if (c.doctype)
        throw XlsError("The workbook is damaged: the part \"" + part +
                           "\" declares a document type.",
                       XlsError::Kind::Damaged);
    if (!ok || c.elements.empty())
        throw XlsError("The workbook is damaged: the part \"" + part + "\" is not readable XML (" +
                           XML_ErrorString(XML_GetErrorCode(c.parser)) + ", line " +
                           std::to_string(XML_GetCurrentLineNumber(c.parser)) + ").",
                       XlsError::Kind::Damaged);
    return std::move(c.elements);
}

std::string prefixOf(std::string_view xml, const XmlElement& element)
{
    const std::string_view tag = xml.substr(element.begin + 1, element.startEnd - element.begin);
    const auto nameEnd = tag.find_first_of(" \t\r\n/>");
    const auto colon = tag.substr(0, nameEnd).find(':');
    return colon == std::string_view::npos ? std::string() : std::string(tag.substr(0, colon + 1));
}

} // namespace zelvano::xls
