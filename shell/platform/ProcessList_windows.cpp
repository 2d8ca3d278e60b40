#include "shell/platform/ProcessList.h"

// windows.h must come before the other system headers.
#include <windows.h>

#include <restartmanager.h>
#include <tlhelp32.h>

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

namespace
{

std::wstring toWide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring out(static_cast<size_t>(length - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), length);
    return out;
}

} // namespace

// The Restart Manager knows which processes hold a file, so only they are
// ended, never a spreadsheet the person opened on another file.
std::vector<std::int64_t> processesHoldingFile(const std::string& utf8Path)
{
    std::vector<std::int64_t> holders;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (RmStartSession(&session, 0, key) != ERROR_SUCCESS)
        return holders;
    std::wstring path = toWide(utf8Path);
    LPCWSTR files[] = {path.c_str()};
    if (RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        UINT needed = 0;
        UINT count = 0;
        DWORD reasons = 0;
        DWORD status = RmGetList(session, &needed, &count, nullptr, &reasons);
        if (status == ERROR_MORE_DATA && needed > 0) {
            std::vector<RM_PROCESS_INFO> infos(needed);
            count = needed;
            if (RmGetList(session, &needed, &count, infos.data(), &reasons) == ERROR_SUCCESS) {
                for (UINT i = 0; i < count; ++i)
                    holders.push_back(static_cast<std::int64_t>(infos[i].Process.dwProcessId));
            }
        }
    }
    RmEndSession(session);
    return holders;
}

} // namespace zelvano::platform
