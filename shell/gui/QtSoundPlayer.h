#pragma once

#include "shell/core/SoundPlayer.h"

#include <QObject>

#include <memory>

namespace zelvano
{

// The program's cues, built in as resources ("sound\type.wav" and
// "sound/type.wav" alike are ":/sound/type.wav"); starting one stops the one
// playing. How a cue is played is the platform's (CuePlayback_*.cpp): Qt
// Multimedia keeps each cue loaded so it starts without delay, Windows plays
// it from memory with winmm.
class QtSoundPlayer final : public QObject, public SoundPlayer
{
public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    void playSound(const QString& relativePath) override;

    // Where a cue path leads, or an empty text when no such cue exists.
    QString resolve(const QString& relativePath) const;

    struct Playback; // one per platform
    struct PlaybackEnd {
        void operator()(Playback* playback) const;
    };
    using PlaybackPtr = std::unique_ptr<Playback, PlaybackEnd>;

private:
    PlaybackPtr m_playback;
};

} // namespace zelvano
