#include "rollbook/xlsx/PackageXml.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XmlSpans.h"

namespace zelvano::xls
{

namespace
{

// An attribute's local name ("id" of "r:id").
std::string_view localName(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool declaresNamespace(std::string_view name)
{
    return name == "xmlns" || name.starts_with("xmlns:");
}

class Collector : public XmlHandler
{
public:
    std::vector<XmlElement> elements;

    void start(const XmlStart& s) override
    {
        XmlElement e;
        e.ns = s.uri;
        e.name = s.local;
        for (const char** a = s.attributes; a && a[0]; a += 2)
            if (!declaresNamespace(a[0]))
                e.attributes[std::string(localName(a[0]))] = a[1];
        e.depth = static_cast<int>(m_open.size());
        e.begin = s.begin;
        e.startEnd = s.tagEnd;
        m_open.push_back(elements.size());
        elements.push_back(std::move(e));
    }
    void end(const XmlEnd& s) override
    {
        XmlElement& e = elements[m_open.back()];
        m_open.pop_back();
        e.closeBegin = s.closeBegin;
        e.end = s.end;
    }
    void text(std::string_view) override {}

private:
    std::vector<std::size_t> m_open;
};

} // namespace

std::string XmlElement::attribute(const std::string& local) const
{
    const auto it = attributes.find(local);
    return it == attributes.end() ? std::string() : it->second;
}

std::vector<XmlElement> parseXmlElements(std::string_view xml, const std::string& part)
{
    Collector c;
    parseXml(xml, c, part);
    if (c.elements.empty())
        throw XlsError("The workbook is damaged: the part \"" + part + "\" is empty.",
                       XlsError::Kind::Damaged);
    return std::move(c.elements);
}

std::string prefixOf(std::string_view xml, const XmlElement& element)
{
    const std::string_view name =
        rawTagName(xml.substr(element.begin, element.startEnd - element.begin));
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

} // namespace zelvano::xls
