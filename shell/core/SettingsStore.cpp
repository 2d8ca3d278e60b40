#include "shell/core/SettingsStore.h"

#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SqlCipherKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

namespace zelvano
{

namespace
{

const QString kReadError = QStringLiteral("本地数据库读取错误");

// SQLCipher stores the key-derivation salt in the file's first 16 bytes.
constexpr qint64 kSaltBytes = 16;

QByteArray readSalt(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kSaltBytes);
}

// SQLite of this version has no TRUE/FALSE keywords, so a literal Boolean
// reaches the engine as 1 or 0; a literal that is neither a Boolean nor a
// number is refused rather than pasted into the statement.
std::optional<QString> literalForEngine(const QString& value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.compare(u"true", Qt::CaseInsensitive) == 0)
        return QStringLiteral("1");
    if (trimmed.compare(u"false", Qt::CaseInsensitive) == 0)
        return QStringLiteral("0");
    if (booleanFromText(trimmed).has_value())
        return numberText(Val(trimmed));
    return std::nullopt;
}

QString quoted(const QString& value)
{
    QString escaped = value;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

} // namespace

class SettingsStore::Connection
{
public:
    explicit Connection(sqlite3* db) : m_db(db) {}
    ~Connection() { sqlite3_close_v2(m_db); }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db;
};

SettingsStore::SettingsStore(QString databasePath, MessageService& messages)
    : m_path(std::move(databasePath)), m_messages(messages)
{
}

SettingsStore::~SettingsStore() = default;

std::unique_ptr<SettingsStore::Connection> SettingsStore::openSettingsConnection()
{
    // Told once, naming the file and why: every setting a window reads
    // would otherwise raise its own box. Told again only after the file was
    // readable in between.
    auto fail = [this](const QString& why) -> std::unique_ptr<Connection> {
        if (!m_toldBroken)
            m_messages.show(QStringLiteral("%1：%2 %3。设置将使用默认值。")
                                .arg(kReadError, why, QDir::toNativeSeparators(m_path)),
                            QStringLiteral("警告"), MessageIcon::Critical);
        m_toldBroken = true;
        return nullptr;
    };
    const QString damaged = QStringLiteral("设置文件已损坏或不是本程序的设置数据库：");

    if (!QFileInfo(m_path).isFile())
        return fail(QStringLiteral("找不到设置文件"));
    const QByteArray salt = readSalt(m_path);
    if (salt.size() < kSaltBytes)
        return fail(damaged);

    sqlite3* db = nullptr;
    // Without SQLITE_OPEN_CREATE a missing file stays missing.
    const int opened =
        sqlite3_open_v2(m_path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    auto connection = std::make_unique<Connection>(db);
    if (opened != SQLITE_OK)
        return fail(QStringLiteral("无法打开设置文件"));

    const QByteArray key = rawKeyFor(kSettingsPassword, salt);
    sqlite3_key(db, key.constData(), int(key.size()));

    // Keying never fails by itself: a wrong key or a file that is no
    // database shows only at the first statement.
    sqlite3_stmt* probe = nullptr;
    bool hasTable = false;
    if (sqlite3_prepare_v2(db,
                           "select count(*) from sqlite_master where type='table' and name='sz'",
                           -1, &probe, nullptr) == SQLITE_OK &&
        sqlite3_step(probe) == SQLITE_ROW) {
        hasTable = sqlite3_column_int(probe, 0) == 1;
    }
    sqlite3_finalize(probe);
    if (!hasTable)
        return fail(damaged);
    m_toldBroken = false;
    return connection;
}

QString SettingsStore::readSetting(const QString& column)
{
    const SettingColumn* known = findSettingColumn(column);
    if (!known)
        return {};
    m_lastStatement = QStringLiteral("select ") + column + QStringLiteral(" from sz");

    auto connection = openSettingsConnection();
    if (!connection)
        return {};

    sqlite3_stmt* statement = nullptr;
    QString result;
    if (sqlite3_prepare_v2(connection->handle(), m_lastStatement.toUtf8().constData(), -1,
                           &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        switch (sqlite3_column_type(statement, 0)) {
        case SQLITE_INTEGER: {
            const sqlite3_int64 number = sqlite3_column_int64(statement, 0);
            result = known->kind == SettingKind::Boolean ? booleanText(number != 0)
                                                         : QString::number(number);
            break;
        }
        case SQLITE_FLOAT:
            result = numberText(sqlite3_column_double(statement, 0));
            break;
        case SQLITE_TEXT:
            result =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                                  sqlite3_column_bytes(statement, 0));
            break;
        default: // NULL or a blob
            break;
        }
    }
    sqlite3_finalize(statement);
    return result;
}

bool SettingsStore::writeSetting(const QString& column, const QString& value, int form)
{
    if (!findSettingColumn(column))
        return false;

    QString executed;
    const QString head = QStringLiteral("update sz set ") + column + u'=';
    if (form == LiteralForm) {
        m_lastStatement = head + value;
        const auto literal = literalForEngine(value);
        if (!literal)
            return false;
        executed = head + *literal;
    } else {
        m_lastStatement = head + quoted(value);
        executed = m_lastStatement;
    }

    auto connection = openSettingsConnection();
    if (!connection)
        return false;
    char* error = nullptr;
    const int status =
        sqlite3_exec(connection->handle(), executed.toUtf8().constData(), nullptr, nullptr, &error);
    sqlite3_free(error);
    return status == SQLITE_OK;
}

QString SettingsStore::read(Setting key)
{
    return readSetting(QLatin1String(settingColumn(key).name));
}

bool SettingsStore::write(Setting key, const QString& value)
{
    const SettingColumn& column = settingColumn(key);
    return writeSetting(QLatin1String(column.name), value,
                        column.kind == SettingKind::Boolean ? LiteralForm : TextForm);
}

void SettingsStore::writeResetValues(std::span<const Setting> keys)
{
    for (const Setting key : keys) {
        if (const char* value = settingColumn(key).resetValue)
            write(key, QLatin1String(value));
    }
}

} // namespace zelvano
