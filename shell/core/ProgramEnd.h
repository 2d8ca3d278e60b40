#pragma once

namespace zelvano
{

// Ends the program. After calling it, the caller must return at once: the
// real implementation only asks the event loop to finish.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram() = 0;
};

} // namespace zelvano
