#include "shell/gui/QtSoundPlayer.h"

#include "shell/gui/CuePlayback.h"

#include <QDir>
#include <QFileInfo>

namespace zelvano
{

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent), m_playback(newPlayback(this)) {}

QString QtSoundPlayer::resolve(const QString& relativePath) const
{
    QString path = relativePath;
    path.replace(u'\\', u'/');
    // The program's cues are built in; an absolute path names a file.
    const QString full = QFileInfo(path).isAbsolute() ? path : QStringLiteral(":/") + path;
    return QFileInfo(full).isFile() ? QDir::cleanPath(full) : QString();
}

void QtSoundPlayer::playSound(const QString& relativePath)
{
    stopCue(*m_playback);
    const QString file = resolve(relativePath);
    if (!file.isEmpty())
        playCue(*m_playback, file);
}

} // namespace zelvano
