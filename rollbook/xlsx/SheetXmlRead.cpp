// Reading a worksheet part into SheetXml: rows, cells, their formulas and
// where each lies in the bytes.
#include "rollbook/XlsError.h"
#include "rollbook/xlsx/SharedStringTable.h"
#include "rollbook/xlsx/SheetValues.h"
#include "rollbook/xlsx/SheetXml.h"
#include "rollbook/xlsx/XmlSpans.h"

#include <algorithm>
#include <charconv>

namespace zelvano::xls
{

namespace
{

std::optional<int> intAttribute(const char* text)
{
    if (!text)
        return std::nullopt;
    const std::string_view v(text);
    int n = 0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size())
        return std::nullopt;
    return n;
}

bool isTrue(const char* text)
{
    return text && (std::string_view(text) == "1" || std::string_view(text) == "true");
}

std::string prefixOf(const XmlStart& e)
{
    return e.prefix.empty() ? std::string() : std::string(e.prefix) + ":";
}

XlsError damaged(const std::string& what)
{
    return XlsError("The worksheet is damaged: " + what + ".", XlsError::Kind::Damaged);
}

} // namespace

class SheetXmlReader : public XmlHandler
{
public:
    SheetXmlReader(SheetXml& sheet, bool date1904) : m_sheet(sheet), m_date1904(date1904) {}

    void start(const XmlStart& e) override
    {
        ++m_depth;
        if (!isMainNamespace(e.uri))
            return;
        if (m_depth == 2)
            topLevel(e);
        else if (m_depth == 3 && m_inSheetData && e.local == "row")
            rowStart(e);
        else if (m_depth == 3 && m_inCols && e.local == "col")
            column(e);
        else if (m_depth == 4 && m_row && e.local == "c")
            cellStart(e);
        else if (m_depth >= 5 && m_cell)
            cellPart(e);
    }

    void end(const XmlEnd& e) override
    {
        if (m_depth == 2 && m_inSheetData) {
            m_sheet.m_sheetData.closeBegin = e.closeBegin;
            m_sheet.m_sheetData.end = e.end;
            m_inSheetData = false;
        } else if (m_depth == 2) {
            m_inCols = false;
        } else if (m_depth == 3 && m_row) {
            rowEnd(e);
        } else if (m_depth == 4 && m_cell) {
            cellEnd(e);
        } else if (m_cell && m_depth == 5 && e.local == "f") {
            m_cell->fEnd = e.end;
        } else if (m_cell && m_depth == 6 && e.local == "rPh") {
            m_phonetic = false;
        }
        if (m_depth >= 5)
            m_inText = false;
        --m_depth;
    }

    void text(std::string_view utf8) override
    {
        if (!m_inText)
            return;
        if (m_collect == Collect::Value)
            m_v += utf8;
        else if (m_collect == Collect::Formula)
            m_formula += utf8;
        else if (m_collect == Collect::Inline)
            m_inline += utf8;
    }

    void finish()
    {
        if (m_depth != 0)
            throw damaged("it ends early");
    }

private:
    enum class Collect { None, Value, Formula, Inline };

    void topLevel(const XmlStart& e)
    {
        if (e.local == "sheetData") {
            auto& span = m_sheet.m_sheetData;
            if (span.present)
                throw damaged("it holds two cell tables");
            span.present = true;
            span.begin = e.begin;
            span.tagEnd = e.tagEnd;
            span.prefix = prefixOf(e);
            m_inSheetData = true;
        } else if (e.local == "dimension") {
            auto& span = m_sheet.m_dimension;
            span.present = true;
            span.begin = e.begin;
            span.tagEnd = e.tagEnd;
            if (const char* ref = e.attribute("ref"))
                m_sheet.m_dimensionRange = parseRange(ref);
        } else if (e.local == "cols") {
            m_inCols = true;
        }
    }

    void column(const XmlStart& e)
    {
        const auto min = intAttribute(e.attribute("min"));
        const auto max = intAttribute(e.attribute("max"));
        const auto style = intAttribute(e.attribute("style"));
        if (min && max && style && *style > 0 && *min <= *max)
            m_sheet.m_columnStyles.push_back({*min, *max, *style});
    }

    void rowStart(const XmlStart& e)
    {
        int number = m_lastRow + 1;
        if (const char* r = e.attribute("r")) {
            const auto n = intAttribute(r);
            if (!n || *n < 1 || *n > kXlsxMaxRow)
                throw damaged(std::string("a row number \"") + r + "\" cannot be read");
            number = *n;
        }
        if (number > kXlsxMaxRow)
            throw damaged("a row lies past the last row");
        auto [it, added] = m_sheet.m_rows.try_emplace(number);
        if (!added)
            throw damaged("row " + std::to_string(number) + " appears twice");
        m_row = &it->second;
        m_row->row = number;
        m_row->prefix = prefixOf(e);
        m_row->begin = e.begin;
        m_row->tagEnd = e.tagEnd;
        if (isTrue(e.attribute("customFormat")))
            m_row->style = intAttribute(e.attribute("s")).value_or(-1);
        m_lastRow = number;
        m_lastCol = 0;
        m_sorted = true;
    }

    void rowEnd(const XmlEnd& e)
    {
        m_row->closeBegin = e.closeBegin;
        m_row->end = e.end;
        auto& cells = m_row->cells;
        if (!m_sorted) {
            std::sort(cells.begin(), cells.end(),
                      [](const SheetCell& a, const SheetCell& b) { return a.col < b.col; });
        }
        for (std::size_t i = 1; i < cells.size(); ++i) {
            if (cells[i].col == cells[i - 1].col)
                throw damaged("cell " + cellRefText({m_row->row, cells[i].col}) + " appears twice");
        }
        m_row = nullptr;
    }

    void cellStart(const XmlStart& e)
    {
        // r, s and t in one look at the attributes.
        const char* r = nullptr;
        const char* s = nullptr;
        const char* t = nullptr;
        for (const char** a = e.attributes; a[0]; a += 2) {
            const char* name = a[0];
            if (name[0] == '\0' || name[1] != '\0')
                continue;
            switch (name[0]) {
            case 'r':
                r = a[1];
                break;
            case 's':
                s = a[1];
                break;
            case 't':
                t = a[1];
                break;
            default:
                break;
            }
        }
        SheetCell cell;
        cell.col = m_lastCol + 1;
        if (r) {
            const auto pos = parseCellRef(r);
            if (!pos)
                throw damaged(std::string("a cell reference \"") + r + "\" cannot be read");
            if (pos->row != m_row->row)
                throw damaged(std::string("cell ") + r + " lies in row " +
                              std::to_string(m_row->row));
            cell.col = pos->col;
        } else {
            cell.explicitRef = false;
        }
        if (cell.col > kXlsxMaxColumn)
            throw damaged("a cell lies past the last column");
        if (cell.col <= m_lastCol)
            m_sorted = false;
        m_lastCol = cell.col;
        cell.begin = e.begin;
        cell.style = intAttribute(s).value_or(-1);
        m_type = t ? t : "";
        m_v.clear();
        m_inline.clear();
        m_hasV = m_hasInline = false;
        m_row->cells.push_back(cell);
        m_cell = &m_row->cells.back();
    }

    void cellPart(const XmlStart& e)
    {
        m_inText = false;
        if (m_depth == 5) {
            m_collect = Collect::None;
            if (e.local == "v") {
                m_collect = Collect::Value;
                m_hasV = m_inText = true;
            } else if (e.local == "f") {
                formulaStart(e);
            } else if (e.local == "is") {
                m_collect = Collect::Inline;
                m_hasInline = true;
                m_phonetic = false;
            }
        } else if (m_collect == Collect::Inline) {
            if (m_depth == 6 && e.local == "rPh")
                m_phonetic = true;
            m_inText = e.local == "t" && !m_phonetic && (m_depth == 6 || m_depth == 7);
        }
    }

    void formulaStart(const XmlStart& e)
    {
        using F = SheetCell::Formula;
        m_collect = Collect::Formula;
        m_inText = true;
        m_formula.clear();
        m_cell->fBegin = e.begin;
        m_cell->fTagEnd = e.tagEnd;
        const std::string_view t = e.attribute("t") ? e.attribute("t") : "";
        m_fRef = e.attribute("ref") ? e.attribute("ref") : "";
        if (t == "array" || t == "dataTable") {
            m_cell->formula = F::Array;
        } else if (t == "shared") {
            const auto si = intAttribute(e.attribute("si"));
            m_cell->sharedIndex = si.value_or(-1);
            m_cell->formula = e.attribute("ref") ? F::SharedAnchor : F::SharedMember;
        } else {
            m_cell->formula = F::Normal;
        }
    }

    void cellEnd(const XmlEnd& e)
    {
        using F = SheetCell::Formula;
        m_cell->end = e.end;
        const CellPos pos{m_row->row, m_cell->col};
        const RawCell raw{m_type, m_v, m_inline, m_hasV, m_hasInline};
        if (const auto index = sharedStringOf(raw, pos)) {
            m_cell->kind = SheetCell::Kind::SharedString;
            m_cell->held.index = *index;
            if (*index >= m_sheet.m_stringsNeeded) {
                m_sheet.m_stringsNeeded = *index + 1;
                m_sheet.m_highestStringCell = pos;
            }
        } else {
            m_sheet.store(*m_cell, cellValueOf(raw, m_date1904, pos));
        }
        if (m_cell->formula != F::None)
            ++m_sheet.m_formulaCells;
        if (m_cell->formula == F::Array) {
            const auto range = parseRange(m_fRef);
            m_sheet.m_arrays.push_back(range.value_or(CellRange{pos, pos}));
        } else if (m_cell->formula == F::SharedAnchor && m_cell->sharedIndex >= 0) {
            auto& group = m_sheet.m_groups[m_cell->sharedIndex];
            if (group.anchor)
                throw damaged("shared formula " + std::to_string(m_cell->sharedIndex) +
                              " starts twice");
            group.anchor = pos;
            group.text = m_formula;
        } else if (m_cell->formula == F::SharedMember && m_cell->sharedIndex >= 0) {
            m_sheet.m_groups[m_cell->sharedIndex].members.push_back(pos);
        }
        m_cell = nullptr;
        m_collect = Collect::None;
        m_inText = false;
    }

    SheetXml& m_sheet;
    bool m_date1904;
    int m_depth = 0;
    bool m_inSheetData = false;
    bool m_inCols = false;
    SheetRow* m_row = nullptr;
    SheetCell* m_cell = nullptr;
    int m_lastRow = 0;
    int m_lastCol = 0;
    bool m_sorted = true;
    Collect m_collect = Collect::None;
    bool m_inText = false;
    bool m_phonetic = false;
    std::string m_type, m_v, m_inline, m_formula, m_fRef;
    bool m_hasV = false, m_hasInline = false;
};

SheetXml SheetXml::parse(std::string xml, bool date1904)
{
    SheetXml sheet;
    sheet.m_xml = std::move(xml);
    sheet.m_writable = isUtf8Document(sheet.m_xml);
    SheetXmlReader reader(sheet, date1904);
    parseXml(sheet.m_xml, reader, "The worksheet");
    reader.finish();
    sheet.m_xmlSize = sheet.m_xml.size();
    sheet.finishRead();
    return sheet;
}

SheetXml SheetXml::parse(std::string xml, const SharedStringTable& strings, bool date1904)
{
    SheetXml sheet = parse(std::move(xml), date1904);
    sheet.bindStrings(strings);
    return sheet;
}

SheetXml SheetXml::read(const ReadSome& read, bool date1904)
{
    SheetXml sheet;
    std::size_t size = 0;
    SheetXmlReader reader(sheet, date1904);
    sheet.m_writable = parseXml(
        [&](char* into, std::size_t room) {
            const std::size_t n = read(into, room);
            size += n;
            return n;
        },
        reader, "The worksheet");
    reader.finish();
    sheet.m_xmlSize = size;
    sheet.finishRead();
    return sheet;
}

void SheetXml::finishRead()
{
    for (auto& [si, group] : m_groups)
        std::sort(group.members.begin(), group.members.end());
}

void SheetXml::bindStrings(const SharedStringTable& strings)
{
    if (m_stringsNeeded > strings.size())
        throw XlsError("Cell " + cellRefText(m_highestStringCell) +
                           " points at a shared string that does not exist.",
                       XlsError::Kind::Damaged);
    m_strings = &strings;
}

void SheetXml::releaseXml()
{
    m_xml = std::string();
}

void SheetXml::restoreXml(std::string xml)
{
    if (xml.size() != m_xmlSize)
        throw damaged("it changed while the workbook was open");
    m_xml = std::move(xml);
}

} // namespace zelvano::xls
