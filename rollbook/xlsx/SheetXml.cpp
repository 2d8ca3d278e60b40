#include "rollbook/xlsx/SheetXml.h"

#include "rollbook/XlsError.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zelvano::xls
{

namespace
{

std::vector<SheetCell>::const_iterator findCell(const std::vector<SheetCell>& cells, int col)
{
    const auto it = std::lower_bound(cells.begin(), cells.end(), col,
                                     [](const SheetCell& c, int v) { return c.col < v; });
    return it != cells.end() && it->col == col ? it : cells.end();
}

std::string numberText(double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

} // namespace

const SheetCell* SheetXml::cellAt(int row, int col) const
{
    const auto r = m_rows.find(row);
    if (r == m_rows.end())
        return nullptr;
    const auto it = findCell(r->second.cells, col);
    return it == r->second.cells.end() ? nullptr : &*it;
}

SheetCell* SheetXml::cellAt(int row, int col)
{
    return const_cast<SheetCell*>(std::as_const(*this).cellAt(row, col));
}

const CellValue* SheetXml::find(int row, int col) const
{
    const SheetCell* cell = cellAt(row, col);
    return cell && !cell->value.isEmpty() ? &cell->value : nullptr;
}

void SheetXml::forEachCell(const std::function<void(int, int, const CellValue&)>& f) const
{
    for (const auto& [number, row] : m_rows) {
        for (const auto& cell : row.cells) {
            if (!cell.value.isEmpty())
                f(number, cell.col, cell.value);
        }
    }
}

int SheetXml::lastRow() const
{
    return m_rows.empty() ? 0 : m_rows.rbegin()->first;
}

int SheetXml::styleForNew(int row, int col) const
{
    const auto r = m_rows.find(row);
    if (r != m_rows.end() && r->second.style >= 0)
        return r->second.style;
    for (const auto& c : m_columnStyles) {
        if (col >= c.min && col <= c.max)
            return c.style;
    }
    return -1;
}

void SheetXml::checkCanChange(int row, int col) const
{
    const CellPos pos{row, col};
    if (!m_writable)
        throw XlsError("The worksheet is not stored in UTF-8, so its cells cannot be changed.");
    if (!m_sheetData.present)
        throw XlsError("The worksheet has no cell table, so its cells cannot be changed.",
                       XlsError::Kind::Damaged);
    for (const auto& range : m_arrays) {
        if (range.contains(pos))
            throw XlsError("Cell " + cellRefText(pos) + " is part of an array formula (" +
                               rangeText(range) + ") and cannot be changed on its own.",
                           XlsError::Kind::PartOfArray);
    }
    planHandover(pos); // throws when the shared formula cannot be handed on
}

void SheetXml::setNumber(int row, int col, double value)
{
    if (!std::isfinite(value))
        throw XlsError("A cell cannot hold a number that is not finite.");
    write(row, col, Content::Number, numberText(value), CellValue::ofNumber(value));
}

void SheetXml::setSharedString(int row, int col, std::size_t sstIndex, const std::string& text)
{
    write(row, col, Content::SharedString, std::to_string(sstIndex), CellValue::ofText(text));
}

void SheetXml::setEmpty(int row, int col)
{
    checkCanChange(row, col);
    if (!cellAt(row, col))
        return;
    emptyCell(row, col);
}

// The cell to be written, made in its row (made too) when absent.
SheetCell& SheetXml::cellForWrite(int row, int col)
{
    auto [it, added] = m_rows.try_emplace(row);
    SheetRow& r = it->second;
    if (added) {
        r.row = row;
        r.isNew = true;
        r.prefix = m_sheetData.prefix;
    }
    auto pos = std::lower_bound(r.cells.begin(), r.cells.end(), col,
                                [](const SheetCell& c, int v) { return c.col < v; });
    if (pos == r.cells.end() || pos->col != col) {
        SheetCell cell;
        cell.col = col;
        cell.isNew = true;
        cell.style = styleForNew(row, col);
        pos = r.cells.insert(pos, cell);
    }
    return *pos;
}

// A changed cell keeps no formula: its group, if it led one, goes on
// from the next cell; the calculation chain must forget it.
void SheetXml::dropFormula(SheetCell& cell, int row)
{
    using F = SheetCell::Formula;
    const CellPos pos{row, cell.col};
    if (cell.formula == F::None)
        return;
    if (cell.formula == F::SharedMember && m_groups.count(cell.sharedIndex)) {
        auto& members = m_groups[cell.sharedIndex].members;
        members.erase(std::remove(members.begin(), members.end(), pos), members.end());
    }
    if (!cell.isNew)
        m_overwritten.emplace_back(row, cell.col);
    cell.formula = F::None;
    --m_formulaCells;
}

void SheetXml::write(int row, int col, Content kind, const std::string& payload, CellValue value)
{
    checkCanChange(row, col);
    const auto plan = planHandover({row, col});
    SheetCell& cell = cellForWrite(row, col);
    if (plan)
        applyHandover(*plan);
    dropFormula(cell, row);
    cell.value = std::move(value);
    cell.edited = true;
    m_edits[{row, col}] = cellXml(m_rows.at(row), cell, kind, payload);
    m_changed = true;
}

void SheetXml::emptyCell(int row, int col)
{
    const auto plan = planHandover({row, col});
    if (plan)
        applyHandover(*plan);
    SheetRow& r = m_rows.at(row);
    auto it = std::find_if(r.cells.begin(), r.cells.end(),
                           [col](const SheetCell& c) { return c.col == col; });
    dropFormula(*it, row);
    m_changed = true;
    if (it->isNew) { // made by an earlier change: gone again
        m_edits.erase({row, col});
        r.cells.erase(it);
        if (r.isNew && r.cells.empty())
            m_rows.erase(row);
        return;
    }
    it->value = CellValue{};
    it->edited = true;
    const int inherited = std::max(styleForNew(row, col), 0);
    const auto next = std::next(it);
    // A following cell placed by position alone would slide into this one.
    const bool keep =
        std::max(it->style, 0) != inherited || (next != r.cells.end() && !next->explicitRef);
    m_edits[{row, col}] = keep ? cellXml(r, *it, Content::Empty, {}) : std::string();
}

} // namespace zelvano::xls
