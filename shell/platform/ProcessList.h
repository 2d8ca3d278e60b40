#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The one scanner of running processes and the files they hold, for the roll
// book (who holds the file, is LibreOffice still running) and the shell (name
// the holder, ask it to close). Plain C++: the workbook engine uses it too.
namespace zelvano::platform
{

struct ProcessInfo {
    std::int64_t pid = 0;
    // The executable's file name (UTF-8) as the system gives it, e.g.
    // "EXCEL.EXE", "soffice.bin", or the application's name ("Microsoft
    // Excel") where the Restart Manager names the holder.
    std::string imageName;
    // The arguments separated by NUL characters, the program first, where
    // the system tells them (Linux); empty elsewhere.
    std::string commandLine;
};

// The running processes of `user` (empty: of this user; on Windows always
// this session's), this process left out. On Linux the name is the command
// line's first word, so a program under Wine is known by its Windows name;
// kernel threads and ended processes, which have none, are left out.
std::vector<ProcessInfo> listProcesses(std::string_view user = {});

// The form in which program names are compared: the file name without its
// folder, in lower case, without ".exe" ("C:\\Office\\EXCEL.EXE" -> "excel").
std::string programName(std::string_view imageName);

// Asks a process of this user to close, as closing its windows would
// (SIGTERM; WM_CLOSE to its windows on Windows), so that it may ask to save
// first. Never forces it. False when it could not be asked.
bool askProcessToClose(std::int64_t pid);

// Whether the process still runs (a process that has ended but was not yet
// collected by its parent does not).
bool isProcessRunning(std::int64_t pid);

std::int64_t currentProcessId();

// Processes of this user (in this session on Windows), this process left
// out, that hold `utf8Path` open, where the system can tell; empty where it
// cannot.
std::vector<ProcessInfo> processesHoldingFile(const std::string& utf8Path);

} // namespace zelvano::platform
