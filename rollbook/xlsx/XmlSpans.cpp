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

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::size_t kPiece = 64 * 1024;

struct ParserDeleter {
    void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

// A namespace declaration in scope: `prefix` ("" for the default namespace)
// stands for `uri` inside the element at `depth`.
struct Binding {
    std::string prefix;
    std::string uri;
    int depth;
};

// Expat reads the names as written ("x:row"); the few namespaces a part
// declares are looked up here, which costs far less than expat spelling out
// every name with its namespace.
struct Session {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    std::exception_ptr failure;
    bool doctype = false;
    int depth = 0;
    std::vector<Binding> bindings{{"xml", std::string(kXmlNamespace), 0}};
    int defaultBinding = -1; // index of the innermost default namespace
};

void stopWith(Session& s, std::exception_ptr e)
{
    if (!s.failure)
        s.failure = std::move(e);
    XML_StopParser(s.parser, XML_FALSE);
}

// "x" and "row" of "x:row"; no prefix for "row". One look at each byte.
void splitQualified(const char* name, std::string_view& prefix, std::string_view& local)
{
    const char* colon = nullptr;
    const char* at = name;
    for (; *at; ++at)
        if (*at == ':' && !colon)
            colon = at;
    if (!colon) {
        prefix = {};
        local = std::string_view(name, static_cast<std::size_t>(at - name));
        return;
    }
    prefix = std::string_view(name, static_cast<std::size_t>(colon - name));
    local = std::string_view(colon + 1, static_cast<std::size_t>(at - colon - 1));
}

// `written` (NUL-terminated) is exactly `name`.
bool sameName(const char* written, std::string_view name)
{
    for (char c : name)
        if (*written++ != c)
            return false;
    return *written == '\0';
}

// Takes the element's namespace declarations (xmlns, xmlns:p) into scope.
void declare(Session& s, const char** atts)
{
    for (const char** a = atts; a[0]; a += 2) {
        const char* name = a[0];
        if (name[0] != 'x' || std::strncmp(name, "xmlns", 5) != 0 ||
            (name[5] != '\0' && name[5] != ':'))
            continue;
        const std::string_view prefix = name[5] ? std::string_view(name + 6) : std::string_view{};
        if (prefix.empty())
            s.defaultBinding = static_cast<int>(s.bindings.size());
        s.bindings.push_back({std::string(prefix), a[1], s.depth});
    }
}

// The namespace a prefix stands for; nothing for a prefix never declared.
const std::string* resolve(const Session& s, std::string_view prefix)
{
    if (prefix.empty())
        return s.defaultBinding < 0 ? nullptr : &s.bindings[std::size_t(s.defaultBinding)].uri;
    for (auto it = s.bindings.rbegin(); it != s.bindings.rend(); ++it)
        if (it->prefix == prefix)
            return &it->uri;
    return nullptr;
}

// Lets go of the declarations of the element that ends.
void leaveScope(Session& s)
{
    bool defaultGone = false;
    while (s.bindings.back().depth == s.depth) {
        defaultGone = defaultGone || s.bindings.back().prefix.empty();
        s.bindings.pop_back();
    }
    if (defaultGone) {
        s.defaultBinding = -1;
        for (std::size_t i = s.bindings.size(); i-- > 0;)
            if (s.bindings[i].prefix.empty()) {
                s.defaultBinding = static_cast<int>(i);
                break;
            }
    }
    --s.depth;
}

XlsError unboundPrefix(const Session& s, const std::string& part)
{
    return XlsError(part + " is damaged: unbound prefix at line " +
                        std::to_string(XML_GetCurrentLineNumber(s.parser)) + ".",
                    XlsError::Kind::Damaged);
}

struct SessionPart {
    Session* session;
    const std::string* part;
};

void XMLCALL onStart(void* data, const char* name, const char** atts)
{
    const SessionPart& sp = *static_cast<SessionPart*>(data);
    Session& s = *sp.session;
    if (s.failure)
        return;
    ++s.depth;
    declare(s, atts);
    XmlStart e{};
    splitQualified(name, e.prefix, e.local);
    if (const std::string* uri = resolve(s, e.prefix))
        e.uri = *uri;
    else if (!e.prefix.empty())
        return stopWith(s, std::make_exception_ptr(unboundPrefix(s, *sp.part)));
    e.attributes = atts;
    e.begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(s.parser));
    e.tagEnd = e.begin + static_cast<std::size_t>(XML_GetCurrentByteCount(s.parser));
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
    Session& s = *static_cast<SessionPart*>(data)->session;
    if (s.failure)
        return;
    std::string_view prefix;
    XmlEnd e{};
    splitQualified(name, prefix, e.local);
    e.closeBegin = static_cast<std::size_t>(XML_GetCurrentByteIndex(s.parser));
    e.end = e.closeBegin + static_cast<std::size_t>(XML_GetCurrentByteCount(s.parser));
    try {
        s.handler->end(e);
    } catch (...) {
        stopWith(s, std::current_exception());
    }
    leaveScope(s);
}

void XMLCALL onText(void* data, const char* text, int length)
{
    Session& s = *static_cast<SessionPart*>(data)->session;
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
    Session& s = *static_cast<SessionPart*>(data)->session;
    s.doctype = true;
    XML_StopParser(s.parser, XML_FALSE);
}

// A parser for one document, its handlers set.
class Parse
{
public:
    Parse(XmlHandler& handler, const std::string& part) : m_part{&m_session, &part}
    {
        m_parser.reset(XML_ParserCreate(nullptr));
        if (!m_parser)
            throw XlsError("Out of memory reading " + part + ".");
        m_session.parser = m_parser.get();
        m_session.handler = &handler;
        XML_SetUserData(m_session.parser, &m_part);
        XML_SetElementHandler(m_session.parser, onStart, onEnd);
        XML_SetCharacterDataHandler(m_session.parser, onText);
        XML_SetStartDoctypeDeclHandler(m_session.parser, onDoctype);
    }

    XML_Parser parser() const { return m_session.parser; }

    // Throws what the handler threw, or XlsError(Kind::Damaged) for a
    // document expat refused.
    void check(XML_Status status) const
    {
        const std::string& part = *m_part.part;
        if (m_session.failure)
            std::rethrow_exception(m_session.failure);
        if (m_session.doctype)
            throw XlsError(part + " declares a document type, which a workbook part never does.",
                           XlsError::Kind::Damaged);
        if (status != XML_STATUS_OK)
            throw XlsError(
                part + " is damaged: " + XML_ErrorString(XML_GetErrorCode(m_session.parser)) +
                    " at line " + std::to_string(XML_GetCurrentLineNumber(m_session.parser)) + ".",
                XlsError::Kind::Damaged);
    }

private:
    std::unique_ptr<XML_ParserStruct, ParserDeleter> m_parser;
    Session m_session;
    SessionPart m_part;
};

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
        if (sameName(a[0], name))
            return a[1];
    }
    return nullptr;
}

const char* XmlStart::xmlAttribute(std::string_view localName) const
{
    // The prefix "xml" is bound to the XML namespace, and only it is.
    for (const char** a = attributes; a && a[0]; a += 2) {
        const std::string_view name(a[0]);
        if (name.size() == localName.size() + 4 && name.starts_with("xml:") &&
            name.ends_with(localName))
            return a[1];
    }
    return nullptr;
}

void parseXml(std::string_view xml, XmlHandler& handler, const std::string& part)
{
    if (xml.size() > static_cast<std::size_t>(INT_MAX))
        throw XlsError(part + " is too large to read.", XlsError::Kind::Damaged);
    Parse parse(handler, part);
    parse.check(XML_Parse(parse.parser(), xml.data(), static_cast<int>(xml.size()), XML_TRUE));
}

bool parseXml(const ReadSome& read, XmlHandler& handler, const std::string& part)
{
    Parse parse(handler, part);
    bool utf8 = true;
    for (bool first = true;; first = false) {
        // The bytes go straight into expat's own buffer.
        void* buffer = XML_GetBuffer(parse.parser(), static_cast<int>(kPiece));
        if (!buffer)
            throw XlsError("Out of memory reading " + part + ".");
        const std::size_t n = read(static_cast<char*>(buffer), kPiece);
        if (first)
            utf8 = isUtf8Document(std::string_view(static_cast<const char*>(buffer), n));
        parse.check(XML_ParseBuffer(parse.parser(), static_cast<int>(n), n == 0));
        if (n == 0)
            return utf8;
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
