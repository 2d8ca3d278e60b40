#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/xlsx/CellRef.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zelvano::xls
{

// What a <c> held, gathered while reading it.
struct RawCell {
    std::string_view type;       // the t attribute
    std::string_view v;          // text of <v>
    std::string_view inlineText; // text of <is>, escapes not yet decoded
    bool hasV = false;
    bool hasInline = false;
};

// The shared string a cell of type "s" points at; nothing for any other
// cell, and for one of type "s" holding no index (it is empty). Throws
// XlsError(Kind::Damaged) naming the cell at `where` for an index that
// cannot be read. Whether the table holds that many strings is for the caller.
std::optional<std::uint32_t> sharedStringOf(const RawCell& raw, CellPos where);

// The value of any other cell as Excel shows it (a cell of type "s" reads as
// empty here). Errors Excel names (#DIV/0! ...) become BIFF error codes; any
// other error text (#SPILL!, #CALC!) is kept as text, so a person reads what
// Excel shows. Throws XlsError(Kind::Damaged) naming the cell at `where` for
// a value that cannot be read.
CellValue cellValueOf(const RawCell& raw, bool date1904, CellPos where);

// An ISO 8601 date, time, date-time or duration ("2021-01-01T10:10:10",
// "10:10", "PT1H30M") as a serial number from the workbook's epoch (Excel's
// 1900 leap-year slip included), as Excel stores dates in numeric cells.
std::optional<double> isoDateSerial(std::string_view text, bool date1904);

// "#N/A" -> 0x2A and the other six errors BIFF can hold.
std::optional<std::uint8_t> errorCode(std::string_view text);

} // namespace zelvano::xls
