#include "shell/core/FolderPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace zelvano
{

QString SystemFolderPlatform::executableDir() const
{
    return QCoreApplication::applicationDirPath();
}

QString SystemFolderPlatform::documentsDir() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString SystemFolderPlatform::environment(const char* name) const
{
    return qEnvironmentVariable(name);
}

bool SystemFolderPlatform::isWritable(const QString& dir) const
{
    // A file made and removed again: permission bits say nothing of a
    // read-only disc or share, and little of Windows' access lists.
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".zelvano-probe-XXXXXX")));
    return probe.open();
}

} // namespace zelvano
