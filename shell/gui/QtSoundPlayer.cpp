#include "shell/gui/QtSoundPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace zelvano
{

QtSoundPlayer::QtSoundPlayer(QString appDir, QObject* parent)
    : QObject(parent), m_appDir(std::move(appDir))
{
}

QString QtSoundPlayer::resolve(const QString& relativePath) const
{
    QString path = relativePath;
    path.replace(u'\\', u'/');
    const QString full = QFileInfo(path).isAbsolute() ? path : QDir(m_appDir).filePath(path);
    return QFileInfo(full).isFile() ? QDir::cleanPath(full) : QString();
}

void QtSoundPlayer::playSound(const QString& relativePath)
{
    if (m_playing)
        m_playing->stop();
    m_playing = nullptr;

    const QString file = resolve(relativePath);
    if (file.isEmpty())
        return;
    QSoundEffect*& effect = m_effects[file];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(file));
    }
    // Playing before the file has loaded starts it as soon as it has.
    effect->play();
    m_playing = effect;
}

} // namespace zelvano
