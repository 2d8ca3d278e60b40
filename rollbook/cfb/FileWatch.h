#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zelvano::xls
{

// What identifies one version of a file on disk, to notice when another
// program saved over it after we read it.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t contentHash = 0;
    bool operator==(const FileStamp&) const = default;
};

// The size and modification time of `path`, and the hash of its bytes read
// now. Throws XlsError when the file cannot be read.
FileStamp stampOf(const std::filesystem::path& path);
// Only the size and modification time, with no hash: taken before a read,
// the hash of the bytes read completes it; taken after a save, the hash of
// the bytes written. Throws XlsError for a missing file.
FileStamp statOf(const std::filesystem::path& path);

enum class WriteProblem { None, Missing, FolderGone, ReadOnly, FolderReadOnly, Held, Failed };

// Why a roll book cannot be written right now, if at all.
struct WriteAccess {
    bool readOnly = false;
    std::string reason; // one line for a person; empty when writable
    WriteProblem problem = WriteProblem::None;
    // For Held: the program's executable ("soffice.bin", "et") and its
    // process, 0 when it runs elsewhere or for another user.
    std::string image;
    std::int64_t pid = 0;
    // Who, where the program runs elsewhere: "张老师，电脑 classroom-pc".
    std::string owner;
};

// Whether `path` can be written by us: not read-only by its permissions, and
// not held open for editing by a live Excel/WPS (owner file "~$NAME") or
// LibreOffice (lock file ".~lock.NAME#") or, on Windows, by a sharing
// violation. A lock file left behind by a program that crashed does not count:
// one from this computer counts only while a LibreOffice of its user (and
// profile) runs, an owner file only while a program of this user holds it.
// A missing file is reported as not writable.
WriteAccess checkWriteAccess(const std::filesystem::path& path);

} // namespace zelvano::xls
