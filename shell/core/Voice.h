#pragma once

#include <QString>

namespace zelvano
{

// Reads a result aloud. Speaking never waits: say() starts and returns, a
// new text or stop() cuts off what is still being spoken.
class Voice
{
public:
    virtual ~Voice() = default;
    // False without a speech engine or without a Chinese voice.
    virtual bool available() const = 0;
    // Why it is not available, in words for the teacher; empty when it is.
    virtual QString unavailableReason() const = 0;
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
};

} // namespace zelvano
