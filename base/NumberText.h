#pragma once

#include <string>

namespace zelvano
{

// How a number is shown as text everywhere in the program and the tools: the
// shortest decimal form that reads back as the same value within 15
// significant digits, with '.' as decimal point whatever the locale
// (7 -> "7", 2.5 -> "2.5", 0.1 + 0.2 -> "0.3", 1e20 -> "1E+20").
std::string numberToText(double value);

} // namespace zelvano
