#include "rollbook/xlsx/CellRef.h"

namespace zelvano::xls
{

std::optional<int> parseColumnName(std::string_view letters)
{
    if (letters.empty() || letters.size() > 3)
        return std::nullopt;
    int col = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            return std::nullopt;
        col = col * 26 + (c - 'A' + 1);
    }
    if (col > kXlsxMaxColumn)
        return std::nullopt;
    return col;
}

std::string columnName(int col)
{
    std::string out;
    while (col > 0) {
        const int digit = (col - 1) % 26;
        out.insert(out.begin(), static_cast<char>('A' + digit));
        col = (col - 1) / 26;
    }
    return out;
}

std::optional<CellPos> parseCellRef(std::string_view ref)
{
    std::size_t i = 0;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z')))
        ++i;
    const auto col = parseColumnName(ref.substr(0, i));
    if (!col || i == ref.size() || ref[i] == '0' || ref.size() - i > 7)
        return std::nullopt;
    int row = 0;
    for (std::size_t j = i; j < ref.size(); ++j) {
        if (ref[j] < '0' || ref[j] > '9')
            return std::nullopt;
        row = row * 10 + (ref[j] - '0');
    }
    if (row < 1 || row > kXlsxMaxRow)
        return std::nullopt;
    return CellPos{row, *col};
}

std::string cellRefText(CellPos pos)
{
    return columnName(pos.col) + std::to_string(pos.row);
}

std::optional<CellRange> parseRange(std::string_view ref)
{
    const auto colon = ref.find(':');
    const auto first = parseCellRef(ref.substr(0, colon));
    if (!first)
        return std::nullopt;
    if (colon == std::string_view::npos)
        return CellRange{*first, *first};
    const auto last = parseCellRef(ref.substr(colon + 1));
    if (!last || last->row < first->row || last->col < first->col)
        return std::nullopt;
    return CellRange{*first, *last};
}

std::string rangeText(const CellRange& range)
{
    if (range.first == range.last)
        return cellRefText(range.first);
    return cellRefText(range.first) + ":" + cellRefText(range.last);
}

} // namespace zelvano::xls
