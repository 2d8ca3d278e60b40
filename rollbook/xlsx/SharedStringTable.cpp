#include "rollbook/xlsx/SharedStringTable.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XlsxText.h"
#include "rollbook/xlsx/XmlSpans.h"

#include <charconv>

namespace zelvano::xls
{

// Collects the entries: <si> holds either one <t> or runs <r><t>, and
// phonetic runs <rPh> whose text is not part of what Excel shows.
class SstReader : public XmlHandler
{
public:
    explicit SstReader(SharedStringTable& table) : m_table(table) {}

    void start(const XmlStart& e) override
    {
        ++m_depth;
        if (m_depth == 1)
            root(e);
        if (!isMainNamespace(e.uri))
            return;
        if (m_depth == 2 && e.local == "si") {
            m_text.clear();
            m_runs = false;
        } else if (m_depth == 3 && e.local == "r") {
            m_runs = true;
        } else if (m_depth == 3 && e.local == "rPh") {
            m_phonetic = true;
        } else if (e.local == "t" && !m_phonetic && (m_depth == 3 || m_depth == 4)) {
            m_inText = true;
        }
    }

    void end(const XmlEnd& e) override
    {
        if (m_depth == 1) {
            m_table.m_rootCloseBegin = e.closeBegin;
            m_table.m_rootEnd = e.end;
        } else if (m_depth == 2 && e.local == "si") {
            m_table.m_texts.push_back(decodeEscapes(m_text));
            m_table.m_plain.push_back(!m_runs);
        } else if (m_depth == 3 && e.local == "rPh") {
            m_phonetic = false;
        }
        m_inText = false;
        --m_depth;
    }

    void text(std::string_view utf8) override
    {
        if (m_inText)
            m_text += utf8;
    }

private:
    void root(const XmlStart& e)
    {
        if (e.local != "sst" || !isMainNamespace(e.uri))
            throw XlsError("The shared-string part holds no shared-string table.",
                           XlsError::Kind::Damaged);
        m_table.m_prefix = e.prefix.empty() ? std::string() : std::string(e.prefix) + ":";
        m_table.m_rootBegin = e.begin;
        m_table.m_rootTagEnd = e.tagEnd;
        if (const char* count = e.attribute("count")) {
            const std::string_view v(count);
            long long n = 0;
            if (std::from_chars(v.data(), v.data() + v.size(), n).ec == std::errc())
                m_table.m_count = n;
        }
    }

    SharedStringTable& m_table;
    int m_depth = 0;
    std::string m_text;
    bool m_runs = false;
    bool m_phonetic = false;
    bool m_inText = false;
};

SharedStringTable SharedStringTable::parse(std::string_view sstXml)
{
    SharedStringTable table;
    SstReader reader(table);
    parseXml(sstXml, reader, "The shared-string table");
    table.m_originalSize = table.m_texts.size();
    return table;
}

std::size_t SharedStringTable::indexFor(std::string_view text)
{
    if (!m_indexed) {
        for (std::size_t i = 0; i < m_texts.size(); ++i) {
            if (m_plain[i])
                m_plainIndex.emplace(m_texts[i], i);
        }
        m_indexed = true;
    }
    const auto found = m_plainIndex.find(std::string(text));
    if (found != m_plainIndex.end())
        return found->second;
    m_texts.emplace_back(text);
    m_plain.push_back(true);
    m_plainIndex.emplace(m_texts.back(), m_texts.size() - 1);
    return m_texts.size() - 1;
}

namespace
{

// The start tag with count and uniqueCount set to the new figures (only
// where the original has them).
std::string updatedRootTag(std::string_view tag, long long count, std::size_t unique)
{
    std::string out;
    std::size_t at = 0;
    for (const auto& a : rawAttributes(tag)) {
        std::string value;
        if (a.name == "count" && count >= 0)
            value = std::to_string(count);
        else if (a.name == "uniqueCount")
            value = std::to_string(unique);
        else
            continue;
        out.append(tag.substr(at, a.valueBegin - at));
        out += value;
        at = a.valueEnd;
    }
    out.append(tag.substr(at));
    return out;
}

} // namespace

std::string SharedStringTable::serialize(std::string_view originalXml) const
{
    if (!changed())
        return std::string(originalXml);
    if (!isUtf8Document(originalXml))
        throw XlsError("The shared-string table is not in UTF-8, so no text can be added to it.");
    const std::size_t added = m_texts.size() - m_originalSize;
    const long long count = m_count < 0 ? -1 : m_count + static_cast<long long>(added);
    std::string entries;
    for (std::size_t i = m_originalSize; i < m_texts.size(); ++i) {
        const bool preserve = needsSpacePreserve(m_texts[i]);
        entries += "<" + m_prefix + "si><" + m_prefix + "t" +
                   (preserve ? " xml:space=\"preserve\">" : ">") + encodeForXml(m_texts[i]) + "</" +
                   m_prefix + "t></" + m_prefix + "si>";
    }
    const std::string_view tag = originalXml.substr(m_rootBegin, m_rootTagEnd - m_rootBegin);
    std::string out(originalXml.substr(0, m_rootBegin));
    if (m_rootCloseBegin == m_rootTagEnd) { // <sst .../>
        out += updatedRootTag(openingTag(tag), count, m_texts.size());
        out += entries;
        out += "</" + std::string(rawTagName(tag)) + ">";
    } else {
        out += updatedRootTag(tag, count, m_texts.size());
        out.append(originalXml.substr(m_rootTagEnd, m_rootCloseBegin - m_rootTagEnd));
        out += entries;
        out.append(originalXml.substr(m_rootCloseBegin, m_rootEnd - m_rootCloseBegin));
    }
    out.append(originalXml.substr(m_rootEnd));
    return out;
}

std::string SharedStringTable::emptyPart(std::string_view mainNamespace)
{
    const std::string_view ns = mainNamespace.empty() ? kMainNamespace : mainNamespace;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"" +
           std::string(ns) + "\" count=\"0\" uniqueCount=\"0\"/>";
}

} // namespace zelvano::xls
