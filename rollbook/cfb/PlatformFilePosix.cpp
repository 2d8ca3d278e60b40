#include "rollbook/XlsError.h"
#include "rollbook/cfb/PlatformFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zelvano::xls::platform
{

namespace fs = std::filesystem;

namespace
{

[[noreturn]] void failErrno(const std::string& what, const fs::path& path)
{
    throw XlsError(what + " " + path.filename().string() + "：" + std::strerror(errno));
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

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string readSmallFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(4096, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    return text;
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

bool isFileHeldOpen(const fs::path& path)
{
    struct stat target {
    };
    if (::stat(path.c_str(), &target) != 0)
        return false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool held = false;
    while (!held) {
        const dirent* pe = ::readdir(proc);
        if (!pe)
            break;
        if (!std::isdigit(static_cast<unsigned char>(pe->d_name[0])))
            continue;
        const std::string fdDir = std::string("/proc/") + pe->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (const dirent* fe = ::readdir(fds)) {
            if (fe->d_name[0] == '.')
                continue;
            struct stat st {
            };
            const std::string link = fdDir + "/" + fe->d_name;
            if (::stat(link.c_str(), &st) == 0 && st.st_dev == target.st_dev &&
                st.st_ino == target.st_ino) {
                held = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return held;
}

bool isProcessRunning(std::initializer_list<std::string_view> names, std::string_view user)
{
    uid_t wantedUid = 0;
    if (!user.empty()) {
        const passwd* pw = ::getpwnam(std::string(user).c_str());
        if (!pw)
            return false;
        wantedUid = pw->pw_uid;
    }
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool found = false;
    while (const dirent* pe = ::readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(pe->d_name[0])))
            continue;
        const std::string dir = std::string("/proc/") + pe->d_name;
        struct stat st {
        };
        if (::stat(dir.c_str(), &st) != 0 || (!user.empty() && st.st_uid != wantedUid))
            continue;
        // /proc/PID/comm is cut at 15 characters; the command line holds the
        // whole program path (wine shows Windows paths there).
        std::string cmd = readSmallFile(dir + "/cmdline");
        cmd = cmd.substr(0, cmd.find('\0'));
        const std::size_t slash = cmd.find_last_of("/\\");
        std::string image = lower(slash == std::string::npos ? cmd : cmd.substr(slash + 1));
        if (image.size() > 4 && image.ends_with(".exe"))
            image.resize(image.size() - 4);
        for (std::string_view n : names)
            if (!image.empty() && image == lower(std::string(n)))
                found = true;
        if (found)
            break;
    }
    ::closedir(proc);
    return found;
}

bool isOwnerFileLive(const fs::path& ownerFile)
{
    if (isFileHeldOpen(ownerFile))
        return true;
    // WPS for Linux does not keep the owner file open: a recent one counts
    // while a WPS or Excel (under Wine) process runs.
    std::error_code ec;
    const auto age = fs::file_time_type::clock::now() - fs::last_write_time(ownerFile, ec);
    return !ec && age < std::chrono::hours(12) &&
           isProcessRunning({"wps", "et", "wpp", "wpsoffice", "excel"}, "");
}

std::string hostName()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return {};
    return buf;
}

} // namespace zelvano::xls::platform
