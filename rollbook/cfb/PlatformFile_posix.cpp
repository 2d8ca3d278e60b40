#include "rollbook/XlsError.h"
#include "rollbook/cfb/PlatformFile.h"
#include "shell/platform/ProcessList.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zelvano::xls::platform
{

namespace fs = std::filesystem;

namespace
{

// The file a temporary ".NAME.zelvano-tmp-XXXX" stands in for, so that a
// message names the roll book rather than our temporary file.
std::string shownName(const fs::path& path)
{
    std::string name = path.filename().string();
    const auto marker = name.find(".zelvano-tmp-");
    if (name.starts_with(".") && marker != std::string::npos)
        name = name.substr(1, marker - 1);
    return name;
}

[[noreturn]] void failErrno(const std::string& what, const fs::path& path)
{
    const int code = errno;
    throw XlsError(what + " " + shownName(path) + "：" + systemErrorText(code));
}

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

fs::path folderOf(const fs::path& path)
{
    const fs::path parent = path.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

} // namespace

void writeNewFileDurably(const fs::path& path, const Bytes& bytes, const fs::path& modeFrom)
{
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        failErrno("无法创建临时文件", path);
    struct stat st {
    };
    if (!modeFrom.empty() && ::stat(modeFrom.c_str(), &st) == 0)
        ::fchmod(fd.get(), st.st_mode & 07777);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failErrno("无法写入", path);
        done += std::size_t(n);
    }
    if (::fsync(fd.get()) != 0)
        failErrno("无法写入磁盘", path);
    if (::close(fd.release()) != 0)
        failErrno("无法写入", path);
}

void replaceFileDurably(const fs::path& from, const fs::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        failErrno("无法保存", to);
    // The rename itself lives in the folder; without this a power cut can
    // bring back the old name.
    Fd dir(::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

WriteProbe probeWrite(const fs::path& path)
{
    struct stat st {
    };
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? WriteProbe::Missing : WriteProbe::Failed;
    if (S_ISDIR(st.st_mode))
        return WriteProbe::Failed;
    // A file nobody may write is read-only as the teacher marked it, even
    // for root, who could write it anyway.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return WriteProbe::FileReadOnly;
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return WriteProbe::FileReadOnly;
        if (errno == ETXTBSY || errno == EBUSY)
            return WriteProbe::InUse;
        return WriteProbe::Failed;
    }
    // Saving replaces the file by renaming, which the folder must allow.
    if (::access(folderOf(path).c_str(), W_OK) != 0)
        return WriteProbe::FolderReadOnly;
    return WriteProbe::Writable;
}

HeldBy processHoldingFile(const fs::path& path)
{
    const auto holders = ::zelvano::platform::processesHoldingFile(path.string());
    if (holders.empty())
        return {};
    return {true, holders.front().pid, ::zelvano::platform::programName(holders.front().imageName)};
}

HeldBy ownerFileHolder(const fs::path& ownerFile)
{
    if (HeldBy holder = processHoldingFile(ownerFile); holder.held)
        return holder;
    // WPS for Linux does not keep the owner file open: a recent one counts
    // while a WPS or Excel (under Wine) process of this user runs.
    std::error_code ec;
    const auto age = fs::file_time_type::clock::now() - fs::last_write_time(ownerFile, ec);
    if (ec || age >= std::chrono::hours(12))
        return {};
    return findProgram({"et", "wps", "wpp", "wpsoffice", "excel"}, "");
}

std::string currentUser()
{
    const passwd* pw = ::getpwuid(::geteuid());
    return pw ? pw->pw_name : "";
}

std::string systemErrorText(int code)
{
    switch (code) {
    case ENOSPC:
        return "磁盘空间已满";
    case EDQUOT:
        return "超出了磁盘配额";
    case EROFS:
        return "磁盘是只读的";
    case EACCES:
    case EPERM:
        return "没有写入权限";
    case ENOENT:
        return "文件夹已不存在";
    case ENOTDIR:
        return "路径中的文件夹已不存在";
    case EISDIR:
        return "这是一个文件夹";
    case EBUSY:
    case ETXTBSY:
        return "文件正被另一个程序使用";
    case EIO:
        return "磁盘读写出错";
    case EFBIG:
        return "文件太大";
    case ENAMETOOLONG:
        return "文件名太长";
    case EXDEV:
        return "不能跨磁盘移动文件";
    case ENODEV:
    case ENXIO:
        return "磁盘已被拔出或不可用";
    default:
        break;
    }
    return "系统错误 " + std::to_string(code);
}

std::string hostName()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return {};
    return buf;
}

} // namespace zelvano::xls::platform
