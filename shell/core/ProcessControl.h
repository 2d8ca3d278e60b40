#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelvano
{

// A program that holds a file open, as the teacher knows it.
struct FileHolder {
    std::int64_t pid = 0;
    std::string program; // "LibreOffice Calc", "WPS 表格", "Microsoft Excel", "python3"
    bool operator==(const FileHolder&) const = default;
};

// Other programs' processes, as far as the roll book needs them. Behind an
// interface so that tests script holders and see what would have been asked.
// Nothing here ever ends a program: a holder is only asked to close, the way
// closing its window asks, and only when the teacher chose so.
class ProcessControl
{
public:
    virtual ~ProcessControl() = default;
    // The processes of this user that hold the file open, where the system
    // can tell (open descriptors on Linux, the Restart Manager on Windows);
    // never the program's own process.
    virtual std::vector<FileHolder> processesHoldingFile(const std::string& utf8Path) = 0;
    // Asks one process of this user to close (SIGTERM, WM_CLOSE to its
    // windows). False when it could not be asked (another user's, ours,
    // gone).
    virtual bool askToClose(std::int64_t pid) = 0;
    virtual bool isRunning(std::int64_t pid) = 0;
};

} // namespace zelvano
