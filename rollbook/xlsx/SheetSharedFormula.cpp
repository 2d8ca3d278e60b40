// Handing a shared formula on when its first cell is changed: the next cell
// of the group becomes its first cell with the formula shifted to it; cells
// of the group left of that one get a formula of their own.
#include "rollbook/XlsError.h"
#include "rollbook/xlsx/FormulaShift.h"
#include "rollbook/xlsx/SheetXml.h"
#include "rollbook/xlsx/XlsxText.h"
#include "rollbook/xlsx/XmlSpans.h"

#include <algorithm>
#include <initializer_list>

namespace zelvano::xls
{

namespace
{

// The <f> start tag without the named attributes, still open for more.
std::string fTagWithout(std::string_view tag, std::initializer_list<std::string_view> drop)
{
    std::string out = "<" + std::string(rawTagName(tag));
    for (const auto& a : rawAttributes(tag)) {
        if (std::find(drop.begin(), drop.end(), a.name) == drop.end())
            out.append(tag.substr(a.begin, a.end - a.begin));
    }
    return out;
}

std::string fElement(std::string_view tag, std::string open, const std::string& text)
{
    return open + ">" + escapeMarkup(text) + "</" + std::string(rawTagName(tag)) + ">";
}

} // namespace

std::optional<SheetXml::Handover> SheetXml::planHandover(CellPos pos) const
{
    const SheetCell* cell = cellAt(pos.row, pos.col);
    if (!cell || cell->formula != SheetCell::Formula::SharedAnchor)
        return std::nullopt;
    const auto g = m_groups.find(cell->sharedIndex);
    if (g == m_groups.end() || g->second.anchor != pos || g->second.members.empty())
        return std::nullopt;
    const SharedGroup& group = g->second;
    const auto cut = [&] {
        return XlsError("Cell " + cellRefText(pos) +
                            " holds a formula other cells share, and it cannot be handed on to "
                            "them soundly, so the cell cannot be changed.",
                        XlsError::Kind::SharedFormulaCut);
    };
    Handover h;
    h.sharedIndex = cell->sharedIndex;
    h.newAnchor = group.members.front();
    const auto text =
        shiftFormula(group.text, h.newAnchor.row - pos.row, h.newAnchor.col - pos.col);
    if (!text)
        throw cut();
    h.newText = *text;
    h.newRef = {h.newAnchor, h.newAnchor};
    for (std::size_t i = 1; i < group.members.size(); ++i) {
        const CellPos m = group.members[i];
        if (m.row >= h.newAnchor.row && m.col >= h.newAnchor.col) {
            h.staying.push_back(m);
            h.newRef.last.row = std::max(h.newRef.last.row, m.row);
            h.newRef.last.col = std::max(h.newRef.last.col, m.col);
            continue;
        }
        const auto own = shiftFormula(group.text, m.row - pos.row, m.col - pos.col);
        if (!own)
            throw cut();
        h.converted.emplace_back(m, *own);
    }
    return h;
}

void SheetXml::applyHandover(const Handover& plan)
{
    using F = SheetCell::Formula;
    SharedGroup& group = m_groups[plan.sharedIndex];
    group.anchor = plan.newAnchor;
    group.text = plan.newText;
    group.members = plan.staying;

    SheetCell& anchor = *cellAt(plan.newAnchor.row, plan.newAnchor.col);
    const std::string_view anchorTag(m_xml.data() + anchor.fBegin, anchor.fTagEnd - anchor.fBegin);
    const std::string open =
        fTagWithout(anchorTag, {"ref"}) + " ref=\"" + rangeText(plan.newRef) + "\"";
    anchor.formula = F::SharedAnchor;
    anchor.edited = true;
    m_edits[plan.newAnchor] = fReplaced(anchor, fElement(anchorTag, open, plan.newText));

    for (const auto& [pos, text] : plan.converted) {
        SheetCell& cell = *cellAt(pos.row, pos.col);
        const std::string_view tag(m_xml.data() + cell.fBegin, cell.fTagEnd - cell.fBegin);
        cell.formula = F::Normal;
        cell.sharedIndex = -1;
        cell.edited = true;
        m_edits[pos] = fReplaced(cell, fElement(tag, fTagWithout(tag, {"t", "si", "ref"}), text));
    }
}

} // namespace zelvano::xls
