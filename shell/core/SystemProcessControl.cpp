#include "shell/core/SystemProcessControl.h"

#include "shell/platform/ProcessList.h"

#include <algorithm>

namespace zelvano
{

bool sameImageName(const std::string& a, const std::string& b)
{
    return platform::programName(a) == platform::programName(b);
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

std::string programTitle(const std::string& imageName)
{
    static const struct {
        const char* image;
        const char* title;
    } known[] = {{"soffice.bin", "LibreOffice Calc"},
                 {"soffice", "LibreOffice Calc"},
                 {"scalc", "LibreOffice Calc"},
                 {"et", "WPS 表格"},
                 {"wps", "WPS Office"},
                 {"excel", "Excel"}};
    for (const auto& entry : known) {
        if (sameImageName(imageName, entry.image))
            return entry.title;
    }
    return imageName;
}

std::vector<FileHolder> SystemProcessControl::processesHoldingFile(const std::string& utf8Path)
{
    std::vector<FileHolder> holders;
    const std::int64_t self = platform::currentProcessId();
    for (const platform::ProcessInfo& process : platform::processesHoldingFile(utf8Path)) {
        if (process.pid != self)
            holders.push_back({process.pid, programTitle(process.imageName)});
    }
    return holders;
}

bool SystemProcessControl::askToClose(std::int64_t pid)
{
    return pid != platform::currentProcessId() && platform::askProcessToClose(pid);
}

bool SystemProcessControl::isRunning(std::int64_t pid)
{
    return platform::isProcessRunning(pid);
}

} // namespace zelvano
