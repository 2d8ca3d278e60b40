#pragma once

#include "rollbook/cfb/CompoundFile.h"

#include <cstdint>
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

// A program found holding a file: `pid` 0 when the system tells only that
// the file is held, not by whom.
struct HeldBy {
    bool held = false;
    std::int64_t pid = 0;
    std::string image; // the executable's name, when known
};

// Whether another process of this user holds `path` open. On Windows: open
// with sharing denied, as Excel keeps its owner file.
HeldBy processHoldingFile(const std::filesystem::path& path);

// Whether the owner file "~$NAME" of Excel or WPS belongs to a program of
// this user that still edits the document, rather than being left behind by
// a crash.
HeldBy ownerFileHolder(const std::filesystem::path& ownerFile);

// A running process of `user` (empty: of this user) whose program name is
// one of `names` (compared without case, without ".exe"). When `profile`
// is not empty, a LibreOffice started with another profile
// ("-env:UserInstallation=...") is not it. pid 0 when none runs.
HeldBy findProgram(std::initializer_list<std::string_view> names, std::string_view user,
                   std::string_view profile = {});

// The user this program runs as.
std::string currentUser();

// The system's error `code` (errno, or GetLastError on Windows) as a short
// Chinese phrase for the teacher: "磁盘空间已满", "没有写入权限".
std::string systemErrorText(int code);

// This computer's name as LibreOffice writes it into its lock files.
std::string hostName();

} // namespace zelvano::xls::platform
