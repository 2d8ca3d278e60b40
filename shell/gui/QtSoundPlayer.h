#pragma once

#include "shell/core/SoundPlayer.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

namespace zelvano
{

// Cue files resolved against the application folder ("sound\type.wav" and
// "sound/type.wav" alike). Each file is loaded once and kept, so a cue
// starts without delay; starting one stops the one playing.
class QtSoundPlayer final : public QObject, public SoundPlayer
{
public:
    explicit QtSoundPlayer(QString appDir, QObject* parent = nullptr);
    void playSound(const QString& relativePath) override;

    // Where a cue path leads, or an empty text when no such file exists.
    QString resolve(const QString& relativePath) const;

private:
    QString m_appDir;
    QHash<QString, QSoundEffect*> m_effects;
    QSoundEffect* m_playing = nullptr;
};

} // namespace zelvano
