#include "drawrecord/logic/RecordFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvano::recordfile
{

namespace
{

bool writeAll(int fd, const std::string& bytes)
{
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Holds flock on an open descriptor; closing releases it.
class Locked
{
public:
    explicit Locked(int fd) : m_fd(fd)
    {
        int rc;
        do
            rc = ::flock(m_fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        m_held = rc == 0;
    }
    ~Locked()
    {
        if (m_held)
            ::flock(m_fd, LOCK_UN);
    }
    bool held() const { return m_held; }

private:
    int m_fd;
    bool m_held = false;
};

} // namespace

bool appendLocked(const std::filesystem::path& path, const std::string& header,
                  const std::string& line, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = false;
    {
        Locked lock(fd);
        struct stat st {
        };
        if (!lock.held() || ::fstat(fd, &st) != 0) {
            error = std::strerror(errno);
        } else {
            const std::string bytes = st.st_size == 0 ? header + line : line;
            ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
            if (!ok)
                error = std::strerror(errno);
        }
    }
    ::close(fd);
    return ok;
}

} // namespace zelvano::recordfile
