#pragma once

#include <string>
#include <string_view>

namespace zelvano::xls
{

// Text in SpreadsheetML cells and shared strings: characters XML cannot
// carry (CR, other control characters) are written as "_xHHHH_", and a
// literal "_xHHHH_" in the text as "_x005F_xHHHH_".

// "ABC_x000D_" -> "ABC\r"; surrogate pairs combine; a lone surrogate
// becomes U+FFFD; anything not of the form stays as it is.
std::string decodeEscapes(std::string_view text);

// & < > " as entities, nothing else changed: for attribute values and
// formula text.
std::string escapeMarkup(std::string_view text);

// A text ready to stand between <t> and </t>: the escapes above, then
// escapeMarkup. Tab and line feed stay as they are.
std::string encodeForXml(std::string_view utf8);

// Whether <t> must say xml:space="preserve" to keep the text's leading or
// trailing white space.
bool needsSpacePreserve(std::string_view text);

} // namespace zelvano::xls
