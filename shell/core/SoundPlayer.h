#pragma once

#include <QString>

namespace zelvano
{

// Plays a cue file such as "sound\type.wav" without waiting; a new cue cuts
// off the one still playing. A missing file or no audio device is silent.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void playSound(const QString& relativePath) = 0;
};

} // namespace zelvano
