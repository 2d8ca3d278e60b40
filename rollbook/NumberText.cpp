#include "rollbook/NumberText.h"

#include <charconv>
#include <cmath>

namespace zelvano::xls {

namespace {

std::string formatGeneral(double value, int precision)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::general, precision);
    return std::string(buffer, result.ptr);
}

double readBack(const std::string& text)
{
    double parsed = 0;
    std::from_chars(text.data(), text.data() + text.size(), parsed);
    return parsed;
}

// "1e+20" -> "1E+20", the way spreadsheet programs show an exponent.
std::string withUpperExponent(std::string text)
{
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    return text;
}

} // namespace

std::string numberToText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return "0";
    const double rounded = readBack(formatGeneral(value, 15));
    for (int precision = 1; precision < 15; ++precision) {
        const double shorter = readBack(formatGeneral(value, precision));
        // Found the fewest digits; printed again at full precision so that
        // 100 stays "100" rather than "1e+02".
        if (shorter == rounded)
            return withUpperExponent(formatGeneral(shorter, 15));
    }
    return withUpperExponent(formatGeneral(value, 15));
}

} // namespace zelvano::xls
