#include "shell/gui/CuePlayback.h"

#include <QHash>
#include <QSoundEffect>
#include <QUrl>

namespace zelvano
{

struct QtSoundPlayer::Playback {
    QObject* owner;
    QHash<QString, QSoundEffect*> effects; // loaded once, kept
    QSoundEffect* playing = nullptr;
};

QtSoundPlayer::PlaybackPtr newPlayback(QObject* owner)
{
    return QtSoundPlayer::PlaybackPtr(new QtSoundPlayer::Playback{owner, {}, nullptr});
}

void QtSoundPlayer::PlaybackEnd::operator()(Playback* playback) const
{
    delete playback;
}

void stopCue(QtSoundPlayer::Playback& playback)
{
    if (playback.playing)
        playback.playing->stop();
    playback.playing = nullptr;
}

void playCue(QtSoundPlayer::Playback& playback, const QString& file)
{
    QSoundEffect*& effect = playback.effects[file];
    if (!effect) {
        effect = new QSoundEffect(playback.owner);
        // A resource ":/sound/x.wav" is the URL "qrc:/sound/x.wav".
        effect->setSource(file.startsWith(u':') ? QUrl(QStringLiteral("qrc") + file)
                                                : QUrl::fromLocalFile(file));
    }
    // Playing before the file has loaded starts it as soon as it has.
    effect->play();
    playback.playing = effect;
}

} // namespace zelvano
