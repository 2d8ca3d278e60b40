#include "rollbook/XlsError.h"
#include "rollbook/cfb/PlatformFile.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <utility>

namespace zelvano::xls::platform
{

namespace fs = std::filesystem;

namespace
{

std::string utf8(const std::wstring& w)
{
    if (w.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string shownName(const fs::path& path)
{
    std::string name = utf8(path.filename().wstring());
    const auto marker = name.find(".zelvano-tmp-");
    if (name.starts_with(".") && marker != std::string::npos)
        name = name.substr(1, marker - 1);
    return name;
}

[[noreturn]] void failWin(const std::string& what, const fs::path& path, DWORD error)
{
    throw XlsError(what + " " + shownName(path) + "：" + systemErrorText(int(error)));
}

bool isTransient(DWORD e)
{
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_ACCESS_DENIED;
}

class Handle
{
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_h; }
    bool ok() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(m_h, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_h;
};

} // namespace

void writeNewFileDurably(const fs::path& path, const Bytes& bytes, const fs::path& modeFrom)
{
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (!modeFrom.empty()) {
        const DWORD a = ::GetFileAttributesW(modeFrom.c_str());
        if (a != INVALID_FILE_ATTRIBUTES)
            attributes = a & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (attributes == 0)
            attributes = FILE_ATTRIBUTE_NORMAL;
    }
    Handle h(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    if (!h.ok())
        failWin("无法创建临时文件", path, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD written = 0;
        if (!::WriteFile(h.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            failWin("无法写入", path, ::GetLastError());
        done += written;
    }
    if (!::FlushFileBuffers(h.get()))
        failWin("无法写入磁盘", path, ::GetLastError());
    if (!::CloseHandle(h.release()))
        failWin("无法写入", path, ::GetLastError());
}

void replaceFileDurably(const fs::path& from, const fs::path& to)
{
    // Indexers and virus scanners open a fresh file for a moment; wait for
    // them rather than fail the save.
    DWORD error = 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        error = ::GetLastError();
        if (!isTransient(error))
            break;
        ::Sleep(100);
    }
    failWin("无法保存", to, error);
}

WriteProbe probeWrite(const fs::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD e = ::GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? WriteProbe::Missing
                                                                      : WriteProbe::Failed;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return WriteProbe::Failed;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return WriteProbe::FileReadOnly;
    // OPEN_EXISTING never truncates; sharing everything means only a program
    // that denies writers (Excel, WPS) makes this fail.
    Handle h(::CreateFileW(path.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.ok())
        return WriteProbe::Writable;
    switch (::GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return WriteProbe::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return WriteProbe::FileReadOnly;
    default:
        return WriteProbe::Failed;
    }
}

HeldBy processHoldingFile(const fs::path& path)
{
    // Excel keeps its owner file open with sharing denied; a stale one left
    // by a crash opens fine. Who holds it, the Restart Manager says.
    Handle h(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h.ok())
        return {};
    const DWORD e = ::GetLastError();
    return {e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION, 0, {}};
}

HeldBy ownerFileHolder(const fs::path& ownerFile)
{
    return processHoldingFile(ownerFile);
}

std::string currentUser()
{
    wchar_t buf[257] = {};
    DWORD size = 257;
    return ::GetUserNameW(buf, &size) ? utf8(buf) : std::string();
}

std::string systemErrorText(int code)
{
    switch (DWORD(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "磁盘空间已满";
    case ERROR_WRITE_PROTECT:
        return "磁盘是只读的";
    case ERROR_ACCESS_DENIED:
        return "没有写入权限";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "文件夹已不存在";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "文件正被另一个程序使用";
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return "磁盘已被拔出或不可用";
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        return "磁盘读写出错";
    case ERROR_FILENAME_EXCED_RANGE:
        return "文件名太长";
    default:
        break;
    }
    return "系统错误 " + std::to_string(code);
}

std::string hostName()
{
    wchar_t buf[256] = {};
    DWORD size = 255;
    if (!::GetComputerNameExW(ComputerNameDnsHostname, buf, &size))
        return {};
    return utf8(std::wstring(buf, size));
}

} // namespace zelvano::xls::platform
