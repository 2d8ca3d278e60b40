#include "shell/platform/ProcessList.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvano::platform
{

namespace
{

std::string baseName(std::string_view path)
{
    const auto slash = path.find_last_of("/\\"); // Wine shows Windows paths
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string readAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The command line's first word, so that a program under Wine is known by
// its Windows name rather than as wine64-preloader (and /proc/PID/comm is
// cut at 15 characters).
std::string imageNameOf(const std::string& commandLine)
{
    return baseName(commandLine.substr(0, commandLine.find('\0')));
}

bool uidOf(std::string_view user, uid_t& uid)
{
    if (user.empty()) {
        uid = ::geteuid();
        return true;
    }
    const passwd* pw = ::getpwnam(std::string(user).c_str());
    if (pw)
        uid = pw->pw_uid;
    return pw != nullptr;
}

bool ownedByThisUser(std::int64_t pid)
{
    struct stat st {
    };
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &st) == 0 && st.st_uid == ::geteuid();
}

bool holdsInode(const std::string& fdDir, const struct stat& target)
{
    DIR* fds = opendir(fdDir.c_str());
    if (!fds)
        return false;
    bool held = false;
    while (const dirent* entry = readdir(fds)) {
        struct stat st {
        };
        if (entry->d_name[0] != '.' && ::stat((fdDir + "/" + entry->d_name).c_str(), &st) == 0 &&
            st.st_dev == target.st_dev && st.st_ino == target.st_ino) {
            held = true;
            break;
        }
    }
    closedir(fds);
    return held;
}

} // namespace

std::vector<ProcessInfo> listProcesses(std::string_view user)
{
    std::vector<ProcessInfo> processes;
    uid_t uid = 0;
    if (!uidOf(user, uid))
        return processes;
    DIR* proc = opendir("/proc");
    if (!proc)
        return processes;
    const pid_t self = getpid();
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self)
            continue;
        const std::string dir = std::string("/proc/") + entry->d_name;
        struct stat st {
        };
        if (::stat(dir.c_str(), &st) != 0 || st.st_uid != uid)
            continue;
        // Kernel threads and ended processes have no command line: they
        // neither hold nor edit a document.
        std::string commandLine = readAll(dir + "/cmdline");
        std::string name = imageNameOf(commandLine);
        if (!name.empty())
            processes.push_back({pid, std::move(name), std::move(commandLine)});
    }
    closedir(proc);
    return processes;
}

bool askProcessToClose(std::int64_t pid)
{
    // Only our own user's programs: as root, another teacher's LibreOffice
    // would otherwise be ours to end.
    if (pid <= 0 || !ownedByThisUser(pid))
        return false;
    return kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

bool isProcessRunning(std::int64_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line))
        return false;
    // "PID (name) S ...": the state follows the last parenthesis.
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' &&
           line[close + 2] != 'X';
}

std::int64_t currentProcessId()
{
    return getpid();
}

std::vector<ProcessInfo> processesHoldingFile(const std::string& utf8Path)
{
    std::vector<ProcessInfo> holders;
    struct stat target {
    };
    if (::stat(utf8Path.c_str(), &target) != 0)
        return holders;
    for (auto& process : listProcesses()) {
        if (holdsInode("/proc/" + std::to_string(process.pid) + "/fd", target))
            holders.push_back(std::move(process));
    }
    return holders;
}

} // namespace zelvano::platform
