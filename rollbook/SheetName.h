#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelvano::xls
{

// What keeps a text from naming a new sheet, by the rules Excel applies
// when a sheet is named.
enum class SheetNameProblem {
    None,
    Empty,
    TooLong,        // more than 31 characters
    BadCharacter,   // one of : \ / ? * [ ]
    EdgeApostrophe, // begins or ends with '
    Reserved,       // "History", which Excel keeps for itself
    Taken,          // a sheet of that name, capitals aside, is there already
};

// `utf8` as the name of a sheet added beside `existing` (every sheet's name).
SheetNameProblem checkSheetName(std::string_view utf8, const std::vector<std::string>& existing);

} // namespace zelvano::xls
