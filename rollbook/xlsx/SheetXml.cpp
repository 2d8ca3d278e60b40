#include "rollbook/xlsx/SheetXml.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/SharedStringTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

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

void SheetXml::valueOf(const SheetCell& cell, CellValue& into) const
{
    using K = SheetCell::Kind;
    into.number = 0;
    into.boolean = false;
    into.error = 0;
    into.text.clear();
    switch (cell.kind) {
    case K::Empty:
        into.type = CellValue::Type::Empty;
        break;
    case K::Number:
        into.type = CellValue::Type::Number;
        into.number = cell.held.number;
        break;
    case K::SharedString:
        if (!m_strings)
            throw std::logic_error("a sheet's shared strings are read before its values");
        into.type = CellValue::Type::Text;
        into.text = m_strings->text(cell.held.index);
        break;
    case K::Text:
        into.type = CellValue::Type::Text;
        into.text = m_texts[cell.held.index];
        break;
    case K::Boolean:
        into.type = CellValue::Type::Boolean;
        into.boolean = cell.held.index != 0;
        break;
    case K::Error:
        into.type = CellValue::Type::Error;
        into.error = static_cast<std::uint8_t>(cell.held.index);
        break;
    }
}

void SheetXml::store(SheetCell& cell, const CellValue& value)
{
    using K = SheetCell::Kind;
    switch (value.type) {
    case CellValue::Type::Empty:
        cell.kind = K::Empty;
        break;
    case CellValue::Type::Number:
        cell.kind = K::Number;
        cell.held.number = value.number;
        break;
    case CellValue::Type::Text:
        cell.kind = K::Text;
        cell.held.index = static_cast<std::uint32_t>(m_texts.size());
        m_texts.push_back(value.text);
        break;
    case CellValue::Type::Boolean:
        cell.kind = K::Boolean;
        cell.held.index = value.boolean ? 1 : 0;
        break;
    case CellValue::Type::Error:
        cell.kind = K::Error;
        cell.held.index = value.error;
        break;
    }
}

std::optional<CellValue> SheetXml::find(int row, int col) const
{
    const SheetCell* cell = cellAt(row, col);
    if (!cell || cell->kind == SheetCell::Kind::Empty)
        return std::nullopt;
    CellValue value;
    valueOf(*cell, value);
    return value;
}

void SheetXml::forEachCell(const std::function<void(int, int, const CellValue&)>& f) const
{
    CellValue value; // one for all, so a text seldom needs new memory
    for (const auto& [number, row] : m_rows) {
        for (const auto& cell : row.cells) {
            if (cell.kind == SheetCell::Kind::Empty)
                continue;
            valueOf(cell, value);
            f(number, cell.col, value);
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
    write(row, col, Content::Number, numberText(value), SheetCell::Kind::Number, value, 0);
}

void SheetXml::setSharedString(int row, int col, std::size_t sstIndex)
{
    write(row, col, Content::SharedString, std::to_string(sstIndex), SheetCell::Kind::SharedString,
          0, static_cast<std::uint32_t>(sstIndex));
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

void SheetXml::write(int row, int col, Content kind, const std::string& payload,
                     SheetCell::Kind held, double number, std::uint32_t index)
{
    checkCanChange(row, col);
    const auto plan = planHandover({row, col});
    SheetCell& cell = cellForWrite(row, col);
    if (plan)
        applyHandover(*plan);
    dropFormula(cell, row);
    cell.kind = held;
    if (held == SheetCell::Kind::Number)
        cell.held.number = number;
    else
        cell.held.index = index;
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
    it->kind = SheetCell::Kind::Empty;
    it->edited = true;
    const int inherited = std::max(styleForNew(row, col), 0);
    const auto next = std::next(it);
    // A following cell placed by position alone would slide into this one.
    const bool keep =
        std::max(it->style, 0) != inherited || (next != r.cells.end() && !next->explicitRef);
    m_edits[{row, col}] = keep ? cellXml(r, *it, Content::Empty, {}) : std::string();
}

} // namespace zelvano::xls
