#pragma once

#include "rollbook/biff/BiffRecords.h"
#include "rollbook/biff/BiffText.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace zelvano::xls
{

// The workbook's shared-string table (SST). Read whole at open; written back
// only when a new string was added, so a workbook whose texts did not change
// keeps its table byte for byte.
class SharedStrings
{
public:
    SharedStrings() = default;

    // `records`: the SST record followed by its CONTINUE records. The unique
    // count in the header is not trusted: strings are read until the data ends.
    static SharedStrings parse(const Bytes& stream, const std::vector<RecordPos>& records);

    std::size_t size() const { return m_strings.size(); }
    const std::u16string& text(std::size_t index) const { return m_strings[index].text; }

    // Index of an identical string, adding it when there is none.
    std::uint32_t findOrAdd(const std::u16string& text);
    bool changed() const { return m_changed; }

    // SST + CONTINUE records followed by EXTSST, for a table starting at
    // stream position `streamPos`. `extSst` receives the EXTSST record.
    void serialize(std::uint32_t streamPos, Bytes& sst, Bytes& extSst) const;

private:
    std::vector<RichString> m_strings;
    std::unordered_map<std::u16string, std::uint32_t> m_lookup;
    bool m_lookupBuilt = false;
    bool m_changed = false;
    std::uint32_t m_totalRefs = 0;
};

} // namespace zelvano::xls
