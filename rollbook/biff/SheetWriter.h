#pragma once

#include "rollbook/biff/BiffRecords.h"
#include "rollbook/biff/SheetCells.h"

#include <cstdint>

namespace zelvano::xls
{

// Appends to `out` a sheet whose cells changed: every record outside the cell
// table byte for byte, DIMENSIONS and INDEX updated, and the cell table
// written afresh in blocks of 32 rows, each ending with its DBCELL. `out`
// ends where the sheet starts in the new stream (stream positions in INDEX
// are absolute).
void writeChangedSheet(const Bytes& stream, const std::vector<RecordPos>& records,
                       const SheetCells& cells, Bytes& out);

// Appends an unchanged sheet that starts `delta` bytes away from where it
// was: its bytes as they were, with the stream positions inside its INDEX
// record moved along.
void writeMovedSheet(const Bytes& stream, std::uint32_t begin, std::uint32_t end,
                     std::int64_t delta, Bytes& out);

} // namespace zelvano::xls
