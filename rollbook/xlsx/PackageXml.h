#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// One element of a small package part (relationships, content types, the
// workbook part) with where its bytes lie, so a change can be spliced into
// the original bytes instead of writing the part anew.
struct XmlElement {
    std::string ns;                                // namespace URI, empty for none
    std::string name;                              // local name, whatever prefix the file used
    std::map<std::string, std::string> attributes; // by local name
    int depth = 0;                                 // 0 for the root
    std::size_t begin = 0;                         // the start tag's '<'
    std::size_t startEnd = 0;                      // just past the start tag's '>'
    std::size_t end = 0;                           // just past the element
    std::size_t closeBegin = 0; // the end tag's '<'; startEnd for an empty-element tag

    std::string attribute(const std::string& local) const;
};

// Every element in document order. Throws XlsError (Kind::Damaged) naming
// `part` when the bytes are not well-formed XML or declare a document type.
std::vector<XmlElement> parseXmlElements(std::string_view xml, const std::string& part);

// The prefix an element's start tag uses ("x:" for <x:sheets>), so a new
// element can be written in the same form.
std::string prefixOf(std::string_view xml, const XmlElement& element);

} // namespace zelvano::xls
