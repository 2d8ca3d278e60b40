// The real voice on this machine: either it can speak Chinese, or it says
// why not in words a teacher can act on. Never a hang or a crash, whichever
// speech packages are installed, and no engine until one is wanted.
#include "shell/gui/QtVoice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QTest>
#ifdef Q_OS_WIN
#include <windows.h>
// needs windows.h first, so not sorted with it
#include <tlhelp32.h>
#endif

using namespace zelvano;

namespace
{

int threadsOfThisProcess()
{
#ifdef Q_OS_WIN
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
#else
    const QDir tasks(QStringLiteral("/proc/self/task"));
    return int(tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
#endif
}

bool speechdPluginInstalled()
{
    const QDir plugins(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/texttospeech"));
    return !plugins.entryList({QStringLiteral("*speechd*")}, QDir::Files).isEmpty();
}

} // namespace

class tst_QtVoice : public QObject
{
    Q_OBJECT

private slots:
    // Start-up and opening a window make the voice and ask it; neither
    // starts an engine nor waits for one, and ending does not either.
    void startsNoEngineUntilWanted()
    {
        const int before = threadsOfThisProcess();
        {
            QtVoice voice;
            QVERIFY(voice.available()); // not known yet, and not waited for
            voice.stop();
            QCOMPARE(threadsOfThisProcess(), before);
        }
        QCOMPARE(threadsOfThisProcess(), before);
    }

    void availableOrToldWhy()
    {
        QElapsedTimer started;
        started.start();
        QtVoice voice;
        voice.prepare();
        // On Linux, Qt finds no engine without the speech-dispatcher plugin.
        if (QSysInfo::kernelType() == QLatin1String("linux") && !speechdPluginInstalled())
            QTRY_VERIFY_WITH_TIMEOUT(
                voice.unavailableReason().contains(QStringLiteral("qt6-speech-speechd-plugin")),
                10000);
        const bool available = voice.available();
        qInfo("voice available: %d, reason: %s, %lld ms", available,
              qPrintable(voice.unavailableReason()), started.elapsed());
        QCOMPARE(voice.unavailableReason().isEmpty(), available);
        voice.say(QStringLiteral("测试"));
        voice.stop();
    }
};

QTEST_MAIN(tst_QtVoice)
#include "tst_QtVoice.moc"
