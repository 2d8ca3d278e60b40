#include "shell/gui/QtVoice.h"

#include "shell/gui/SpeechEngine.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QUrl>

namespace zelvano
{

// The engine and its thread. The thread owns the speech object; the window
// side reads the outcome of the start under the mutex.
struct QtVoice::Engine {
    QThread thread;
    QObject worker; // lives on `thread`
    QMutex mutex;
    QElapsedTimer sinceStart; // valid once started
    bool ready = false;
    QString reason;
    std::unique_ptr<SpeechEngine> speech; // used on `thread`, null when unavailable
};

namespace
{

// Runs on the engine's thread.
void startEngine(QtVoice::Engine& engine)
{
    QString reason;
    std::unique_ptr<SpeechEngine> speech = startSpeechEngine(&engine.worker, &reason);
    QMutexLocker lock(&engine.mutex);
    engine.speech = std::move(speech);
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
    // waits only briefly, for an engine still starting (speech-dispatcher
    // can take seconds) as for one closing: such an engine is left to the end
    // of the process, its thread keeping the shared state alive. The brief
    // wait matters on Windows, where a process ending while its voice thread
    // is inside SAPI's start was seen never to end.
    QMetaObject::invokeMethod(&m_engine->worker, [engine = m_engine.get()] {
        engine->speech.reset();
        engine->worker.moveToThread(nullptr);
        engine->thread.quit();
    });
    if (!m_engine->thread.wait(QDeadlineTimer(kEndWaitMs)))
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
    if (const QString missing = speechMissingFromBuild(); !missing.isEmpty())
        return missing;
    QMutexLocker lock(&m_engine->mutex);
    if (m_engine->ready)
        return m_engine->reason;
    if (m_engine->sinceStart.isValid() && m_engine->sinceStart.hasExpired(kStartWaitMs))
        return QStringLiteral("语音引擎没有响应");
    return {};
}

void QtVoice::say(const QString& text)
{
    prepare();
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get(), text] {
            if (!engine->speech)
                return;
            engine->speech->say(text);
        },
        Qt::QueuedConnection);
}

void QtVoice::stop()
{
    if (!m_engine->thread.isRunning())
        return;
    QMetaObject::invokeMethod(
        &m_engine->worker,
        [engine = m_engine.get()] {
            if (engine->speech)
                engine->speech->stop();
        },
        Qt::QueuedConnection);
}

void DesktopFolderOpener::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelvano
