#pragma once

#include "shell/core/ProcessControl.h"

namespace zelvano
{

class SystemProcessControl final : public ProcessControl
{
public:
    int terminateProcesses(const std::string& imageName) override;
};

// Case-insensitive comparison of two executable names (ASCII letters only,
// as image names are compared by the system).
bool sameImageName(const std::string& a, const std::string& b);

} // namespace zelvano
