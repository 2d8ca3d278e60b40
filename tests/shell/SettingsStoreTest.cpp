#include "shell/core/SettingsStore.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsDatabase.h"

#include "Fakes.h"
#include "TempDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kReadError = QStringLiteral("本地数据库读取错误");

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs SQL on a database keyed with the program's password (or unkeyed).
void runSql(const QString& path, const char* sql, const char* key = "lumbarokefinta")
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    if (key)
        sqlite3_key(db, key, int(strlen(key)));
    char* error = nullptr;
    const int status = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(status, SQLITE_OK) << message;
}

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = temp.file(QStringLiteral("MSCOMSJK.com"));
        ASSERT_TRUE(createSettingsDatabase(path));
    }
    SettingsStore store() { return SettingsStore(path, messages); }

    TempDir temp;
    QString path;
    ScriptedMessages messages;
};

TEST_F(SettingsStoreTest, DeliveredDatabaseHoldsResetAndFirstValues)
{
    SettingsStore settings = store();
    EXPECT_EQ(settings.readSetting("Afm"), "0");
    EXPECT_EQ(settings.readSetting("BzhFs"), "2");
    EXPECT_EQ(settings.readSetting("Bsj"), "5");
    EXPECT_EQ(settings.readSetting("BCf"), "False");
    EXPECT_EQ(settings.readSetting("BGd"), "True");
    EXPECT_EQ(settings.readSetting("CMin"), "1");
    EXPECT_EQ(settings.readSetting("CMax"), "48");
    EXPECT_EQ(settings.readSetting("Dhs"), "6");
    EXPECT_EQ(settings.readSetting("Dls"), "8");
    EXPECT_EQ(settings.readSetting("Czs"), "1");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsStoreTest, EveryColumnReadsBack)
{
    SettingsStore settings = store();
    for (const auto& column : settingColumns()) {
        const QString name = QLatin1String(column.name);
        const bool boolean = column.kind == SettingKind::Boolean;
        ASSERT_TRUE(
            settings.writeSetting(name, boolean ? "True" : "17", boolean ? LiteralForm : TextForm))
            << column.name;
        EXPECT_EQ(settings.readSetting(name), boolean ? "True" : "17") << column.name;
    }
}

TEST_F(SettingsStoreTest, TextFormQuotesAndLiteralFormDoesNot)
{
    SettingsStore settings = store();
    settings.writeSetting("Afm", "3", TextForm);
    EXPECT_EQ(settings.lastStatement(), "update sz set Afm='3'");
    settings.writeSetting("BCf", "False", LiteralForm);
    EXPECT_EQ(settings.lastStatement(), "update sz set BCf=False");
    EXPECT_EQ(settings.readSetting("BCf"), "False");
    EXPECT_EQ(settings.lastStatement(), "select BCf from sz");
    settings.writeSetting("BCf", "True", LiteralForm);
    EXPECT_EQ(settings.readSetting("BCf"), "True");
    EXPECT_EQ(settings.readSetting("Afm"), "3");
}

TEST_F(SettingsStoreTest, QuoteInValueIsStoredNotExecuted)
{
    SettingsStore settings = store();
    EXPECT_TRUE(settings.writeSetting("BbjYs", "a'; drop table sz; --", TextForm));
    EXPECT_EQ(settings.readSetting("BbjYs"), "a'; drop table sz; --");
    EXPECT_EQ(settings.readSetting("Afm"), "0");
}

TEST_F(SettingsStoreTest, LiteralThatIsNoBooleanOrNumberIsRefused)
{
    SettingsStore settings = store();
    const QByteArray before = fileHash(path);
    EXPECT_FALSE(settings.writeSetting("BCf", "1; drop table sz", LiteralForm));
    EXPECT_EQ(fileHash(path), before);
    EXPECT_TRUE(settings.writeSetting("BCf", "0", LiteralForm));
    EXPECT_EQ(settings.readSetting("BCf"), "False");
}

TEST_F(SettingsStoreTest, UnknownColumnIsRefusedWithoutTouchingTheFile)
{
    SettingsStore settings = store();
    const QByteArray before = fileHash(path);
    EXPECT_EQ(settings.readSetting("Afm from sz; --"), "");
    EXPECT_FALSE(settings.writeSetting("Nope", "1", TextForm));
    EXPECT_FALSE(settings.writeSetting("afm", "1", TextForm)); // names are exact
    EXPECT_EQ(fileHash(path), before);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsStoreTest, NullReadsAsEmptyText)
{
    runSql(path, "update sz set Bsj=NULL, BCf=NULL");
    SettingsStore settings = store();
    EXPECT_EQ(settings.readSetting("Bsj"), "");
    EXPECT_EQ(settings.readSetting("BCf"), "");
}

TEST_F(SettingsStoreTest, EmptyTableReadsEmptyAndWritesNothing)
{
    runSql(path, "delete from sz");
    SettingsStore settings = store();
    EXPECT_EQ(settings.readSetting("Afm"), "");
    EXPECT_TRUE(settings.writeSetting("Afm", "2", TextForm));
    EXPECT_EQ(settings.readSetting("Afm"), "");
    runSql(path, "select count(*) from sz");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsStoreTest, ColumnMissingFromTableFailsQuietly)
{
    runSql(path,
           "create table t2 as select Afm from sz; drop table sz; alter table t2 rename to sz");
    SettingsStore settings = store();
    EXPECT_EQ(settings.readSetting("Bsj"), "");
    EXPECT_FALSE(settings.writeSetting("Bsj", "3", TextForm));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(settings.readSetting("Afm"), "0");
}

// Each broken database shows the read error once, naming the file, reads
// empty, writes nothing, and is neither created nor changed.
class BrokenDatabase : public ::testing::Test
{
protected:
    void expectReadError(const QString& path)
    {
        const bool existed = QFileInfo::exists(path);
        const QByteArray before = fileHash(path);
        const qint64 size = QFileInfo(path).size();
        SettingsStore settings(path, messages);
        EXPECT_EQ(settings.readSetting("Afm"), "");
        EXPECT_FALSE(settings.writeSetting("Afm", "2", TextForm));
        EXPECT_EQ(settings.readSetting("Bsj"), "");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.startsWith(kReadError));
        EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(path)))
            << messages.shown[0].text.toStdString();
        EXPECT_EQ(QFileInfo::exists(path), existed);
        EXPECT_EQ(fileHash(path), before);
        EXPECT_EQ(QFileInfo(path).size(), size);
    }
    TempDir temp;
    ScriptedMessages messages;
};

TEST_F(BrokenDatabase, MissingFileIsNotCreated)
{
    expectReadError(temp.file("MSCOMSJK.com"));
}

TEST_F(BrokenDatabase, ZeroLengthFile)
{
    const QString path = temp.file("MSCOMSJK.com");
    QFile(path).open(QIODevice::WriteOnly);
    expectReadError(path);
}

TEST_F(BrokenDatabase, FolderOfThatName)
{
    const QString path = temp.file("MSCOMSJK.com");
    QDir().mkpath(path);
    expectReadError(path);
}

TEST_F(BrokenDatabase, PlainSqliteFile)
{
    const QString path = temp.file("MSCOMSJK.com");
    runSql(path, "create table sz (Afm TEXT); insert into sz values ('1')", nullptr);
    expectReadError(path);
}

TEST_F(BrokenDatabase, WronglyKeyedFile)
{
    const QString path = temp.file("MSCOMSJK.com");
    ASSERT_TRUE(createSettingsDatabase(path, nullptr, "another password"));
    expectReadError(path);
}

TEST_F(BrokenDatabase, RandomBytes)
{
    const QString path = temp.file("MSCOMSJK.com");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    file.write(noise);
    file.close();
    expectReadError(path);
}

TEST_F(BrokenDatabase, TruncatedDatabase)
{
    const QString path = temp.file("MSCOMSJK.com");
    ASSERT_TRUE(createSettingsDatabase(path));
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.resize(100);
    file.close();
    expectReadError(path);
}

TEST(SettingsDatabase, RefusesToOverwrite)
{
    TempDir temp;
    const QString path = temp.file("MSCOMSJK.com");
    ASSERT_TRUE(createSettingsDatabase(path));
    QString error;
    EXPECT_FALSE(createSettingsDatabase(path, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsColumns, OnlyTheFiveBooleansAreLiteral)
{
    QStringList booleans;
    for (const auto& column : settingColumns()) {
        if (column.kind == SettingKind::Boolean)
            booleans << column.name;
    }
    EXPECT_EQ(booleans, QStringList({"BCf", "BGd", "BTs", "CTs", "DTs"}));
    EXPECT_EQ(resetValue("BbjYs"), "0");
    EXPECT_EQ(resetValue("BzhFs"), "2");
    EXPECT_EQ(resetValue("Bpf"), "5");
}

} // namespace
