#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// The SpreadsheetML namespaces a part may use: transitional (what Excel
// writes by default) and strict. Elements are matched by local name in
// either, or with no namespace at all.
inline constexpr std::string_view kMainNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kStrictMainNamespace =
    "http://purl.oclc.org/ooxml/spreadsheetml/main";
bool isMainNamespace(std::string_view uri);

// One element's start tag as expat reports it, with where it lies in the
// document's bytes, so a writer can splice new bytes into the original.
struct XmlStart {
    std::string_view uri;    // namespace, empty for none
    std::string_view local;  // local name
    std::string_view prefix; // as written, empty for the default namespace
    const char** attributes; // expat's list: name as written, value, ..., null
                             // (namespace declarations included)
    std::size_t begin;       // offset of '<'
    std::size_t tagEnd;      // offset just past the start tag's '>'

    // The value of an attribute without a prefix ("r", "t", "ref").
    const char* attribute(std::string_view name) const;
    // The value of an attribute in the XML namespace ("space").
    const char* xmlAttribute(std::string_view localName) const;
};

struct XmlEnd {
    std::string_view local;
    std::size_t closeBegin; // offset of "</", or the start tag's end for "<x/>"
    std::size_t end;        // offset just past the element
};

class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    virtual void start(const XmlStart& element) = 0;
    virtual void end(const XmlEnd& element) = 0;
    virtual void text(std::string_view utf8) = 0;
};

// Runs expat over the whole document, each element's namespace found from
// the declarations in scope. A document that is not well-formed, uses a
// prefix it never declared, or declares a DOCTYPE (no OOXML part does, and
// entity declarations could blow up), throws XlsError(Kind::Damaged)
// naming `part`. Exceptions from the handler pass through.
void parseXml(std::string_view xml, XmlHandler& handler, const std::string& part);

// Fills `into` with up to `room` bytes of a document; fewer only at its end.
using ReadSome = std::function<std::size_t(char* into, std::size_t room)>;
// The same over a document read piece by piece (a part being inflated),
// never held whole; offsets count from the document's start. Returns
// whether the document is in UTF-8 (isUtf8Document).
bool parseXml(const ReadSome& read, XmlHandler& handler, const std::string& part);

// Whether new UTF-8 bytes can be spliced into the document: it is in UTF-8
// (no UTF-16 byte-order mark, no other declared encoding).
bool isUtf8Document(std::string_view xml);

// An attribute as written in a start tag that expat already accepted.
struct RawAttribute {
    std::string_view name;  // qualified name as written
    std::size_t begin;      // offset in the tag of the whitespace before the name
    std::size_t end;        // offset in the tag just past the closing quote
    std::size_t valueBegin; // offset in the tag of the value (inside the quotes)
    std::size_t valueEnd;
};
// The attributes of a well-formed start tag ("<x a='1' b=\"2\"/>"), in order.
std::vector<RawAttribute> rawAttributes(std::string_view startTag);
// The element name as written ("x:c"), from a well-formed start tag.
std::string_view rawTagName(std::string_view startTag);
// The start tag of a well-formed empty element "<x .../>" as an opening
// tag "<x ...>".
std::string openingTag(std::string_view startTag);

} // namespace zelvano::xls
