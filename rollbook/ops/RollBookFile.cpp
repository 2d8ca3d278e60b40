#include "rollbook/ops/RollBookFile.h"

#include <QDir>
#include <QFileInfo>

namespace zelvano
{

QString RollBookFile::fileName() const
{
    return QFileInfo(path).fileName();
}

RollBookFile findRollBook(const QString& dataDir)
{
    const QDir folder(dataDir);
    const QFileInfo xls(folder.filePath(QString::fromUtf16(kRollBookName)));
    const QFileInfo xlsx(folder.filePath(QString::fromUtf16(kRollBookXlsxName)));
    if (!xlsx.isFile())
        return {xls.filePath(), false};
    if (!xls.isFile())
        return {xlsx.filePath(), false};
    const bool xlsxLater = xlsx.lastModified() > xls.lastModified();
    return {xlsxLater ? xlsx.filePath() : xls.filePath(), true};
}

} // namespace zelvano
