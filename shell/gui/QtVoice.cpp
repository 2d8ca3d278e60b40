#include "shell/gui/QtVoice.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLocale>
#include <QUrl>
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

QtVoice::QtVoice()
{
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("voice"));
    m_thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        m_worker, [this] { startEngine(); }, Qt::QueuedConnection);
}

QtVoice::~QtVoice()
{
    // The engine is ended on its own thread, and the worker comes back to
    // be deleted here once that thread has stopped.
    QThread* home = QThread::currentThread();
    QMetaObject::invokeMethod(
        m_worker,
        [this, home] {
            delete m_speech;
            m_speech = nullptr;
            m_worker->moveToThread(home);
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void QtVoice::startEngine()
{
    QString reason;
    QTextToSpeech* speech = nullptr;
#ifndef ZELVANO_WITH_SPEECH
    reason = QStringLiteral("此版本不含语音播报");
#else
    if (QTextToSpeech::availableEngines().isEmpty()) {
        reason = withHint(QStringLiteral("没有可用的语音引擎"));
    } else {
        speech = new QTextToSpeech(m_worker);
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
    QMutexLocker lock(&m_mutex);
    m_speech = speech;
    m_reason = reason;
    m_ready = true;
    m_started.wakeAll();
}

void QtVoice::waitForEngine() const
{
    QMutexLocker lock(&m_mutex);
    while (!m_ready)
        m_started.wait(&m_mutex);
}

bool QtVoice::available() const
{
    waitForEngine();
    return m_speech != nullptr;
}

QString QtVoice::unavailableReason() const
{
    waitForEngine();
    return m_reason;
}

void QtVoice::say(const QString& text)
{
#ifdef ZELVANO_WITH_SPEECH
    if (!available())
        return;
    QMetaObject::invokeMethod(
        m_worker,
        [this, text] {
            m_speech->stop();
            m_speech->say(text);
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
        m_worker, [this] { m_speech->stop(); }, Qt::QueuedConnection);
#endif
}

void DesktopFolderOpener::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelvano
