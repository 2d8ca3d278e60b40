#include "shell/gui/CuePlayback.h"

#include <QDir>

#include <windows.h>
// needs windows.h first, so not sorted with it
#include <mmsystem.h>

namespace zelvano
{

// winmm plays one sound at a time per process: a new asynchronous sound
// cuts off the one playing, and a null name stops it.
struct QtSoundPlayer::Playback {
};

QtSoundPlayer::PlaybackPtr newPlayback(QObject*)
{
    return QtSoundPlayer::PlaybackPtr(new QtSoundPlayer::Playback{});
}

void QtSoundPlayer::PlaybackEnd::operator()(Playback* playback) const
{
    delete playback;
}

void stopCue(QtSoundPlayer::Playback&)
{
    PlaySoundW(nullptr, nullptr, 0);
}

void playCue(QtSoundPlayer::Playback&, const QString& file)
{
    const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
    PlaySoundW(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

} // namespace zelvano
