#include "shell/platform/ProcessList.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace zelvano::platform
{

namespace
{

std::string baseName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// /proc/PID/comm is cut at 15 characters, so the executable's own name is
// taken from the exe link, or failing that (another user's process) from the
// first word of the command line.
std::string imageNameOf(const std::string& procDir)
{
    char target[4096];
    const ssize_t length = readlink((procDir + "/exe").c_str(), target, sizeof target - 1);
    if (length > 0) {
        std::string path(target, static_cast<size_t>(length));
        constexpr std::string_view deleted = " (deleted)";
        if (path.size() > deleted.size() && path.ends_with(deleted))
            path.resize(path.size() - deleted.size());
        return baseName(path);
    }
    std::ifstream cmdline(procDir + "/cmdline", std::ios::binary);
    std::string first;
    if (std::getline(cmdline, first, '\0') && !first.empty())
        return baseName(first);
    std::ifstream comm(procDir + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

} // namespace

std::vector<ProcessInfo> listProcesses()
{
    std::vector<ProcessInfo> processes;
    DIR* proc = opendir("/proc");
    if (!proc)
        return processes;
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        std::string name = imageNameOf(std::string("/proc/") + entry->d_name);
        if (!name.empty())
            processes.push_back({pid, std::move(name)});
    }
    closedir(proc);
    return processes;
}

bool terminateProcess(std::int64_t pid)
{
    return kill(static_cast<pid_t>(pid), SIGKILL) == 0 || errno == ESRCH;
}

std::int64_t currentProcessId()
{
    return getpid();
}

std::vector<std::int64_t> processesHoldingFile(const std::string& utf8Path)
{
    std::vector<std::int64_t> holders;
    std::error_code error;
    const auto target = std::filesystem::weakly_canonical(utf8Path, error);
    if (error)
        return holders;
    for (const auto& process : listProcesses()) {
        const std::string fdDir = "/proc/" + std::to_string(process.pid) + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (const dirent* entry = readdir(fds)) {
            char link[4096];
            const std::string fdPath = fdDir + "/" + entry->d_name;
            const ssize_t length = readlink(fdPath.c_str(), link, sizeof link - 1);
            if (length > 0 && target == std::string(link, static_cast<size_t>(length))) {
                holders.push_back(process.pid);
                break;
            }
        }
        closedir(fds);
    }
    return holders;
}

} // namespace zelvano::platform
