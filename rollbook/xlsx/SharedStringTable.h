#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelvano::xls
{

// The workbook's shared-string part (xl/sharedStrings.xml): the texts that
// cells of type "s" point at, and the entries a write appends.
class SharedStringTable
{
public:
    // Throws XlsError(Kind::Damaged) when the part is not well-formed XML.
    static SharedStringTable parse(std::string_view sstXml);

    std::size_t size() const { return m_texts.size(); }
    // Runs joined, phonetic runs left out, "_xHHHH_" escapes decoded.
    const std::string& text(std::size_t i) const { return m_texts[i]; }

    // The index of a plain entry (no runs) holding exactly this text, or of a
    // new entry appended for it.
    std::size_t indexFor(std::string_view text);
    // An entry was appended.
    bool changed() const { return m_originalSize != m_texts.size(); }

    // The part as it must be written: `originalXml` (what parse() read)
    // with the appended entries spliced in before the end of <sst> and its
    // count and uniqueCount brought up to date in place. Throws XlsError
    // when the part is not in UTF-8 and entries were appended.
    std::string serialize(std::string_view originalXml) const;

    // A minimal part for a workbook that had none, in the given namespace.
    static std::string emptyPart(std::string_view mainNamespace = {});

private:
    std::vector<std::string> m_texts;
    std::vector<bool> m_plain; // entry is a single <t>, no runs
    std::unordered_map<std::string, std::size_t> m_plainIndex;
    bool m_indexed = false;
    std::size_t m_originalSize = 0;

    // Where the root lies in the original bytes.
    std::string m_prefix; // "x:" or ""
    std::size_t m_rootBegin = 0;
    std::size_t m_rootTagEnd = 0;
    std::size_t m_rootCloseBegin = 0; // "</sst>", or m_rootTagEnd for "<sst/>"
    std::size_t m_rootEnd = 0;
    long long m_count = -1; // the count attribute, -1 when absent

    friend class SstReader;
};

} // namespace zelvano::xls
