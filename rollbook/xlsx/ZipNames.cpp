#include "rollbook/xlsx/ZipNames.h"

namespace zelvano::xls
{

std::optional<std::string> normalizedEntryName(std::string_view raw)
{
    std::string name(raw);
    for (char& c : name) {
        if (c == '\\')
            c = '/';
        if (c == '\0')
            return std::nullopt;
    }
    if (name.empty() || name.front() == '/')
        return std::nullopt;
    if (name.size() >= 2 && name[1] == ':')
        return std::nullopt;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return std::nullopt;
        start = end + 1;
    }
    return name;
}

std::string foldedName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace zelvano::xls
