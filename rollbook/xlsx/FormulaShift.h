#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvano::xls
{

// The formula a cell `rows` rows down and `cols` columns right of a shared
// formula's first cell holds: every relative reference (A1, A$1, $A1, A:B,
// 3:4, in ranges and on other sheets) moved by that much; absolute parts,
// strings, quoted sheet names, structured references and error literals
// unchanged. Nothing when the text cannot be shifted soundly (an
// unterminated string or bracket, a reference moved off the sheet).
std::optional<std::string> shiftFormula(std::string_view formula, int rows, int cols);

} // namespace zelvano::xls
