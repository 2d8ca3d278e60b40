// Another program holding the roll book, with real processes: the teacher is
// told which program, in words and buttons that match, and a holder is only
// asked to close when the teacher chooses so. Also the failures said when
// they happen: a read-only file at opening, a password, a missing file.
#include "rollbook/Workbook.h"
#include "rollbook/cfb/CompoundFile.h"
#include "rollbook/gui/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/SystemClock.h"
#include "shell/core/SystemProcessControl.h"

#include "Fakes.h"
#include "TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

double numberIn(const QString& file, int row, int column)
{
    return xls::Workbook::open(std::filesystem::path(file.toStdU16String()))
        .cell(0, row, column)
        .number;
}

QString imageOf(qint64 pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

} // namespace

class tst_RollBookHolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void programHoldingTheFile_isNamed_retryAsksAgain_closeIsOnlyAsked();
    void libreOfficeOpeningTheWorkbook_isNamedOrItsLeftLockIgnored();
    void readOnlyFile_isSaidOnceWhenOpened();
    void failedSave_namesItsCause();
    void passwordProtectedWorkbook_isSaidProtectedNotDamaged();
    void missingRollBook_namesTheFolderAndOffersTheSample();
    void closingWithUnsavedChanges_countsTheTeachersChangesNotCells();

private:
    QString rollBook() const { return temp->file(QStringLiteral("点名册.xls")); }
    void score(double value)
    {
        QVERIFY(session->activateSheet(0));
        QVERIFY(session->setNumber(3, 7, value));
    }

    std::unique_ptr<TempDir> temp;
    ScriptedMessages messages;
    RecordingProgramEnd programEnd;
    SystemProcessControl processes;
    SystemClock clock;
    AppServices services;
    std::unique_ptr<RollBookSession> session;
    std::vector<std::unique_ptr<QProcess>> started; // ended here, and only these
};

void tst_RollBookHolder::init()
{
    temp = std::make_unique<TempDir>();
    QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"), rollBook()));
    QFile::setPermissions(rollBook(), QFile::ReadOwner | QFile::WriteOwner);
    messages = ScriptedMessages{};
    programEnd.calls = 0;
    services = AppServices{};
    services.dataDir = temp->path();
    services.messages = &messages;
    services.programEnd = &programEnd;
    services.processes = &processes;
    services.clock = &clock;
    session = std::make_unique<RollBookSession>(services);
}

void tst_RollBookHolder::cleanup()
{
    // Where a message tells the teacher to click “X”, a button of that name is there.
    static const QRegularExpression quotedName(QStringLiteral("“([^”]+)”"));
    for (const ShownMessage& m : messages.shown) {
        for (const auto& match : quotedName.globalMatch(m.text))
            QVERIFY2(buttonNames(m.buttons).contains(match.captured(1)), qPrintable(m.text));
        QVERIFY2(!m.text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{4,} [a-z]{2,}"))),
                 qPrintable(m.text)); // no English system text
    }
    session.reset();
    for (auto& process : started) {
        process->kill();
        process->waitForFinished(5000);
    }
    started.clear();
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

void tst_RollBookHolder::programHoldingTheFile_isNamed_retryAsksAgain_closeIsOnlyAsked()
{
    // A second program that keeps the roll book open.
    auto& holder = *started.emplace_back(std::make_unique<QProcess>());
    holder.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, time\nf = open(sys.argv[1], 'rb')\n"
                                 "print('ready', flush=True)\ntime.sleep(60)"),
                  rollBook()});
    QVERIFY(holder.waitForReadyRead(20000));
    // Taken now: once the holder has ended, QProcess no longer knows its id.
    const qint64 pid = holder.processId();
    score(7);
    messages.answers = {MessageAnswer::Retry, MessageAnswer::Close};
    QVERIFY(session->save());

    const QString expected =
        QStringLiteral("点名册.xls 正在被 %1（进程 %2）使用。请在那里保存并关闭它，然后点“重试”。")
            .arg(imageOf(pid).isEmpty() ? QStringLiteral("python3") : imageOf(pid))
            .arg(pid);
    QCOMPARE(messages.shown.size(), size_t(2)); // 重试 while it still holds the file: asked again
    QVERIFY2(messages.shown[0].text.startsWith(expected.section(u'（', 0, 0)),
             qPrintable(messages.shown[0].text));
    QVERIFY2(messages.shown[0].text.contains(QStringLiteral("（进程 %1）").arg(pid)),
             qPrintable(messages.shown[0].text));
    QCOMPARE(messages.shown[0].buttons, MessageButtons::RetryCloseCancel);
    // The save waited for it to end, and QProcess may have seen that already.
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(10000));
    QCOMPARE(holder.exitStatus(), QProcess::CrashExit); // ended by the polite signal
    QCOMPARE(numberIn(rollBook(), 3, 7), 7.0);
}

void tst_RollBookHolder::libreOfficeOpeningTheWorkbook_isNamedOrItsLeftLockIgnored()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    auto& office = *started.emplace_back(std::make_unique<QProcess>());
    office.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("-env:UserInstallation=file://%1/lo").arg(temp->path()),
                           rollBook()});
    const QString lock = temp->file(QStringLiteral(".~lock.点名册.xls#"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 90000);
    // Headless LibreOffice here may end on its own, leaving its lock behind.
    office.waitForFinished(15000);
    score(5);
    messages.answers = {MessageAnswer::Close};
    QVERIFY(session->save());
    if (office.state() == QProcess::NotRunning && messages.shown.empty()) {
        QVERIFY(QFile::exists(lock)); // a lock of a LibreOffice that is gone: no question
    } else {
        QCOMPARE(messages.shown.size(), size_t(1));
        QVERIFY2(messages.shown[0].text.contains(QStringLiteral("正在被 LibreOffice Calc（进程 ")),
                 qPrintable(messages.shown[0].text));
    }
    QCOMPARE(numberIn(rollBook(), 3, 7), 5.0);
}

void tst_RollBookHolder::readOnlyFile_isSaidOnceWhenOpened()
{
    QFile::setPermissions(rollBook(), QFile::ReadOwner | QFile::ReadGroup);
    QVERIFY(session->openRollBook());
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("点名册.xls 是只读文件，成绩和奖项不能保存。")});
    QVERIFY(session->activateSheet(1));
    QVERIFY(session->openRollBook());
    QCOMPARE(messages.shown.size(), size_t(1));
}

void tst_RollBookHolder::failedSave_namesItsCause()
{
    score(4);
    // The data folder is gone (a USB stick pulled out, a folder deleted).
    QVERIFY(QDir(temp->path()).removeRecursively());
    QVERIFY(!session->save());
    session->reportWriteFailure();
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY2(messages.shown[0].text.contains(QStringLiteral("文件夹")) &&
                 messages.shown[0].text.contains(QStringLiteral("已不存在")) &&
                 !messages.shown[0].text.contains(QStringLiteral("手动关闭")),
             qPrintable(messages.shown[0].text));
    QDir().mkpath(temp->path()); // for the temporary folder's own removal
}

void tst_RollBookHolder::passwordProtectedWorkbook_isSaidProtectedNotDamaged()
{
    // As Excel saves a workbook with an opening password: encrypted in a
    // compound file.
    xls::CompoundFile cfb = xls::CompoundFile::createEmpty();
    cfb.addRootStream("EncryptedPackage", xls::Bytes(5000, 0x11));
    const xls::Bytes bytes = cfb.serialize();
    QFile file(rollBook());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.close();
    QVERIFY(!session->worksheetNames());
    session->reportDamaged();
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral(
                 "点名册.xls 设有打开密码，请在 Excel 或 WPS 中取消密码后再使用。")});
}

void tst_RollBookHolder::missingRollBook_namesTheFolderAndOffersTheSample()
{
    QFile::remove(rollBook());
    services.appDir = QStringLiteral(ZELVANO_SOURCE_DIR "/assets");
    messages.answers = {MessageAnswer::Yes};
    QVERIFY(session->checkRollBookPresent());
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY(messages.shown[0].text.contains(QDir::toNativeSeparators(temp->path())));
    QCOMPARE(messages.shown[0].buttons, MessageButtons::YesNo);
    QCOMPARE(programEnd.calls, 0);
    QVERIFY(session->worksheetNames());
}

void tst_RollBookHolder::closingWithUnsavedChanges_countsTheTeachersChangesNotCells()
{
    QVERIFY(session->activateSheet(0));
    QFile::setPermissions(rollBook(), QFile::ReadOwner);
    messages.shown.clear();
    // A grouping of two persons (four cells) and one score with its date.
    QVERIFY(session->write({{3, 5, 1.0, {}}, {3, 6, 1.0, {}}, {4, 5, 1.0, {}}, {4, 6, 2.0, {}}}));
    QVERIFY(session->write({{2, 9, QStringLiteral("03月05"), {}}, {3, 9, 2.0, {}}}));
    messages.answers = {MessageAnswer::Cancel};
    session->release();
    QCOMPARE(messages.shown.size(), size_t(1));
    QVERIFY2(messages.shown[0].text.startsWith(QStringLiteral("点名册.xls还有2处修改没有保存")),
             qPrintable(messages.shown[0].text));
}

QTEST_MAIN(tst_RollBookHolder)
#include "tst_RollBookHolder.moc"
