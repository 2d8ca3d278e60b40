#include "base/NumberText.h"

#include <charconv>
#include <cmath>

namespace zelvano
{

std::string numberToText(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0)
        return "0"; // also for -0, which a spreadsheet shows as 0
    char buffer[64];
    // %g-style with 15 significant digits drops the trailing zeros, which is
    // exactly the shortest form within 15 digits.
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    if (e != std::string::npos) {
        // Spreadsheet style exponent: 1E+20, 1.5E-07.
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        char sign = '+';
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            sign = exponent[0];
            exponent.erase(0, 1);
        }
        while (exponent.size() > 2 && exponent[0] == '0')
            exponent.erase(0, 1);
        // At least two digits, the padding appended rather than inserted.
        text = mantissa + 'E' + sign + (exponent.size() < 2 ? "0" : "") + exponent;
    }
    return text;
}

} // namespace zelvano
