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

std::vector<std::int64_t> processesNamed(const std::vector<platform::ProcessInfo>& processes,
                                         const std::string& imageName, std::int64_t self)
{
    std::vector<std::int64_t> found;
    if (imageName.empty())
        return found;
    for (const auto& process : processes) {
        if (process.pid != self && sameImageName(process.imageName, imageName))
            found.push_back(process.pid);
    }
    return found;
}

int SystemProcessControl::terminateProcesses(const std::string& imageName)
{
    int ended = 0;
    for (std::int64_t pid :
         processesNamed(platform::listProcesses(), imageName, platform::currentProcessId())) {
        if (platform::terminateProcess(pid))
            ++ended;
    }
    return ended;
}

std::vector<std::int64_t> SystemProcessControl::processesHoldingFile(const std::string& utf8Path)
{
    std::vector<std::int64_t> holders;
    const std::int64_t self = platform::currentProcessId();
    for (std::int64_t pid : platform::processesHoldingFile(utf8Path)) {
        if (pid != self)
            holders.push_back(pid);
    }
    return holders;
}

bool SystemProcessControl::terminateProcess(std::int64_t pid)
{
    return pid != platform::currentProcessId() && platform::terminateProcess(pid);
}

} // namespace zelvano
