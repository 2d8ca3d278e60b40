#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/xlsx/CellRef.h"
#include "rollbook/xlsx/XmlSpans.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelvano::xls
{

class SharedStringTable;

// One <c> of a worksheet: its value and where its bytes lie.
// A sheet has hundreds of thousands of these, so offsets are 32-bit (a part
// is never read past 2 GB), the small fields packed together, and the value
// kept as a number or an index: a shared string by its place in the table,
// any other text in the sheet's own list.
struct SheetCell {
    enum class Formula : std::uint8_t { None, Normal, SharedAnchor, SharedMember, Array };
    enum class Kind : std::uint8_t { Empty, Number, SharedString, Text, Boolean, Error };

    int col = 0;
    int style = -1;                                  // the s attribute, -1 when absent
    int sharedIndex = -1;                            // si of a shared formula
    std::uint32_t begin = 0, end = 0;                // the original <c>..</c> or <c/>
    std::uint32_t fBegin = 0, fTagEnd = 0, fEnd = 0; // its <f>, when it has one
    Formula formula = Formula::None;
    Kind kind = Kind::Empty;
    bool explicitRef = true; // has an r attribute
    bool isNew = false;      // made by a change
    bool edited = false;     // its bytes are in SheetXml's edits
    union {
        double number;       // Kind::Number
        std::uint32_t index; // the shared string, the sheet's text, the truth value, the error code
    } held{0.0};
};

// One <row> and its cells by column.
struct SheetRow {
    int row = 0;
    int style = -1;     // s of a row with customFormat="1"
    std::string prefix; // "x:" when the row is written with a prefix
    std::size_t begin = 0, tagEnd = 0, closeBegin = 0, end = 0;
    bool isNew = false;
    std::vector<SheetCell> cells; // by column
};

// A worksheet part (xl/worksheets/sheetN.xml): its cells read with expat,
// and changes written by splicing new <c> and <row> elements (and the
// <dimension> reference) into the original bytes; nothing else is touched.
class SheetXml
{
public:
    // `date1904` for cells of type "d"; `strings` resolves cells of type
    // "s". Throws XlsError(Kind::Damaged) for damage.
    static SheetXml parse(std::string xml, const SharedStringTable& strings, bool date1904);
    // The same without the shared strings, which only reading a value needs
    // (bindStrings() first); the bytes are kept for a change.
    static SheetXml parse(std::string xml, bool date1904);
    // The same in one pass over a part read piece by piece; its bytes are
    // not kept (restoreXml() before a change).
    static SheetXml read(const ReadSome& read, bool date1904);

    // The table cells of type "s" point into, for reading values; throws
    // XlsError(Kind::Damaged) when a cell points past its end.
    void bindStrings(const SharedStringTable& strings);
    bool stringsBound() const { return m_strings != nullptr; }

    // The cell's value; nothing for a cell that holds none.
    std::optional<CellValue> find(int row, int col) const;
    // Every cell holding a value, row by row, column by column.
    void forEachCell(const std::function<void(int row, int col, const CellValue&)>& f) const;
    // The last row holding a cell or a row element; 0 for an empty sheet.
    int lastRow() const;
    const SheetCell* cellAt(int row, int col) const;

    // Throws XlsError, changing nothing, when the cell cannot take a new
    // value: Kind::PartOfArray inside an array formula or data table,
    // Kind::SharedFormulaCut for the first cell of a shared formula whose
    // text cannot be handed on to the other cells.
    void checkCanChange(int row, int col) const;
    // Each checks first and changes nothing when the check fails. A
    // changed cell loses its formula; a new cell takes its row's style,
    // else its column's.
    void setNumber(int row, int col, double value);
    void setSharedString(int row, int col, std::size_t sstIndex);
    // Keeps an empty <c r s/> where the cell's style differs from what a new
    // cell there would get; removes the cell otherwise.
    void setEmpty(int row, int col);

    bool changed() const { return m_changed; }
    // Cells whose formula a change removed (for the calculation chain).
    const std::vector<std::pair<int, int>>& overwrittenFormulas() const { return m_overwritten; }
    // Any formula left in the sheet (the workbook then recalculates on load).
    bool holdsFormulas() const { return m_formulaCells > 0; }

    // The original bytes with the changed cells, new rows and the
    // dimension spliced in.
    std::string serialize() const;

    const std::string& xml() const { return m_xml; }

    // A sheet that is only read needs its cells, not its bytes: the package
    // still holds them. releaseXml() lets them go; before a change,
    // restoreXml() takes them back from the same part (XlsError(Damaged)
    // when they are not the bytes that were read).
    void releaseXml();
    bool holdsXml() const { return m_xmlSize == 0 || !m_xml.empty(); }
    void restoreXml(std::string xml);

private:
    friend class SheetXmlReader;
    struct SharedGroup {
        std::optional<CellPos> anchor;
        std::string text;
        std::vector<CellPos> members; // without the anchor, row by row
    };
    // How the first cell of a shared formula hands it on.
    struct Handover {
        int sharedIndex = -1;
        CellPos newAnchor;
        std::string newText;
        CellRange newRef;
        std::vector<CellPos> staying;                           // members after the new first cell
        std::vector<std::pair<CellPos, std::string>> converted; // own formula each
    };
    struct ColumnStyle {
        int min, max, style;
    };
    struct Span {
        bool present = false;
        std::size_t begin = 0, tagEnd = 0, closeBegin = 0, end = 0;
        std::string prefix;
    };
    enum class Content { Number, SharedString, Empty };
    struct Splice {
        std::size_t begin, end;
        std::string text;
    };

    SheetCell* cellAt(int row, int col);
    void finishRead();
    // What the cell holds, as `into` (whose text buffer is reused).
    void valueOf(const SheetCell& cell, CellValue& into) const;
    // Keeps `value` in the cell: a text in the sheet's own list.
    void store(SheetCell& cell, const CellValue& value);
    int styleForNew(int row, int col) const;
    std::optional<Handover> planHandover(CellPos anchor) const;
    void applyHandover(const Handover& plan);
    void dropFormula(SheetCell& cell, int row);
    SheetCell& cellForWrite(int row, int col);
    void write(int row, int col, Content kind, const std::string& payload, SheetCell::Kind held,
               double number, std::uint32_t index);
    void emptyCell(int row, int col);
    std::string cellXml(const SheetRow& row, const SheetCell& cell, Content kind,
                        const std::string& payload) const;
    std::string fReplaced(const SheetCell& cell, const std::string& newF) const;
    std::string dimensionSplice() const;
    void rowSplices(const SheetRow& row, std::vector<Splice>& out) const;

    std::string m_xml;
    std::size_t m_xmlSize = 0;
    std::vector<std::string> m_texts; // texts of cells not in the shared strings
    const SharedStringTable* m_strings = nullptr;
    std::uint32_t m_stringsNeeded = 0; // one past the highest shared string a cell names
    CellPos m_highestStringCell{};
    std::map<int, SheetRow> m_rows;
    std::vector<ColumnStyle> m_columnStyles;
    std::vector<CellRange> m_arrays;
    std::map<int, SharedGroup> m_groups;
    std::map<CellPos, std::string> m_edits; // a cell's new bytes ("" removes it)
    Span m_sheetData;
    Span m_dimension;
    std::optional<CellRange> m_dimensionRange;
    bool m_writable = true;
    bool m_changed = false;
    std::size_t m_formulaCells = 0;
    std::vector<std::pair<int, int>> m_overwritten;
};

} // namespace zelvano::xls
