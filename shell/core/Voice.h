#pragma once

#include <QString>

namespace zelvano
{

// Reads a result aloud. Nothing here waits for the speech engine: it starts
// in the background when it is first wanted (prepare() or say()), never at
// the program's start, and the program never waits for it to end.
class Voice
{
public:
    virtual ~Voice() = default;
    // Starts the engine in the background if it has not been started;
    // returns at once.
    virtual void prepare() {}
    // False once it is known that nothing can speak (no speech engine, no
    // Chinese voice, an engine that never answered). While the engine is
    // not started or still starting it answers true.
    virtual bool available() const = 0;
    // Why it is not available, in words for the teacher; empty when it is.
    virtual QString unavailableReason() const = 0;
    // Starts speaking and returns; a new text or stop() cuts off what is
    // still being spoken. Said while the engine starts, it is spoken once
    // the engine has started.
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
};

} // namespace zelvano
