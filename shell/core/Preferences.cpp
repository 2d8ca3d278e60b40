#include "shell/core/Preferences.h"

#include <QDir>
#include <QSettings>

namespace zelvano
{

namespace
{

QString preferencesPath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QLatin1String(kPreferencesFile));
}

} // namespace

QVariant readPreference(const QString& dataDir, const QString& key, const QVariant& fallback)
{
    const QSettings settings(preferencesPath(dataDir), QSettings::IniFormat);
    return settings.value(key, fallback);
}

void writePreference(const QString& dataDir, const QString& key, const QVariant& value)
{
    QSettings settings(preferencesPath(dataDir), QSettings::IniFormat);
    settings.setValue(key, value);
}

} // namespace zelvano
