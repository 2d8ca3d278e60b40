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

// Takes the lock without blocking, asking `mayWait` between tries.
bool lockWhole(HANDLE file, OVERLAPPED& whole, const std::function<bool()>& mayWait, bool& busy)
{
    for (;;) {
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                         MAXDWORD, &whole))
            return true;
        busy = ::GetLastError() == ERROR_LOCK_VIOLATION;
        if (!busy || !mayWait())
            return false;
    }
}

// Writes at the end of the file, taking back a write that fails half way.
// Under the lock no other writer appends, so the end read stays the end.
bool appendAtEnd(HANDLE file, const std::string& header, const std::string& lines)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || !::SetFilePointerEx(file, size, nullptr, FILE_BEGIN))
        return false;
    if (writeAll(file, size.QuadPart == 0 ? header + lines : lines) && ::FlushFileBuffers(file))
        return true;
    const DWORD code = ::GetLastError();
    if (::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file))
        ::FlushFileBuffers(file);
    ::SetLastError(code);
    return false;
}

} // namespace

Appended appendLocked(const std::filesystem::path& path, const std::string& header,
                      const std::string& lines, const std::function<bool()>& mayWait,
                      std::string& error)
{
    // Write access (not append-only) so a failed write can be cut off again.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        return Appended::Failed;
    }
    OVERLAPPED whole{};
    bool busy = false;
    Appended result = Appended::Failed;
    if (!lockWhole(file, whole, mayWait, busy)) {
        if (busy)
            result = Appended::Busy;
        else
            error = lastError();
    } else {
        if (appendAtEnd(file, header, lines))
            result = Appended::Written;
        else
            error = lastError();
        ::UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    }
    ::CloseHandle(file);
    return result;
}

} // namespace zelvano::recordfile
