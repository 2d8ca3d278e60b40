#include "shell/gui/CuePlayback.h"

#include <QByteArray>
#include <QFile>

#include <windows.h>
// needs windows.h first, so not sorted with it
#include <mmsystem.h>

namespace zelvano
{

// winmm plays one sound at a time per process: a new asynchronous sound
// cuts off the one playing, and a null name stops it. A cue played from
// memory must stay in memory while it plays.
struct QtSoundPlayer::Playback {
    QByteArray playing;
};

QtSoundPlayer::PlaybackPtr newPlayback(QObject*)
{
    return QtSoundPlayer::PlaybackPtr(new QtSoundPlayer::Playback{});
}

void QtSoundPlayer::PlaybackEnd::operator()(Playback* playback) const
{
    delete playback;
}

void stopCue(QtSoundPlayer::Playback& playback)
{
    PlaySoundW(nullptr, nullptr, 0);
    playback.playing.clear();
}

void playCue(QtSoundPlayer::Playback& playback, const QString& file)
{
    QFile cue(file);
    if (!cue.open(QIODevice::ReadOnly))
        return;
    playback.playing = cue.readAll();
    PlaySoundW(reinterpret_cast<LPCWSTR>(playback.playing.constData()), nullptr,
               SND_ASYNC | SND_MEMORY | SND_NODEFAULT);
}

} // namespace zelvano
