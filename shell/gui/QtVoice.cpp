#include "shell/gui/QtVoice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLocale>
#include <QMutex>
#include <QThread>
#include <QUrl>
#ifdef ZELVANO_WITH_SPEECH
#include <QTextToSpeech>
#include <QVoice>
#else
class QTextToSpeech : public QObject
{
};
#endif

namespace zelvano
{

namespace
{

#ifdef ZELVANO_WITH_SPEECH
// What is missing, in words the teacher can act on: the package that brings
// it, on Linux.
QString withHint(const QString& reason, const char* package)
{
#ifdef Q_OS_LINUX
    return reason + QStringLiteral("（请安装 %1）").arg(QLatin1String(package));
#else
    Q_UNUSED(package);
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
    QElapsedTimer sinceStart; // valid once started
    bool ready = false;
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
#ifdef ZELVANO_WITH_SPEECH
    // Qt finds no engine without its speech-dispatcher plugin; the plugin
    // finds no engine without the speech-dispatcher service; the service has
    // no Mandarin without espeak-ng's voices.
    if (QTextToSpeech::availableEngines().isEmpty()) {
        reason = withHint(QStringLiteral("没有可用的语音引擎"), "qt6-speech-speechd-plugin");
    } else {
        speech = new QTextToSpeech(&engine.worker);
        if (speech->state() == QTextToSpeech::Error)
            reason = withHint(QStringLiteral("语音引擎无法启动"), "speech-dispatcher");
        else if (!chooseChinese(*speech))
            reason =
                withHint(QStringLiteral("语音引擎没有中文语音"), "speech-dispatcher-espeak-ng");
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
}

} // namespace

QtVoice::QtVoice() : m_engine(std::make_shared<Engine>()) {}

QtVoice::~QtVoice()
{
    if (!m_engine->thread.isRunning())
        return;
    // The speech object ends on its thread, then the thread stops. Leaving
    // never waits for an engine that is still starting (speech-dispatcher
    // can take seconds) and waits only briefly for one that is closing:
    // such an engine is left to the end of the process, its thread keeping
    // the shared state alive.
    QMetaObject::invokeMethod(&m_engine->worker, [engine = m_engine.get()] {
        delete engine->speech;
        engine->speech = nullptr;
        engine->worker.moveToThread(nullptr);
        engine->thread.quit();
    });
    bool ready = false;
    {
        QMutexLocker lock(&m_engine->mutex);
        ready = m_engine->ready;
    }
    if (!ready || !m_engine->thread.wait(QDeadlineTimer(kEndWaitMs)))
        new std::shared_ptr<Engine>(m_engine); // never freed: the thread may still use it
}

void QtVoice::prepare()
{
    if (m_engine->thread.isRunning() || m_engine->thread.isFinished())
        return;
    {
        QMutexLocker lock(&m_engine->mutex);
        m_engine->sinceStart.start();
    }
    m_engine->worker.moveToThread(&m_engine->thread);
    m_engine->thread.setObjectName(QStringLiteral("voice"));
    m_engine->thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        &m_engine->worker, [engine = m_engine] { startEngine(*engine); }, Qt::QueuedConnection);
}

bool QtVoice::available() const
{
    return unavailableReason().isEmpty();
}

QString QtVoice::unavailableReason() const
{
#ifndef ZELVANO_WITH_SPEECH
    return QStringLiteral("此版本不含语音播报");
#endif
    QMutexLocker lock(&m_engine->mutex);
    if (m_engine->ready)
        return m_engine->reason;
    if (m_engine->sinceStart.isValid() && m_engine->sinceStart.hasExpired(kStartWaitMs))
        return QStringLiteral("语音引擎没有响应");
    return {};
}

void QtVoice::say(const QString& text)
{
#ifdef ZELVANO_WITH_SPEECH
    prepare();
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get(), text] {
            if (!engine->speech)
                return;
            engine->speech->stop();
            engine->speech->say(text);
        },
        Qt::QueuedConnection);
#else
    Q_UNUSED(text);
#endif
}

void QtVoice::stop()
{
#ifdef ZELVANO_WITH_SPEECH
    if (!m_engine->thread.isRunning())
        return;
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get()] {
            if (engine->speech)
                engine->speech->stop();
        },
        Qt::QueuedConnection);
#endif
}

void DesktopFolderOpener::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelvano
