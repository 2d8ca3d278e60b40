#include "shell/core/Numbers.h"

#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zelvano
{

namespace
{

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000);
}

// Collects the characters of the text with the blanks dropped, stopping at
// the first character that cannot belong to a number, so "12abc" scans as
// "12" and " 1 2" as "12".
std::string compactAscii(QStringView text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (isBlank(c))
            continue;
        const char16_t u = c.unicode();
        if (u >= 0x80)
            break;
        out.push_back(static_cast<char>(u));
    }
    return out;
}

double radixValue(const std::string& digits, size_t start, int radix)
{
    double value = 0;
    for (size_t i = start; i < digits.size(); ++i) {
        int digit = -1;
        const char c = digits[i];
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

// The longest prefix of `s` shaped like [sign] digits [. digits] [exp [sign] digits].
std::string decimalPrefix(const std::string& s)
{
    size_t i = 0;
    std::string out;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        out.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        out.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        out.push_back(s[i++]);
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            out.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exponent.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            out += exponent;
    }
    return out;
}

} // namespace

double Val(QStringView text)
{
    const std::string s = compactAscii(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'h' || s[1] == 'H')
            return radixValue(s, 2, 16);
        if (s[1] == 'o' || s[1] == 'O')
            return radixValue(s, 2, 8);
    }
    std::string number = decimalPrefix(s);
    if (number.empty())
        return 0;
    // from_chars takes no leading '+' and reads ".5" only with a digit before it.
    bool negative = false;
    if (number[0] == '+' || number[0] == '-') {
        negative = number[0] == '-';
        number.erase(0, 1);
    }
    if (number[0] == '.')
        number = "0" + number;
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow reads as 0, overflow has no sensible value.
        return 0;
    }
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

bool isNumeric(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    std::string ascii;
    for (QChar c : trimmed) {
        if (c.unicode() >= 0x80 || isBlank(c))
            return false;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    return !ascii.empty() && decimalPrefix(ascii).size() == ascii.size();
}

std::int16_t toInt16(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // default mode: half to even
    if (rounded <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    if (rounded >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(rounded);
}

std::int32_t toInt32(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

double Int(double value)
{
    return std::isfinite(value) ? std::floor(value) : 0;
}

std::int32_t intDivide(double dividend, double divisor)
{
    const std::int64_t a = toInt32(dividend);
    const std::int64_t b = toInt32(divisor);
    if (b == 0)
        return 0;
    return static_cast<std::int32_t>(a / b);
}

QString numberText(double value)
{
    // Captions and settings never show an infinity or NaN.
    if (!std::isfinite(value))
        return QStringLiteral("0");
    return QString::fromStdString(numberToText(value));
}

std::optional<bool> booleanFromText(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    const std::string s = compactAscii(trimmed);
    const std::string number = decimalPrefix(s);
    // Only a text that is a number as a whole has a Boolean reading.
    if (number.empty() || number.size() != s.size())
        return std::nullopt;
    return Val(trimmed) != 0;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString durationText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    const std::int64_t hours = seconds / 3600;
    const int minutes = static_cast<int>((seconds / 60) % 60);
    const int secs = static_cast<int>(seconds % 60);
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

QString dayText(const QDate& date)
{
    return QStringLiteral("%1月%2")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

} // namespace zelvano
