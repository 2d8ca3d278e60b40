#pragma once

#include "shell/core/ProgramEnd.h"

namespace zelvano
{

// Asks the event loop to finish once control returns to it; a request made
// before the loop runs is kept until it does.
class QtProgramEnd final : public ProgramEnd
{
public:
    void endProgram() override;
};

} // namespace zelvano
