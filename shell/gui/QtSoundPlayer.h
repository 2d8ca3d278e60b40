#pragma once

#include "shell/core/SoundPlayer.h"

#include <QObject>

#include <memory>

namespace zelvano
{

// Cue files resolved against the application folder ("sound\type.wav" and
// "sound/type.wav" alike); starting one stops the one playing. How a file
// is played is the platform's (CuePlayback_*.cpp): Qt Multimedia keeps each
// file loaded so a cue starts without delay, Windows plays it with winmm.
class QtSoundPlayer final : public QObject, public SoundPlayer
{
public:
    explicit QtSoundPlayer(QString appDir, QObject* parent = nullptr);
    void playSound(const QString& relativePath) override;

    // Where a cue path leads, or an empty text when no such file exists.
    QString resolve(const QString& relativePath) const;

    struct Playback; // one per platform
    struct PlaybackEnd {
        void operator()(Playback* playback) const;
    };
    using PlaybackPtr = std::unique_ptr<Playback, PlaybackEnd>;

private:
    QString m_appDir;
    PlaybackPtr m_playback;
};

} // namespace zelvano
