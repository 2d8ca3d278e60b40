#include "shell/gui/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace zelvano
{

QStringList qtTranslationFolders()
{
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool installQtChineseTexts()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : qtTranslationFolders()) {
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

} // namespace zelvano
