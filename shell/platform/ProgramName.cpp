#include "shell/platform/ProcessList.h"

namespace zelvano::platform
{

std::string programName(std::string_view imageName)
{
    // Both separators: Wine shows Windows paths on Linux command lines.
    const auto slash = imageName.find_last_of("/\\");
    if (slash != std::string_view::npos)
        imageName.remove_prefix(slash + 1);
    std::string name(imageName);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (name.size() > 4 && name.ends_with(".exe"))
        name.resize(name.size() - 4);
    return name;
}

} // namespace zelvano::platform
