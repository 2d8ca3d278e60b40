#pragma once

#include "shell/core/SettingsColumns.h"

#include <QString>

#include <memory>
#include <span>

namespace zelvano
{

class MessageService;

// The settings row of the encrypted database "MSCOMSJK.com": one column at a
// time, read as text and written as quoted text or as a bare literal.
//
// Every operation opens its own connection. The file is never created, nor
// any table or row: a missing, damaged, plain or wrongly keyed file shows
// "本地数据库读取错误", the file and why, once until the file is readable
// again; the read gives the empty text, the write nothing.
// Only the columns of the settings table are accepted; any other name is
// refused before the file is touched.
class SettingsStore
{
public:
    SettingsStore(QString databasePath, MessageService& messages);
    ~SettingsStore();

    // The column of `key`, written in the form its kind asks for (Booleans
    // literal, the rest quoted).
    QString read(Setting key);
    bool write(Setting key, const QString& value);
    // Writes the reset value of each column, in the given order.
    void writeResetValues(std::span<const Setting> keys);

    // A column by its name, in either form: for what reads the row as
    // stored (tests, tools), not for the windows.
    QString readSetting(const QString& column);
    // `form` is TextForm or LiteralForm. True when the row was updated (an
    // empty table updates nothing and still succeeds).
    bool writeSetting(const QString& column, const QString& value, int form);

    // The statement of the last operation as written in our own terms, e.g.
    // "update sz set Afm='3'" or "update sz set BCf=False".
    QString lastStatement() const { return m_lastStatement; }
    QString databasePath() const { return m_path; }

    static constexpr const char* kDatabaseName = "MSCOMSJK.com";

private:
    class Connection;
    std::unique_ptr<Connection> openSettingsConnection();

    QString m_path;
    MessageService& m_messages;
    QString m_lastStatement;
    bool m_toldBroken = false;
};

} // namespace zelvano
