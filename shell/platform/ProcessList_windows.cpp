#include "shell/platform/ProcessList.h"

#include <tlhelp32.h>
#include <windows.h>

namespace zelvano::platform
{

namespace
{

std::string toUtf8(const wchar_t* text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string out(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    return out;
}

} // namespace

std::vector<ProcessInfo> listProcesses()
{
    std::vector<ProcessInfo> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        processes.push_back(
            {static_cast<std::int64_t>(entry.th32ProcessID), toUtf8(entry.szExeFile)});
    }
    CloseHandle(snapshot);
    return processes;
}

bool terminateProcess(std::int64_t pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool ended = TerminateProcess(process, 1) != 0;
    CloseHandle(process);
    return ended;
}

std::int64_t currentProcessId()
{
    return static_cast<std::int64_t>(GetCurrentProcessId());
}

} // namespace zelvano::platform
