#include "rollbook/cfb/CfbModel.h"

namespace zelvano::xls::cfb
{

namespace
{

// Simple upper-casing of the scripts that show up in stream and storage
// names (Latin, Greek, Cyrillic); other code units compare as they are.
char16_t upper(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return char16_t(c - 0x20);
    if (c < 0x80)
        return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return char16_t(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return char16_t(c & ~1u);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1u) ? c : char16_t(c - 1);
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return char16_t(c - 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return char16_t(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return char16_t(c - 0x50);
    return c;
}

} // namespace

int compareNames(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = upper(a[i]);
        const char16_t y = upper(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool namesEqualNoCase(const std::u16string& a, const std::u16string& b)
{
    return compareNames(a, b) == 0;
}

std::u16string utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            len = 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                len = 1;
            } else {
                cp = b0 & (0xFF >> (len + 1));
                for (std::size_t k = 1; k < len; ++k) {
                    const auto b = static_cast<unsigned char>(s[i + k]);
                    if ((b & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        len = k;
                        break;
                    }
                    cp = (cp << 6) | (b & 0x3F);
                }
            }
        }
        i += len;
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(cp > 0x10FFFF ? u'\uFFFD' : char16_t(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(const std::u16string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        // A lone surrogate is kept as its own three-byte sequence, so that
        // a name read from a damaged file still finds its stream again.
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace zelvano::xls::cfb
