#include "drawrecord/logic/RecordFile.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace zelvano::recordfile
{

namespace
{

std::string lastError()
{
    const DWORD code = ::GetLastError();
    char* text = nullptr;
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = text ? text : "error " + std::to_string(code);
    if (text)
        ::LocalFree(text);
    return out;
}

bool writeAll(HANDLE file, const std::string& bytes)
{
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(left > 0x10000000 ? 0x10000000 : left);
        if (!::WriteFile(file, at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

} // namespace

bool appendLocked(const std::filesystem::path& path, const std::string& header,
                  const std::string& line, std::string& error)
{
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end,
    // whatever another writer did since.
    const HANDLE file = ::CreateFileW(
        path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        return false;
    }
    OVERLAPPED whole{};
    bool ok = false;
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        error = lastError();
    } else {
        LARGE_INTEGER size{};
        ok = ::GetFileSizeEx(file, &size) &&
             writeAll(file, size.QuadPart == 0 ? header + line : line) && ::FlushFileBuffers(file);
        if (!ok)
            error = lastError();
        ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    }
    ::CloseHandle(file);
    return ok;
}

} // namespace zelvano::recordfile
