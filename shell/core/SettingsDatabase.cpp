#include "shell/core/SettingsDatabase.h"

#include "shell/core/SettingsColumns.h"
#include "shell/core/SqlCipherKey.h"

#include <QFileInfo>
#include <QStringList>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <cstring>

namespace zelvano
{

bool createSettingsDatabase(const QString& path, QString* error, const char* passphrase)
{
    auto failWith = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (QFileInfo::exists(path))
        return failWith(QStringLiteral("%1 already exists").arg(path));

    QStringList definitions;
    QStringList names;
    QStringList values;
    for (const auto& column : settingColumns()) {
        const bool boolean = column.kind == SettingKind::Boolean;
        const QLatin1String name(column.name);
        definitions << QStringLiteral("%1 %2").arg(name, boolean ? QLatin1String("BOOLEAN")
                                                                 : QLatin1String("TEXT"));
        names << name;
        if (boolean)
            values << QLatin1String(std::strcmp(column.deliveredValue, "True") == 0 ? "1" : "0");
        else
            values << u'\'' + QString::fromLatin1(column.deliveredValue) + u'\'';
    }
    const QString script = QStringLiteral("create table sz (%1); insert into sz (%2) values (%3);")
                               .arg(definitions.join(u", "), names.join(u", "), values.join(u", "));

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return failWith(QStringLiteral("cannot create %1").arg(path));
    }
    const char* key = passphrase ? passphrase : kSettingsPassword;
    sqlite3_key(db, key, int(std::strlen(key)));
    char* message = nullptr;
    const int status = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message);
    const QString reason = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close_v2(db);
    if (status != SQLITE_OK)
        return failWith(reason);
    return true;
}

} // namespace zelvano
