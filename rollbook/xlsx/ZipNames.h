#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvano::xls
{

// A ZIP entry name as the package uses it: backslashes read as '/'. Empty
// when the name tries to leave the package (absolute, a drive letter, a ".."
// step) or holds a NUL.
std::optional<std::string> normalizedEntryName(std::string_view raw);

// Part names compare without regard to ASCII case: "xl/SharedStrings.xml"
// is the part "xl/sharedStrings.xml".
std::string foldedName(std::string_view name);

} // namespace zelvano::xls
