#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvano
{

// Ends other programs' processes. Behind an interface so that tests never
// end real processes by accident and can see what would have been ended.
class ProcessControl
{
public:
    virtual ~ProcessControl() = default;
    // Ends every process whose executable's name equals `imageName`,
    // compared case-insensitively; never the program's own process. A name
    // no process has does nothing. Returns how many processes were ended.
    virtual int terminateProcesses(const std::string& imageName) = 0;
    // The processes that hold the file open, where the system can tell
    // (open descriptors on Linux, the Restart Manager on Windows); never
    // the program's own process.
    virtual std::vector<std::int64_t> processesHoldingFile(const std::string& utf8Path) = 0;
    // Ends one process at once. False when it could not.
    virtual bool terminateProcess(std::int64_t pid) = 0;
};

} // namespace zelvano
