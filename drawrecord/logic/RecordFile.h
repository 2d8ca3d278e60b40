#pragma once

#include <filesystem>
#include <functional>
#include <string>

// Appending to a file that several windows and program instances share.
// One file implements it for POSIX, one for Windows; CMake picks which.
namespace zelvano::recordfile
{

enum class Appended {
    Written,
    Busy,   // another writer held the lock as long as `mayWait` allowed
    Failed, // the file could not be opened or written; it is as it was
};

// Appends `lines` to `path` under an exclusive lock of the operating system,
// creating the file when missing. A file that is new or empty first gets
// `header` (decided under the same lock, so it is written once even when
// two programs create the file together). The bytes are flushed to the disk
// before the lock is released. Nothing already in the file is changed, and
// a write that fails half way (a full disk) is taken back, so the file is
// left exactly as it was.
// While another writer holds the lock, `mayWait` is asked before each new
// try: it lets some time pass and returns true, or returns false to give up.
// On Failed, says why in `error`.
Appended appendLocked(const std::filesystem::path& path, const std::string& header,
                      const std::string& lines, const std::function<bool()>& mayWait,
                      std::string& error);

} // namespace zelvano::recordfile
