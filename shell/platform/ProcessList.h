#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvano::platform
{

struct ProcessInfo {
    std::int64_t pid = 0;
    // The executable's file name (UTF-8), e.g. "EXCEL.EXE" or "soffice.bin",
    // or the name the system gives the application ("Microsoft Excel").
    std::string imageName;
};

// Every process the system lets us see.
std::vector<ProcessInfo> listProcesses();

// Asks a process of this user to close, as closing its windows would
// (SIGTERM; WM_CLOSE to its windows on Windows), so that it may ask to save
// first. Never forces it. False when it could not be asked.
bool askProcessToClose(std::int64_t pid);

// Whether the process still runs (a process that has ended but was not yet
// collected by its parent does not).
bool isProcessRunning(std::int64_t pid);

std::int64_t currentProcessId();

// Processes of this user (in this session on Windows) that hold `utf8Path`
// open, where the system can tell; empty where it cannot.
std::vector<ProcessInfo> processesHoldingFile(const std::string& utf8Path);

} // namespace zelvano::platform
