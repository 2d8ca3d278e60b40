#pragma once

#include <string>

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
};

} // namespace zelvano
