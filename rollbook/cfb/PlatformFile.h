#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

// The operating-system services that saving and lock detection need. One
// file implements them for POSIX, one for Windows; CMake picks which.
namespace zelvano::xls::platform
{

// Creates `path`, which must not exist yet, writes `bytes` and flushes them
// to the disk. When `modeFrom` names an existing file its permissions are
// copied. Throws XlsError; a partly written file may then be left behind.
void writeNewFileDurably(const std::filesystem::path& path, const Bytes& bytes,
                         const std::filesystem::path& modeFrom);

// Puts `from` in place of `to` in one step and flushes the change to disk.
// Retries for about a second while another program briefly holds `to`.
// Throws XlsError; `to` is then unchanged.
void replaceFileDurably(const std::filesystem::path& from, const std::filesystem::path& to);

enum class WriteProbe { Writable, Missing, FileReadOnly, FolderReadOnly, InUse, Failed };

// Whether `path` could be opened for writing, without truncating or
// changing it, and whether its folder allows replacing it.
WriteProbe probeWrite(const std::filesystem::path& path);

// Whether some process holds `path` open. On Windows: open with sharing
// denied, as Excel keeps its owner file.
bool isFileHeldOpen(const std::filesystem::path& path);

// Whether the owner file "~$NAME" of Excel or WPS belongs to a program that
// still edits the document, rather than being left behind by a crash.
bool isOwnerFileLive(const std::filesystem::path& ownerFile);

// Whether a process runs whose program name is one of `names` (compared
// without case, without ".exe"), and, when `user` is not empty, that runs
// as that user.
bool isProcessRunning(std::initializer_list<std::string_view> names, std::string_view user);

// This computer's name as LibreOffice writes it into its lock files.
std::string hostName();

} // namespace zelvano::xls::platform
