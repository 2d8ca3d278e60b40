#include "rollbook/xlsx/XmlSpans.h"

#include "rollbook/XlsError.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <exception>
#include <memory>

namespace zelvano::xls
{

namespace
{

constexpr char kSeparator = '\x01';
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

struct Session {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    std::exception_ptr failure;
    bool doctype = false;
    std::string_view xml;
    bool prefixFromBytes = false; // a UTF-8 document: prefixes read from its tags
};

// The prefix of the start tag at `begin` as written ("x" of "<x:row ...>").
std::string_view writtenPrefix(std::string_view xml, std::size_t begin)
{
    for (std::size_t i = begin + 1; i < xml.size(); ++i) {
        const char c = xml[i];
        if (c == ':')
            return xml.substr(begin + 1, i - begin - 1);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>')
            break;
    }
    return {};
}

// Splits expat's "uri\1local\1prefix" (or a bare "local").
void splitName(const char* name, std::string_view& uri, std::string_view& local,
               std::string_view& prefix)
{
    // Nearly every element of a workbook part is in the main namespace: its
    // name is known at once and only the short rest is scanned.
    if (std::strncmp(name, kMainNamespace.data(), kMainNamespace.size()) == 0 &&
        name[kMainNamespace.size()] == kSeparator) {
        uri = kMainNamespace;
        const char* rest = name + kMainNamespace.size() + 1;
        const char* at = rest;
        while (*at && *at != kSeparator)
            ++at;
        local = std::string_view(rest, static_cast<std::size_t>(at - rest));
        prefix = *at ? std::string_view(at + 1) : std::string_view{};
        return;
    }
    const std::string_view all(name);
    const auto first = all.find(kSeparator);
    if (first == std::string_view::npos) {
        uri = {};
        local = all;
        prefix = {};
        return;
    }
    uri = all.substr(0, first);
    const auto second = all.find(kSeparator, first + 1);
    local = all.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                   : second - first - 1);
    prefix = second == std::string_view::npos ? std::string_view{} : all.substr(second + 1);
}

void stopWith(Session& s, std::exception_ptr e)
{
    if (!s.failure)
        s.failure = std::move(e);
    XML_StopParser(s.parser, XML_FALSE);
}

void XMLCALL onStart(void* data, const char* name, const char** atts)
{
    auto& s = *static_cast<Session*>(data);
    if (s.failure)
        return;
    XmlStart e{};
    splitName(name, e.uri, e.local, e.prefix);
    e.attributes = atts;
    e.begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(s.parser));
    e.tagEnd = e.begin + static_cast<std::size_t>(XML_GetCurrentByteCount(s.parser));
    if (s.prefixFromBytes)
        e.prefix = writtenPrefix(s.xml, e.begin);
    try {
        s.handler->start(e);
    } catch (...) {
        stopWith(s, std::current_exception());
    }
}

// For an empty element "<x/>" expat reports the end at the start tag's end
// with a count of zero; for "</x>" at the end tag with its length.
void XMLCALL onEnd(void* data, const char* name)
{
    auto& s = *static_cast<Session*>(data);
    if (s.failure)
        return;
    std::string_view uri, local, prefix;
    splitName(name, uri, local, prefix);
    XmlEnd e{};
    e.local = local;
    e.closeBegin = static_cast<std::size_t>(XML_GetCurrentByteIndex(s.parser));
    e.end = e.closeBegin + static_cast<std::size_t>(XML_GetCurrentByteCount(s.parser));
    try {
        s.handler->end(e);
    } catch (...) {
        stopWith(s, std::current_exception());
    }
}

void XMLCALL onText(void* data, const char* text, int length)
{
    auto& s = *static_cast<Session*>(data);
    if (s.failure)
        return;
    try {
        s.handler->text(std::string_view(text, static_cast<std::size_t>(length)));
    } catch (...) {
        stopWith(s, std::current_exception());
    }
}

void XMLCALL onDoctype(void* data, const char*, const char*, const char*, int)
{
    auto& s = *static_cast<Session*>(data);
    s.doctype = true;
    XML_StopParser(s.parser, XML_FALSE);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool isMainNamespace(std::string_view uri)
{
    return uri.empty() || uri == kMainNamespace || uri == kStrictMainNamespace;
}

const char* XmlStart::attribute(std::string_view name) const
{
    for (const char** a = attributes; a && a[0]; a += 2) {
        if (name == a[0])
            return a[1];
    }
    return nullptr;
}

const char* XmlStart::xmlAttribute(std::string_view local) const
{
    for (const char** a = attributes; a && a[0]; a += 2) {
        std::string_view uri, l, prefix;
        splitName(a[0], uri, l, prefix);
        if (uri == kXmlNamespace && l == local)
            return a[1];
    }
    return nullptr;
}

void parseXml(std::string_view xml, XmlHandler& handler, const std::string& part)
{
    if (xml.size() > static_cast<std::size_t>(INT_MAX))
        throw XlsError(part + " is too large to read.", XlsError::Kind::Damaged);
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(
        XML_ParserCreateNS(nullptr, kSeparator));
    if (!parser)
        throw XlsError("Out of memory reading " + part + ".");
    Session s;
    s.parser = parser.get();
    s.handler = &handler;
    XML_SetUserData(s.parser, &s);
    // Expat spelling out every name with its prefix costs a third of its
    // time; in a UTF-8 document the few prefixes wanted are read from the
    // tag's own bytes instead.
    s.xml = xml;
    s.prefixFromBytes = isUtf8Document(xml);
    XML_SetReturnNSTriplet(s.parser, s.prefixFromBytes ? 0 : 1);
    XML_SetElementHandler(s.parser, onStart, onEnd);
    XML_SetCharacterDataHandler(s.parser, onText);
    XML_SetStartDoctypeDeclHandler(s.parser, onDoctype);
    const auto status = XML_Parse(s.parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    if (s.failure)
        std::rethrow_exception(s.failure);
    if (s.doctype)
        throw XlsError(part + " declares a document type, which a workbook part never does.",
                       XlsError::Kind::Damaged);
    if (status != XML_STATUS_OK) {
        throw XlsError(part + " is damaged: " + XML_ErrorString(XML_GetErrorCode(s.parser)) +
                           " at line " + std::to_string(XML_GetCurrentLineNumber(s.parser)) + ".",
                       XlsError::Kind::Damaged);
    }
}

bool isUtf8Document(std::string_view xml)
{
    if (xml.size() >= 2 &&
        ((xml[0] == '\xFE' && xml[1] == '\xFF') || (xml[0] == '\xFF' && xml[1] == '\xFE')))
        return false;
    if (xml.substr(0, 3) == "\xEF\xBB\xBF")
        xml.remove_prefix(3);
    if (xml.substr(0, 5) != "<?xml")
        return true;
    const auto declEnd = xml.find("?>");
    const std::string_view decl = xml.substr(0, declEnd);
    const auto at = decl.find("encoding");
    if (at == std::string_view::npos)
        return true;
    const auto quote = decl.find_first_of("'\"", at);
    if (quote == std::string_view::npos)
        return false;
    const auto close = decl.find(decl[quote], quote + 1);
    std::string name(decl.substr(quote + 1, close - quote - 1));
    for (auto& c : name)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return name == "UTF-8" || name == "UTF8" || name == "US-ASCII" || name == "ASCII";
}

std::vector<RawAttribute> rawAttributes(std::string_view tag)
{
    std::vector<RawAttribute> out;
    std::size_t i = 1 + rawTagName(tag).size();
    while (i < tag.size()) {
        const std::size_t begin = i;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] == '/' || tag[i] == '>')
            break;
        const std::size_t nameBegin = i;
        while (i < tag.size() && tag[i] != '=' && !isSpace(tag[i]))
            ++i;
        RawAttribute a{tag.substr(nameBegin, i - nameBegin), begin, 0, 0, 0};
        while (i < tag.size() && tag[i] != '\'' && tag[i] != '"')
            ++i;
        if (i >= tag.size())
            break;
        const char quote = tag[i];
        a.valueBegin = ++i;
        while (i < tag.size() && tag[i] != quote)
            ++i;
        a.valueEnd = i;
        a.end = i < tag.size() ? ++i : i;
        out.push_back(a);
    }
    return out;
}

std::string_view rawTagName(std::string_view tag)
{
    std::size_t i = 1;
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '/' && tag[i] != '>')
        ++i;
    return tag.substr(1, i - 1);
}

std::string openingTag(std::string_view tag)
{
    std::size_t end = tag.size();
    if (end >= 2 && tag.substr(end - 2) == "/>")
        end -= 2;
    else if (end >= 1 && tag[end - 1] == '>')
        end -= 1;
    while (end > 0 && isSpace(tag[end - 1]))
        --end;
    return std::string(tag.substr(0, end)) + ">";
}

} // namespace zelvano::xls
