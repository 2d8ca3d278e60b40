#include "shell/gui/QtVoice.h"

#include <QDesktopServices>
#include <QLocale>
#include <QUrl>
#ifdef ZELVANO_WITH_SPEECH
#include <QTextToSpeech>
#endif

namespace zelvano
{

#ifdef ZELVANO_WITH_SPEECH
namespace
{

bool isChinese(const QLocale& locale)
{
    return locale.language() == QLocale::Chinese;
}

// Mainland Mandarin first, then any other Chinese.
int preference(const QLocale& locale)
{
    if (!isChinese(locale))
        return 0;
    return locale.territory() == QLocale::China ? 2 : 1;
}

} // namespace
#endif

QtVoice::QtVoice() = default;
QtVoice::~QtVoice() = default;

void QtVoice::start() const
{
    if (m_started)
        return;
    m_started = true;
#ifndef ZELVANO_WITH_SPEECH
    m_reason = QStringLiteral("此版本不含语音播报");
#else
    if (QTextToSpeech::availableEngines().isEmpty()) {
        m_reason = QStringLiteral("没有可用的语音引擎（Linux 上请安装 speech-dispatcher 和 "
                                  "speech-dispatcher-espeak-ng）");
        return;
    }
    auto* speech = new QTextToSpeech(const_cast<QtVoice*>(this));
    if (speech->state() == QTextToSpeech::Error) {
        m_reason = QStringLiteral("语音引擎无法启动：") + speech->errorString();
        delete speech;
        return;
    }
    QLocale best;
    int bestPreference = 0;
    for (const QLocale& locale : speech->availableLocales()) {
        if (preference(locale) > bestPreference) {
            best = locale;
            bestPreference = preference(locale);
        }
    }
    if (bestPreference == 0) {
        m_reason =
            QStringLiteral("语音引擎没有中文语音（Linux 上请安装 speech-dispatcher-espeak-ng）");
        delete speech;
        return;
    }
    speech->setLocale(best);
    m_speech = speech;
#endif
}

bool QtVoice::available() const
{
    start();
    return m_speech != nullptr;
}

QString QtVoice::unavailableReason() const
{
    start();
    return m_reason;
}

void QtVoice::say(const QString& text)
{
#ifdef ZELVANO_WITH_SPEECH
    if (!available())
        return;
    m_speech->stop();
    m_speech->say(text);
#endif
}

void QtVoice::stop()
{
#ifdef ZELVANO_WITH_SPEECH
    if (m_speech)
        m_speech->stop();
#endif
}

void DesktopFolderOpener::openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace zelvano
