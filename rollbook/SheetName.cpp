#include "rollbook/SheetName.h"

#include "rollbook/CellValue.h"

#include <algorithm>

namespace zelvano::xls
{

namespace
{

constexpr std::size_t kMaxNameUnits = 31;

// Excel compares sheet names without regard to case; ASCII letters are the
// ones a roll book's names differ in by case.
std::string folded(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return out;
}

} // namespace

SheetNameProblem checkSheetName(std::string_view utf8, const std::vector<std::string>& existing)
{
    if (utf8.empty())
        return SheetNameProblem::Empty;
    if (utf16Units(utf8) > kMaxNameUnits)
        return SheetNameProblem::TooLong;
    if (utf8.find_first_of(":\\/?*[]") != std::string_view::npos)
        return SheetNameProblem::BadCharacter;
    if (utf8.front() == '\'' || utf8.back() == '\'')
        return SheetNameProblem::EdgeApostrophe;
    const std::string name = folded(utf8);
    if (name == "history")
        return SheetNameProblem::Reserved;
    for (const std::string& other : existing)
        if (folded(other) == name)
            return SheetNameProblem::Taken;
    return SheetNameProblem::None;
}

} // namespace zelvano::xls
