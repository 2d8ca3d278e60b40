#include "shell/core/SystemProcessControl.h"

#include "shell/platform/ProcessList.h"

#include <algorithm>

namespace zelvano
{

bool sameImageName(const std::string& a, const std::string& b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

int SystemProcessControl::terminateProcesses(const std::string& imageName)
{
    if (imageName.empty())
        return 0;
    const std::int64_t self = platform::currentProcessId();
    int ended = 0;
    for (const auto& process : platform::listProcesses()) {
        if (process.pid == self || !sameImageName(process.imageName, imageName))
            continue;
        if (platform::terminateProcess(process.pid))
            ++ended;
    }
    return ended;
}

} // namespace zelvano
