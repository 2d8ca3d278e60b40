#include "shell/core/FolderPlatform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

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
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

} // namespace zelvano
