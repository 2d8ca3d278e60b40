#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvano::platform
{

struct ProcessInfo {
    std::int64_t pid = 0;
    // The executable's file name (UTF-8), e.g. "EXCEL.EXE" or "soffice.bin".
    std::string imageName;
};

// Every process the system lets us see.
std::vector<ProcessInfo> listProcesses();

// Ends a process at once, as a task manager would. False when it could not.
bool terminateProcess(std::int64_t pid);

std::int64_t currentProcessId();

// Processes that hold `utf8Path` open, where the system can tell; empty
// where it cannot.
std::vector<std::int64_t> processesHoldingFile(const std::string& utf8Path);

} // namespace zelvano::platform
