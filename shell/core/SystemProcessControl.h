#pragma once

#include "shell/core/ProcessControl.h"
#include "shell/platform/ProcessList.h"

#include <vector>

namespace zelvano
{

class SystemProcessControl final : public ProcessControl
{
public:
    int terminateProcesses(const std::string& imageName) override;
    std::vector<std::int64_t> processesHoldingFile(const std::string& utf8Path) override;
    bool terminateProcess(std::int64_t pid) override;
};

// Case-insensitive comparison of two executable names (ASCII letters only,
// as image names are compared by the system).
bool sameImageName(const std::string& a, const std::string& b);

// The processes of `processes` with that image name, leaving out `self`.
std::vector<std::int64_t> processesNamed(const std::vector<platform::ProcessInfo>& processes,
                                         const std::string& imageName, std::int64_t self);

} // namespace zelvano
