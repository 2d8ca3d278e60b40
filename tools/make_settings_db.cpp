// Delivers the settings database: makes MSCOMSJK.com with its one row of
// first values at the given path, and leaves an existing file alone so a
// rebuild never resets a teacher's settings.
#include "shell/core/SettingsDatabase.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: make-settings-db PATH\n");
        return 1;
    }
    const QString path = args.at(1);
    if (QFileInfo::exists(path))
        return 0;
    QString error;
    if (!zelvano::createSettingsDatabase(path, &error)) {
        std::fprintf(stderr, "make-settings-db: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
