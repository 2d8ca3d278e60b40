#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/biff/BiffRecords.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace zelvano::xls
{

class SharedStrings;

// One record of the cell table with the records that belong to it (a
// formula's SHRFMLA/ARRAY/TABLE and STRING records), kept as a reference to
// bytes: the original stream, or the sheet's buffer of records made by us.
struct CellSpan {
    std::uint32_t offset = 0; // header of the first record
    std::uint32_t length = 0; // bytes of all records of the span
    std::uint16_t firstCol = 0;
    std::uint16_t lastCol = 0;
    std::uint16_t type = 0;
    bool made = false; // lies in SheetCells::made()
};

struct RowSlot {
    bool hasRowRecord = false;
    bool rowMade = false;
    bool changed = false;
    std::uint32_t rowOffset = 0;
    std::vector<CellSpan> cells; // by column
};

// The cell table of one worksheet: reads values in place from the stream's
// bytes and takes changes as new records, splitting MULRK/MULBLANK records
// and expanding shared formulas where a change needs it.
class SheetCells
{
public:
    // `records` are the sheet's substream. Throws XlsError on damaged cells.
    static SheetCells parse(const Bytes& stream, const std::vector<RecordPos>& records,
                            const SharedStrings& strings);

    CellValue value(const Bytes& stream, const SharedStrings& strings, std::uint16_t row,
                    std::uint16_t col) const;
    // The XF index the cell has, or the one a new cell there would get.
    std::uint16_t formatOf(const Bytes& stream, std::uint16_t row, std::uint16_t col) const;

    // Every cell that holds a value, row by row, column by column; rows and
    // columns numbered from `first` (0 as here, 1 as the spreadsheet counts).
    void forEach(const Bytes& stream, const SharedStrings& strings,
                 const std::function<void(int row, int col, const CellValue&)>& f,
                 int first = 0) const;

    // Throws XlsError, changing nothing, when the cell cannot be changed on
    // its own (part of an array formula or data table).
    void checkCanChange(const Bytes& stream, std::uint16_t row, std::uint16_t col);

    void setNumber(const Bytes& stream, std::uint16_t row, std::uint16_t col, double value);
    void setString(const Bytes& stream, std::uint16_t row, std::uint16_t col,
                   std::uint32_t sstIndex);
    // Empties the cell: a BLANK keeps a cell's own format; a cell formatted
    // as a new cell there would be (row, column or default format) goes away.
    void setEmpty(const Bytes& stream, std::uint16_t row, std::uint16_t col);

    bool changed() const { return m_changed; }
    const std::map<std::uint16_t, RowSlot>& rows() const { return m_rows; }
    const Bytes& made() const { return m_made; }
    const std::uint8_t* bytesOf(const Bytes& stream, const CellSpan& span) const
    {
        return (span.made ? m_made.data() : stream.data()) + span.offset;
    }
    const std::uint8_t* rowRecord(const Bytes& stream, const RowSlot& slot) const
    {
        return (slot.rowMade ? m_made.data() : stream.data()) + slot.rowOffset;
    }

    // Record indices (into the substream) of the records that are not part
    // of the cell table, in order, and how many of them come before it.
    const std::vector<std::size_t>& keptRecords() const { return m_kept; }
    std::size_t keptBeforeTable() const { return m_keptBeforeTable; }

private:
    struct ColumnFormat {
        std::uint16_t first, last, xf;
    };

    const CellSpan* find(std::uint16_t row, std::uint16_t col, std::size_t* index = nullptr) const;
    // The value of column `col` of the record(s) `span`.
    CellValue valueIn(const Bytes& stream, const SharedStrings& strings, const CellSpan& span,
                      std::uint16_t col) const;
    std::uint16_t defaultFormat(const Bytes& stream, std::uint16_t row, std::uint16_t col) const;
    CellSpan makeRecord(std::uint16_t type, const Bytes& body, std::uint16_t firstCol,
                        std::uint16_t lastCol);
    void replace(const Bytes& stream, std::uint16_t row, std::uint16_t col, std::uint16_t type,
                 const Bytes* body);
    // Throws XlsError when the formula cannot go; with `apply`, gives the
    // other users of a shared formula starting here their own formulas.
    void prepareFormulaOverwrite(const Bytes& stream, std::uint16_t row, const CellSpan& span,
                                 bool apply);

    std::map<std::uint16_t, RowSlot> m_rows;
    std::vector<ColumnFormat> m_columnFormats;
    std::uint16_t m_defaultRowHeight = 0x00FF;
    std::uint16_t m_defaultRowFlags = 0;
    Bytes m_made;
    std::vector<std::size_t> m_kept;
    std::size_t m_keptBeforeTable = 0;
    bool m_changed = false;
};

} // namespace zelvano::xls
