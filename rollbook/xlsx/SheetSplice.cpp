// Writing a changed worksheet: the original bytes with the changed cells,
// the new cells and rows and the dimension spliced in.
#include "rollbook/xlsx/SheetXml.h"
#include "rollbook/xlsx/XmlSpans.h"

#include <algorithm>

namespace zelvano::xls
{

std::string SheetXml::cellXml(const SheetRow& row, const SheetCell& cell, Content kind,
                              const std::string& payload) const
{
    const std::string& p = row.prefix;
    std::string out = "<" + p + "c r=\"" + cellRefText({row.row, cell.col}) + "\"";
    if (cell.style >= 0)
        out += " s=\"" + std::to_string(cell.style) + "\"";
    switch (kind) {
    case Content::Empty:
        return out + "/>";
    case Content::SharedString:
        out += " t=\"s\"";
        break;
    case Content::Number:
        break;
    }
    return out + "><" + p + "v>" + payload + "</" + p + "v></" + p + "c>";
}

std::string SheetXml::fReplaced(const SheetCell& cell, const std::string& newF) const
{
    std::string out = m_xml.substr(cell.begin, cell.fBegin - cell.begin);
    out += newF;
    out.append(m_xml, cell.fEnd, cell.end - cell.fEnd);
    return out;
}

// The dimension's ref grown to cover every new cell; empty when unchanged.
std::string SheetXml::dimensionSplice() const
{
    if (!m_dimension.present || !m_dimensionRange)
        return {};
    CellRange range = *m_dimensionRange;
    for (const auto& [number, row] : m_rows) {
        for (const auto& cell : row.cells) {
            if (!cell.isNew)
                continue;
            range.first.row = std::min(range.first.row, number);
            range.first.col = std::min(range.first.col, cell.col);
            range.last.row = std::max(range.last.row, number);
            range.last.col = std::max(range.last.col, cell.col);
        }
    }
    return range == *m_dimensionRange ? std::string() : rangeText(range);
}

void SheetXml::rowSplices(const SheetRow& row, std::vector<Splice>& out) const
{
    const auto edit = [&](const SheetCell& c) -> const std::string& {
        return m_edits.at({row.row, c.col});
    };
    if (row.isNew || row.end == row.tagEnd) { // a new row, or <row .../> gaining cells
        bool any = false;
        std::string cells;
        for (const auto& c : row.cells) {
            any = any || c.isNew;
            cells += edit(c);
        }
        if (!any)
            return;
        const std::string q = row.prefix + "row";
        if (row.isNew) {
            auto next = m_rows.upper_bound(row.row);
            while (next != m_rows.end() && next->second.isNew)
                ++next;
            const std::size_t at =
                next != m_rows.end() ? next->second.begin : m_sheetData.closeBegin;
            out.push_back(
                {at, at,
                 "<" + q + " r=\"" + std::to_string(row.row) + "\">" + cells + "</" + q + ">"});
        } else {
            const std::string_view tag(m_xml.data() + row.begin, row.tagEnd - row.begin);
            out.push_back({row.begin, row.end,
                           openingTag(tag) + cells + "</" + std::string(rawTagName(tag)) + ">"});
        }
        return;
    }
    for (auto it = row.cells.begin(); it != row.cells.end(); ++it) {
        if (!it->edited)
            continue;
        if (!it->isNew) {
            out.push_back({it->begin, it->end, edit(*it)});
            continue;
        }
        auto next = std::find_if(it, row.cells.end(), [](const SheetCell& c) { return !c.isNew; });
        const std::size_t at = next != row.cells.end() ? next->begin : row.closeBegin;
        out.push_back({at, at, edit(*it)});
    }
}

std::string SheetXml::serialize() const
{
    if (!m_changed)
        return m_xml;
    std::vector<Splice> splices;
    for (const auto& [number, row] : m_rows)
        rowSplices(row, splices);
    if (m_sheetData.present && m_sheetData.end == m_sheetData.tagEnd && !splices.empty()) {
        // <sheetData/>: every row is new and goes inside it.
        std::string rows;
        for (const auto& s : splices)
            rows += s.text;
        const std::string_view tag(m_xml.data() + m_sheetData.begin,
                                   m_sheetData.tagEnd - m_sheetData.begin);
        splices = {{m_sheetData.begin, m_sheetData.end,
                    openingTag(tag) + rows + "</" + std::string(rawTagName(tag)) + ">"}};
    }
    const std::string ref = dimensionSplice();
    if (!ref.empty()) {
        const std::string_view tag(m_xml.data() + m_dimension.begin,
                                   m_dimension.tagEnd - m_dimension.begin);
        for (const auto& a : rawAttributes(tag)) {
            if (a.name == "ref")
                splices.push_back(
                    {m_dimension.begin + a.valueBegin, m_dimension.begin + a.valueEnd, ref});
        }
    }
    std::stable_sort(splices.begin(), splices.end(),
                     [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    std::string out;
    out.reserve(m_xml.size() + 256);
    std::size_t at = 0;
    for (const auto& s : splices) {
        out.append(m_xml, at, s.begin - at);
        out += s.text;
        at = s.end;
    }
    out.append(m_xml, at, std::string::npos);
    return out;
}

} // namespace zelvano::xls
