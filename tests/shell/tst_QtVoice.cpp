// The real voice on this machine: either it can speak Chinese, or it says
// why not in words a teacher can act on. Never a hang or a crash, whichever
// speech packages are installed.
#include "shell/gui/QtVoice.h"

#include <QElapsedTimer>
#include <QTest>

using namespace zelvano;

class tst_QtVoice : public QObject
{
    Q_OBJECT

private slots:
    void availableOrToldWhy()
    {
        QElapsedTimer started;
        started.start();
        QtVoice voice;
        const bool available = voice.available();
        qInfo("voice available: %d, reason: %s, %lld ms", available,
              qPrintable(voice.unavailableReason()), started.elapsed());
        QCOMPARE(voice.unavailableReason().isEmpty(), available);
        // Asking again starts nothing new and answers the same.
        QCOMPARE(voice.available(), available);
        voice.stop();
        if (available) {
            voice.say(QStringLiteral("测试"));
            voice.stop();
        }
    }
};

QTEST_MAIN(tst_QtVoice)
#include "tst_QtVoice.moc"
