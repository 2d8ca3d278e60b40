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

// Takes flock without blocking, asking `mayWait` between tries; closing the
// descriptor releases it.
class Locked
{
public:
    Locked(int fd, const std::function<bool()>& mayWait) : m_fd(fd)
    {
        for (;;) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_held = true;
                return;
            }
            if (errno == EINTR)
                continue;
            m_busy = errno == EWOULDBLOCK;
            if (!m_busy || !mayWait())
                return;
        }
    }
    ~Locked()
    {
        if (m_held)
            ::flock(m_fd, LOCK_UN);
    }
    bool held() const { return m_held; }
    bool busy() const { return m_busy; }

private:
    int m_fd;
    bool m_held = false;
    bool m_busy = false;
};

// Writes at the end of the file, taking back a write that fails half way.
Appended appendAtEnd(int fd, const std::string& header, const std::string& lines,
                     std::string& error)
{
    struct stat st {
    };
    if (::fstat(fd, &st) != 0) {
        error = std::strerror(errno);
        return Appended::Failed;
    }
    const std::string bytes = st.st_size == 0 ? header + lines : lines;
    if (writeAll(fd, bytes) && ::fsync(fd) == 0)
        return Appended::Written;
    error = std::strerror(errno);
    // Under the lock no other writer appended since the size was read.
    if (::ftruncate(fd, st.st_size) == 0)
        ::fsync(fd);
    return Appended::Failed;
}

} // namespace

Appended appendLocked(const std::filesystem::path& path, const std::string& header,
                      const std::string& lines, const std::function<bool()>& mayWait,
                      std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return Appended::Failed;
    }
    Appended result = Appended::Failed;
    {
        Locked lock(fd, mayWait);
        if (lock.held())
            result = appendAtEnd(fd, header, lines, error);
        else if (lock.busy())
            result = Appended::Busy;
        else
            error = std::strerror(errno);
    }
    ::close(fd);
    return result;
}

} // namespace zelvano::recordfile
