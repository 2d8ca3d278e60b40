#include "shell/gui/QtVoice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QLocale>
#include <QMutex>
#include <QThread>
#include <QUrl>
#include <QWaitCondition>
#ifdef ZELVANO_WITH_SPEECH
#include <QTextToSpeech>
#include <QVoice>
#endif

namespace zelvano
{

namespace
{

#ifdef ZELVANO_WITH_SPEECH
// What is missing, in words the teacher can act on.
QString withHint(const QString& reason)
{
#ifdef Q_OS_LINUX
    return reason + QStringLiteral("（请安装 speech-dispatcher 和 speech-dispatcher-espeak-ng）");
#else
    return reason;
#endif
}

// Mainland Mandarin first, then any other Chinese; 0 for none.
int preference(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return 0;
    return locale.territory() == QLocale::China ? 2 : 1;
}

// A voice whose language the engine could not name to Qt (espeak-ng's
// Mandarin "cmn" through speech-dispatcher) is known by its name.
bool namedChinese(const QVoice& voice)
{
    const QString name = voice.name();
    return !name.contains(QLatin1Char('+')) &&
           (name.contains(QLatin1String("Mandarin"), Qt::CaseInsensitive) ||
            name.contains(QLatin1String("Chinese"), Qt::CaseInsensitive) ||
            name.contains(QStringLiteral("中文")) || name.contains(QStringLiteral("普通话")));
}

// Sets a Chinese voice on `speech`; false when it has none.
bool chooseChinese(QTextToSpeech& speech)
{
    QLocale best;
    int bestPreference = 0;
    for (const QLocale& locale : speech.availableLocales()) {
        if (preference(locale) > bestPreference) {
            best = locale;
            bestPreference = preference(locale);
        }
    }
    if (bestPreference > 0) {
        speech.setLocale(best);
        return true;
    }
    speech.setLocale(QLocale::c());
    for (const QVoice& voice : speech.availableVoices()) {
        if (namedChinese(voice)) {
            speech.setVoice(voice);
            return true;
        }
    }
    return false;
}
#endif

} // namespace

// The engine and its thread. The thread owns the speech object; the window
// side reads the outcome of the start under the mutex.
struct QtVoice::Engine {
    QThread thread;
    QObject worker; // lives on `thread`
    QMutex mutex;
    QWaitCondition started;
    bool ready = false;
    bool gaveUp = false; // waited once in vain: never waited for again
    QString reason;
    QTextToSpeech* speech = nullptr; // a child of `worker`, null when unavailable
};

namespace
{

// Runs on the engine's thread.
void startEngine(QtVoice::Engine& engine)
{
    QString reason;
    QTextToSpeech* speech = nullptr;
#ifndef ZELVANO_WITH_SPEECH
    reason = QStringLiteral("此版本不含语音播报");
#else
    if (QTextToSpeech::availableEngines().isEmpty()) {
        reason = withHint(QStringLiteral("没有可用的语音引擎"));
    } else {
        speech = new QTextToSpeech(&engine.worker);
        if (speech->state() == QTextToSpeech::Error)
            reason = withHint(QStringLiteral("语音引擎无法启动：") + speech->errorString());
        else if (!chooseChinese(*speech))
            reason = withHint(QStringLiteral("语音引擎没有中文语音"));
        if (!reason.isEmpty()) {
            delete speech;
            speech = nullptr;
        }
    }
#endif
    QMutexLocker lock(&engine.mutex);
    engine.speech = speech;
    engine.reason = reason;
    engine.ready = true;
    engine.started.wakeAll();
}

} // namespace

QtVoice::QtVoice() : m_engine(std::make_shared<Engine>())
{
    m_engine->worker.moveToThread(&m_engine->thread);
    m_engine->thread.setObjectName(QStringLiteral("voice"));
    m_engine->thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        &m_engine->worker, [engine = m_engine] { startEngine(*engine); }, Qt::QueuedConnection);
}

QtVoice::~QtVoice()
{
    // The speech object ends on its thread, then the thread stops. An
    // engine that never answered is left to the end of the process (its
    // thread keeps the shared state alive) rather than waited for.
    if (!waitForEngine()) {
        new std::shared_ptr<Engine>(m_engine); // never freed: the thread may still use it
        m_engine->thread.quit();
        return;
    }
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get()] {
            delete engine->speech;
            engine->speech = nullptr;
            engine->worker.moveToThread(nullptr);
        },
        Qt::BlockingQueuedConnection);
    m_engine->thread.quit();
    m_engine->thread.wait();
}

bool QtVoice::waitForEngine() const
{
    // An engine that has not answered by then is taken as missing for the
    // run, so a hanging speech service holds up the program once at most.
    const QDeadlineTimer deadline(kStartWaitMs);
    QMutexLocker lock(&m_engine->mutex);
    while (!m_engine->ready && !m_engine->gaveUp) {
        if (!m_engine->started.wait(&m_engine->mutex, deadline))
            m_engine->gaveUp = true;
    }
    return m_engine->ready;
}

bool QtVoice::available() const
{
    return waitForEngine() && m_engine->speech != nullptr;
}

QString QtVoice::unavailableReason() const
{
    if (!waitForEngine())
        return QStringLiteral("语音引擎没有响应");
    QMutexLocker lock(&m_engine->mutex);
    return m_engine->reason;
}

void QtVoice::say(const QString& text)
{
#ifdef ZELVANO_WITH_SPEECH
    if (!available())
        return;
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get(), text] {
            engine->speech->stop();
            engine->speech->say(text);
        },
        Qt::QueuedConnection);
#endif
}

void QtVoice::stop()
{
#ifdef ZELVANO_WITH_SPEECH
    if (!available())
        return;
    QMetaObject::invokeMethod(
        &m_engine->worker, [engine = m_engine.get()] { engine->speech->stop(); },
        Qt::QueuedConnection);
#endif
}

void DesktopFolderOpener::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelvano
