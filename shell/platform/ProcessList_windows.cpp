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

namespace
{

DWORD sessionOf(DWORD pid)
{
    DWORD session = 0;
    return ProcessIdToSessionId(pid, &session) ? session : MAXDWORD;
}

struct CloseRequest {
    DWORD pid = 0;
    int asked = 0;
};

BOOL CALLBACK askWindowToClose(HWND window, LPARAM param)
{
    auto* request = reinterpret_cast<CloseRequest*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == request->pid && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ++request->asked;
    }
    return TRUE;
}

} // namespace

// Only programs of this session: a desktop PC has one interactive user, and
// reading another session's token needs rights we do not have.
std::vector<ProcessInfo> listProcesses(std::string_view /*user*/)
{
    std::vector<ProcessInfo> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return processes;
    const DWORD self = GetCurrentProcessId();
    const DWORD ourSession = sessionOf(self);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self || sessionOf(entry.th32ProcessID) != ourSession)
            continue;
        processes.push_back(
            {static_cast<std::int64_t>(entry.th32ProcessID), toUtf8(entry.szExeFile), {}});
    }
    CloseHandle(snapshot);
    return processes;
}

bool askProcessToClose(std::int64_t pid)
{
    const DWORD id = static_cast<DWORD>(pid);
    // Only programs of this session: another user's are not ours to close.
    if (pid <= 0 || sessionOf(id) != sessionOf(GetCurrentProcessId()))
        return false;
    CloseRequest request{id, 0};
    EnumWindows(askWindowToClose, reinterpret_cast<LPARAM>(&request));
    return request.asked > 0;
}

bool isProcessRunning(std::int64_t pid)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
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

// The Restart Manager knows which processes hold a file and how their
// applications are called ("Microsoft Excel"), so the teacher is told the
// very program to close.
std::vector<ProcessInfo> processesHoldingFile(const std::string& utf8Path)
{
    std::vector<ProcessInfo> holders;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (RmStartSession(&session, 0, key) != ERROR_SUCCESS)
        return holders;
    std::wstring path = toWide(utf8Path);
    LPCWSTR files[] = {path.c_str()};
    const DWORD ourSession = sessionOf(GetCurrentProcessId());
    if (RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        UINT needed = 0;
        UINT count = 0;
        DWORD reasons = 0;
        DWORD status = RmGetList(session, &needed, &count, nullptr, &reasons);
        if (status == ERROR_MORE_DATA && needed > 0) {
            std::vector<RM_PROCESS_INFO> infos(needed);
            count = needed;
            if (RmGetList(session, &needed, &count, infos.data(), &reasons) == ERROR_SUCCESS) {
                for (UINT i = 0; i < count; ++i) {
                    if (infos[i].TSSessionId != ourSession ||
                        infos[i].Process.dwProcessId == GetCurrentProcessId())
                        continue;
                    holders.push_back({static_cast<std::int64_t>(infos[i].Process.dwProcessId),
                                       toUtf8(infos[i].strAppName),
                                       {}});
                }
            }
        }
    }
    RmEndSession(session);
    return holders;
}

} // namespace zelvano::platform
