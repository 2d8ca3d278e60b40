#include "rollbook/xlsx/SheetValues.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/XlsxText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace zelvano::xls
{

namespace
{

std::string_view trimmed(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

// "12" or "1.5" with at most 15 digits: the digits are an exact integer and
// so is the power of ten, and one division rounds their quotient exactly as
// from_chars rounds the text. Anything else is left to from_chars.
std::optional<double> shortDecimal(std::string_view s)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t digits = 0;
    std::size_t count = 0, point = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '.' && point == std::string_view::npos && i > 0 && i + 1 < s.size()) {
            point = i;
        } else if (c >= '0' && c <= '9' && ++count <= 15) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (count == 0 || count > 15)
        return std::nullopt;
    const std::size_t decimals = point == std::string_view::npos ? 0 : s.size() - point - 1;
    return static_cast<double>(digits) / kPowers[decimals];
}

std::optional<double> number(std::string_view s)
{
    if (const auto quick = shortDecimal(s))
        return quick;
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Reads `count` digits at `at`, moving past them.
std::optional<int> digits(std::string_view s, std::size_t& at, std::size_t count)
{
    if (at + count > s.size())
        return std::nullopt;
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    at += count;
    return v;
}

// Days from 1970-01-01 of a proleptic Gregorian date.
long long civilDays(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool validDate(int y, int m, int d)
{
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > days[m - 1])
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m != 2 || d <= 28 || leap;
}

// "HH:MM[:SS[.fff]]" at `at` as a fraction of a day.
std::optional<double> timeOfDay(std::string_view s, std::size_t& at)
{
    const auto h = digits(s, at, 2);
    if (!h || at >= s.size() || s[at++] != ':')
        return std::nullopt;
    const auto m = digits(s, at, 2);
    if (!m || *h > 23 || *m > 59)
        return std::nullopt;
    double seconds = 0;
    if (at < s.size() && s[at] == ':') {
        ++at;
        const auto sec = digits(s, at, 2);
        if (!sec || *sec > 59)
            return std::nullopt;
        seconds = *sec;
        if (at < s.size() && s[at] == '.') {
            double scale = 0.1;
            for (++at; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at, scale /= 10)
                seconds += (s[at] - '0') * scale;
        }
    }
    return (*h * 3600.0 + *m * 60.0 + seconds) / 86400.0;
}

// "PT1H2M3.5S": what Excel writes for a duration in strict files.
std::optional<double> duration(std::string_view s)
{
    if (s.substr(0, 2) != "PT" || s.size() == 2)
        return std::nullopt;
    double seconds = 0;
    std::size_t at = 2;
    while (at < s.size()) {
        const std::size_t from = at;
        while (at < s.size() && ((s[at] >= '0' && s[at] <= '9') || s[at] == '.'))
            ++at;
        const auto v = number(s.substr(from, at - from));
        if (!v || at >= s.size())
            return std::nullopt;
        const char unit = s[at++];
        seconds += *v * (unit == 'H' ? 3600 : unit == 'M' ? 60 : unit == 'S' ? 1 : NAN);
    }
    return std::isfinite(seconds) ? std::optional<double>(seconds / 86400.0) : std::nullopt;
}

} // namespace

std::optional<double> isoDateSerial(std::string_view s, bool date1904)
{
    s = trimmed(s);
    if (s.substr(0, 2) == "PT")
        return duration(s);
    std::size_t at = 0;
    double serial = 0;
    bool any = false;
    if (s.size() >= 10 && s[4] == '-' && s[7] == '-') {
        const auto y = digits(s, at, 4);
        ++at;
        const auto m = digits(s, at, 2);
        ++at;
        const auto d = digits(s, at, 2);
        if (!y || !m || !d || !validDate(*y, *m, *d))
            return std::nullopt;
        long long days = civilDays(*y, *m, *d) -
                         civilDays(date1904 ? 1904 : 1899, date1904 ? 1 : 12, date1904 ? 1 : 30);
        if (!date1904 && days > 0 && days <= 60)
            --days; // Excel counts a 29 February 1900 that never was
        serial = static_cast<double>(days);
        any = true;
        if (at < s.size() && s[at] == 'T')
            ++at;
    }
    if (at < s.size() && s[at] != 'Z') {
        const auto t = timeOfDay(s, at);
        if (!t)
            return std::nullopt;
        serial += *t;
        any = true;
    }
    if (at < s.size() && s[at] == 'Z')
        ++at;
    if (!any || at != s.size())
        return std::nullopt;
    return serial;
}

std::optional<std::uint8_t> errorCode(std::string_view text)
{
    static const std::pair<std::string_view, std::uint8_t> codes[] = {
        {"#NULL!", 0x00}, {"#DIV/0!", 0x07}, {"#VALUE!", 0x0F}, {"#REF!", 0x17},
        {"#NAME?", 0x1D}, {"#NUM!", 0x24},   {"#N/A", 0x2A}};
    for (const auto& [name, code] : codes) {
        if (text == name)
            return code;
    }
    return std::nullopt;
}

namespace
{

// The cell's name is spelled out only for a message.
XlsError damagedCell(CellPos where, const std::string& what)
{
    return XlsError("Cell " + cellRefText(where) + " " + what + ".", XlsError::Kind::Damaged);
}

// A plain run of digits, the way every writer stores an index.
std::optional<std::uint32_t> plainIndex(std::string_view s)
{
    std::uint32_t v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

} // namespace

std::optional<std::uint32_t> sharedStringOf(const RawCell& raw, CellPos where)
{
    if (raw.type != "s" || !raw.hasV || trimmed(raw.v).empty())
        return std::nullopt;
    if (const auto plain = plainIndex(raw.v); plain && *plain < UINT32_MAX)
        return plain;
    const auto index = number(raw.v);
    if (!index || *index < 0 || *index != std::floor(*index) || *index >= UINT32_MAX)
        throw damagedCell(where, "points at a shared string that does not exist");
    return static_cast<std::uint32_t>(*index);
}

CellValue cellValueOf(const RawCell& raw, bool date1904, CellPos where)
{
    const auto damaged = [&](const std::string& what) { return damagedCell(where, what); };
    const std::string_view t = raw.type;
    if (t == "inlineStr" || (raw.hasInline && !raw.hasV))
        return raw.hasInline ? CellValue::ofText(decodeEscapes(raw.inlineText)) : CellValue{};
    if (!raw.hasV || (t != "str" && trimmed(raw.v).empty()))
        return {};
    if (t == "s")
        return {}; // sharedStringOf's

    if (t == "str")
        return CellValue::ofText(decodeEscapes(raw.v));
    if (t == "b") {
        const auto v = trimmed(raw.v);
        if (v != "0" && v != "1" && v != "true" && v != "false")
            throw damaged("holds a truth value that cannot be read");
        return CellValue::ofBoolean(v == "1" || v == "true");
    }
    if (t == "e") {
        const auto code = errorCode(trimmed(raw.v));
        return code ? CellValue::ofError(*code) : CellValue::ofText(std::string(trimmed(raw.v)));
    }
    if (t == "d") {
        const auto serial = isoDateSerial(raw.v, date1904);
        if (!serial)
            throw damaged("holds a date that cannot be read");
        return CellValue::ofNumber(*serial);
    }
    if (!t.empty() && t != "n")
        throw damaged("has an unknown type \"" + std::string(t) + "\"");
    const auto v = number(raw.v);
    if (!v)
        throw damaged("holds a number that cannot be read");
    return CellValue::ofNumber(*v);
}

} // namespace zelvano::xls
