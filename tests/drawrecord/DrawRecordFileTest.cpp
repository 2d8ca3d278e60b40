// The draw record on disk: appended, never rewritten, shared by processes,
// a failure reported once, and readable by a spreadsheet.
#include "Fakes.h"
#include "TempDir.h"

#include "drawrecord/logic/DrawRecordFile.h"
#include "drawrecord/logic/RecordLines.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <numeric>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace zelvano;
using zelvano::testing::FakeClock;
using zelvano::testing::ScriptedMessages;
using zelvano::testing::TempDir;

namespace
{

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waiting for the lock never runs out under this clock (it sleeps a
// moment and time stands still), so a test of two writers checks only
// that no line is lost or torn, however loaded the machine is.
class PatientClock final : public Clock
{
public:
    std::int64_t monotonicMs() const override { return 0; }
    double secondsSinceMidnight() const override { return 36000.0; }
    QDate today() const override { return QDate(2026, 3, 5); }
    void wait(int) override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
};

#ifdef _WIN32
// Another program holding the record's lock. A Windows lock belongs to a
// handle, so a handle of this process stands for the other program's.
class LockHolder
{
public:
    bool hold(const QString& path)
    {
        m_file = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()),
                             GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        OVERLAPPED whole{};
        return m_file != INVALID_HANDLE_VALUE &&
               LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
    }
    bool release()
    {
        OVERLAPPED whole{};
        UnlockFileEx(m_file, 0, MAXDWORD, MAXDWORD, &whole);
        return CloseHandle(m_file);
    }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
};
#else
// Another program holding the record's lock: flock(1) takes it, says so,
// and keeps it until its input is closed.
class LockHolder
{
public:
    bool hold(const QString& path)
    {
        m_flock.start(QStringLiteral("flock"),
                      {path, QStringLiteral("-c"), QStringLiteral("echo held; cat")});
        return m_flock.waitForReadyRead(30000) && m_flock.readAll() == "held\n";
    }
    bool release()
    {
        m_flock.closeWriteChannel();
        return m_flock.waitForFinished(30000);
    }

private:
    QProcess m_flock;
};
#endif

struct RecordFixture : ::testing::Test {
    TempDir folder;
    ScriptedMessages messages;
    FakeClock time;
    DrawRecordFile record{folder.path(), messages, time};
};

TEST_F(RecordFixture, LivesBesideTheRollBook)
{
    EXPECT_EQ(record.filePath(), QDir(folder.path()).filePath(QStringLiteral("抽取记录.csv")));
}

TEST_F(RecordFixture, NewFile_GetsByteOrderMarkAndTitlesOnce)
{
    record.append({DrawEventKind::Draw, "摇号码", "", 10, "3"});
    time.secondsOfDay += 61;
    record.append({DrawEventKind::Draw, "摇号码", "", 9, "7"});
    const QByteArray bytes = readAll(record.filePath());
    EXPECT_EQ(bytes, recordHeader() + "2026-03-05 10:00:00,摇号码,,10,3,抽取\r\n" +
                         "2026-03-05 10:01:01,摇号码,,9,7,抽取\r\n");
    EXPECT_EQ(bytes.count("\xEF\xBB\xBF"), 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RecordFixture, ExistingFile_KeptAsItWasAndAppendedTo)
{
    const QByteArray before = "hand-written line, kept\r\n";
    QFile file(record.filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    record.append({DrawEventKind::Voided, "定奖摇号", "一等奖", -1, "7\r\n韩梅梅"});
    EXPECT_EQ(readAll(record.filePath()),
              before + "2026-03-05 10:00:00,定奖摇号,一等奖,,7 韩梅梅,作废\r\n");
}

TEST_F(RecordFixture, Unwritable_WarnsOncePerRun_AndGoesOn)
{
    // A folder in the record's place cannot be opened for writing, even by root.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("抽取记录.csv")));
    for (int i = 0; i < 3; ++i)
        record.append({DrawEventKind::Draw, "摇号码", "", 3, "1"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("抽取记录无法写入")));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("抽取记录.csv")));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
}

// One of two programs appending to the same record, with a record object,
// messages and clock of its own; true when it had nothing to tell.
bool appendAsOneProgram(const RecordFixture& fixture, int which, int lines)
{
    ScriptedMessages messagesOfThis;
    PatientClock ownTime;
    DrawRecordFile own(fixture.folder.path(), messagesOfThis, ownTime);
    const QString window = which == 0 ? QStringLiteral("摇号码") : QStringLiteral("摇座位");
    for (int i = 0; i < lines; ++i)
        own.append({DrawEventKind::Draw, window, "", i, QString(200, QChar(u'号'))});
    return messagesOfThis.shown.empty();
}

TEST_F(RecordFixture, TwoProcessesAppendingAtOnce_LoseNoLine)
{
    constexpr int kLines = 300;
#ifdef _WIN32
    // Each writer with its own handle, as two programs have: Windows locks
    // belong to handles, so two threads stand for the two programs.
    std::thread writers[2];
    bool quiet[2] = {false, false};
    for (int c = 0; c < 2; ++c) {
        writers[c] = std::thread([&, c] { quiet[c] = appendAsOneProgram(*this, c, kLines); });
    }
    for (int c = 0; c < 2; ++c) {
        writers[c].join();
        EXPECT_TRUE(quiet[c]);
    }
#else
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0)
            ::_exit(appendAsOneProgram(*this, c, kLines) ? 0 : 1);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
#endif
    const QByteArray bytes = readAll(record.filePath());
    EXPECT_EQ(bytes.count("\xEF\xBB\xBF"), 1);
    const auto lines = linesOfDay(bytes, time.date);
    ASSERT_EQ(lines.size(), 2u * kLines);
    int perWindow[2] = {0, 0};
    for (const QStringList& fields : lines) {
        ASSERT_EQ(fields[4].size(), 200) << "a line was torn";
        ++perWindow[fields[1] == QStringLiteral("摇号码") ? 0 : 1];
    }
    EXPECT_EQ(perWindow[0], kLines);
    EXPECT_EQ(perWindow[1], kLines);
}

TEST_F(RecordFixture, LockHeldByAnotherProgram_KeepsTheLines_AndWritesThemWithTheNext)
{
    LockHolder holder;
    ASSERT_TRUE(holder.hold(record.filePath()));
    record.append({DrawEventKind::Draw, "摇号码", "", 10, "3"});
    time.secondsOfDay += 5;
    record.append({DrawEventKind::Draw, "摇号码", "", 9, "7"});
    // Each append gave up after about a second, and the teacher was told once.
    const int waited = std::accumulate(time.waits.begin(), time.waits.end(), 0);
    EXPECT_LE(waited, 2 * (DrawRecordFile::kLockWaitMs + DrawRecordFile::kLockRetryMs));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("抽取记录正被另一个程序占用")));
    EXPECT_TRUE(readAll(record.filePath()).isEmpty()) << "appended through the lock";

    ASSERT_TRUE(holder.release());
    time.secondsOfDay += 5;
    record.append({DrawEventKind::Draw, "摇号码", "", 8, "5"});
    EXPECT_EQ(readAll(record.filePath()), recordHeader() +
                                              "2026-03-05 10:00:00,摇号码,,10,3,抽取\r\n"
                                              "2026-03-05 10:00:05,摇号码,,9,7,抽取\r\n"
                                              "2026-03-05 10:00:10,摇号码,,8,5,抽取\r\n");
    EXPECT_EQ(messages.shown.size(), 1u);
}

#ifndef _WIN32 // a full disk through RLIMIT_FSIZE (tests/wine-skips.txt)
TEST_F(RecordFixture, DiskFullHalfWay_LeavesTheFileAsItWas_AndTheNextLineIsWhole)
{
    record.append({DrawEventKind::Draw, "摇号码", "", 10, "3"});
    const QByteArray before = readAll(record.filePath());
    // A program whose files may grow by a few bytes only: its long line
    // stops half way, as on a full disk.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t room = static_cast<rlim_t>(before.size()) + 16;
        const rlimit limit{room, room};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ScriptedMessages told;
        FakeClock ownTime;
        DrawRecordFile own(folder.path(), told, ownTime);
        own.append({DrawEventKind::Draw, "摇号码", "", 9, QString(300, QChar(u'号'))});
        const bool asBefore = readAll(own.filePath()) == before;
        ::_exit(asBefore && told.shown.size() == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a torn line was left";

    time.secondsOfDay += 5;
    record.append({DrawEventKind::Draw, "摇号码", "", 8, "5"});
    EXPECT_EQ(readAll(record.filePath()), before + "2026-03-05 10:00:05,摇号码,,8,5,抽取\r\n");
    EXPECT_EQ(linesOfDay(readAll(record.filePath()), time.date).size(), 2u);
}

#endif

// LibreOffice opens the record as a spreadsheet: the Chinese intact, the
// byte-order mark taken as a mark (not as text in the first cell), the
// formula-like result shown as text. Headless conversion skips the import
// dialog, so the character set is named as a teacher sets it there (UTF-8).
TEST_F(RecordFixture, OpensInLibreOffice_WithChineseIntact)
{
#ifdef _WIN32
    GTEST_SKIP() << "LibreOffice of the Linux side (tests/wine-skips.txt)";
#endif
    if (!QFile::exists(QStringLiteral("/usr/bin/soffice")))
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    record.append({DrawEventKind::Draw, "课堂互动", "高一(3)班", 40, "12\r\n李雷"});
    record.append({DrawEventKind::Draw, "定奖摇号", "一等奖,大", 5, "=1+1"});
    const QString out = folder.file(QStringLiteral("out"));
    QProcess soffice;
    soffice.start(QStringLiteral("/usr/bin/soffice"),
                  {QStringLiteral("--headless"),
                   QStringLiteral("-env:UserInstallation=file://") + folder.file("profile"),
                   QStringLiteral("--infilter=CSV:44,34,76,1"), QStringLiteral("--convert-to"),
                   QStringLiteral("xlsx"), QStringLiteral("--outdir"), out, record.filePath()});
    ASSERT_TRUE(soffice.waitForFinished(180000));
    const QString xlsx = QDir(out).filePath(QStringLiteral("抽取记录.xlsx"));
    ASSERT_TRUE(QFile::exists(xlsx)) << soffice.readAllStandardError().toStdString();

    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, openpyxl\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                 "for row in ws.iter_rows(values_only=True):\n"
                                 "    print('|'.join('' if v is None else str(v) for v in row))\n"),
                  xlsx});
    ASSERT_TRUE(python.waitForFinished(60000));
    const QStringList rows = QString::fromUtf8(python.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3) << python.readAllStandardError().toStdString();
    EXPECT_EQ(rows[0], QStringLiteral("时间|窗口|班级或奖品|抽取前人数|结果|类型"));
    EXPECT_TRUE(rows[1].endsWith(QStringLiteral("|课堂互动|高一(3)班|40|12 李雷|抽取")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral("|定奖摇号|一等奖,大|5|")));
    EXPECT_FALSE(rows[2].contains(QStringLiteral("|2|"))) << "the formula ran";
    EXPECT_TRUE(rows[2].contains(QStringLiteral("=1+1")));
}

} // namespace
