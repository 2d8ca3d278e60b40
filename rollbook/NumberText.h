#pragma once

#include <string>

namespace zelvano::xls {

// The decimal text of a number as a person expects to see it: the shortest
// text that reads back as the number rounded to 15 significant digits, so
// 7 gives "7", 2.5 gives "2.5" and 0.1 + 0.2 gives "0.3". Independent of the
// system locale (the decimal mark is always '.'). Very large or small
// magnitudes use an exponent ("1E+20"); infinities and NaN give "0".
std::string numberToText(double value);

} // namespace zelvano::xls
