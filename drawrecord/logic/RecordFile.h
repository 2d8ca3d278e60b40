#pragma once

#include <filesystem>
#include <string>

// Appending to a file that several windows and program instances share.
// One file implements it for POSIX, one for Windows; CMake picks which.
namespace zelvano::recordfile
{

// Appends `line` to `path` under an exclusive lock of the operating system,
// creating the file when missing. A file that is new or empty first gets
// `header` (decided under the same lock, so it is written once even when
// two programs create the file together). The bytes are flushed to the disk
// before the lock is released. Nothing already in the file is changed.
// On failure returns false and says why in `error`.
bool appendLocked(const std::filesystem::path& path, const std::string& header,
                  const std::string& line, std::string& error);

} // namespace zelvano::recordfile
