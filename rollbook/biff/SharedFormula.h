#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <cstdint>
#include <optional>

namespace zelvano::xls
{

// The formula tokens (rgce followed by rgcb) a cell at (row, col) would hold
// if it did not share the formula of a SHRFMLA record: relative references
// (PtgRefN/PtgAreaN) become ordinary ones. `shrFmlaBody` is the SHRFMLA
// record's body. Nothing when the tokens hold something this cannot
// translate soundly.
std::optional<Bytes> unshareFormula(const Bytes& shrFmlaBody, std::uint16_t row, std::uint16_t col);

} // namespace zelvano::xls
