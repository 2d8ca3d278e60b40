#pragma once

#include "shell/core/ProcessControl.h"
#include "shell/platform/ProcessList.h"

#include <vector>

namespace zelvano
{

class SystemProcessControl final : public ProcessControl
{
public:
    std::vector<FileHolder> processesHoldingFile(const std::string& utf8Path) override;
    bool askToClose(std::int64_t pid) override;
    bool isRunning(std::int64_t pid) override;
};

// Whether two executable names name the same program: without case, folder
// or ".exe" (platform::programName).
bool sameImageName(const std::string& a, const std::string& b);

// The processes of `processes` with that image name, leaving out `self`.
std::vector<std::int64_t> processesNamed(const std::vector<platform::ProcessInfo>& processes,
                                         const std::string& imageName, std::int64_t self);

// The name a teacher knows a program by: "soffice.bin" is LibreOffice Calc,
// "et" WPS 表格, "EXCEL.EXE" Excel; any other name is given as it is.
std::string programTitle(const std::string& imageName);

} // namespace zelvano
