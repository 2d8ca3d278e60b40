#include "rollbook/xlsx/XlsxText.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace zelvano::xls
{

namespace
{

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code unit of an escape "_xHHHH_" at `at`, if there is one.
std::optional<std::uint32_t> escapeAt(std::string_view text, std::size_t at)
{
    if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_')
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int h = hexValue(text[i]);
        if (h < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(h);
    }
    return value;
}

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isHighSurrogate(std::uint32_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLowSurrogate(std::uint32_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Characters XML 1.0 cannot hold, and CR, which an XML reader turns into LF.
bool mustEscape(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n';
}

void appendEscape(std::string& out, unsigned value)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "_x%04X_", value);
    out += buf;
}

} // namespace

std::string decodeEscapes(std::string_view text)
{
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto unit = escapeAt(text, i);
        if (!unit) {
            out += text[i++];
            continue;
        }
        i += 7;
        std::uint32_t cp = *unit;
        if (isHighSurrogate(cp)) {
            const auto low = escapeAt(text, i);
            if (low && isLowSurrogate(*low)) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
                i += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (isLowSurrogate(cp)) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string escapeMarkup(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string encodeForXml(std::string_view utf8)
{
    std::string escaped;
    escaped.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (mustEscape(c))
            appendEscape(escaped, c);
        else if (c == '_' && escapeAt(utf8, i))
            escaped += "_x005F_";
        else if (c == 0xEF && i + 2 < utf8.size() && utf8[i + 1] == '\xBF' &&
                 (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            // U+FFFE and U+FFFF are no XML characters either.
            appendEscape(escaped, utf8[i + 2] == '\xBE' ? 0xFFFE : 0xFFFF);
            i += 2;
        } else
            escaped += static_cast<char>(c);
    }
    return escapeMarkup(escaped);
}

bool needsSpacePreserve(std::string_view text)
{
    if (text.empty())
        return false;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return space(text.front()) || space(text.back());
}

} // namespace zelvano::xls
