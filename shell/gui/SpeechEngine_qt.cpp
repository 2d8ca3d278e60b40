#include "shell/gui/SpeechEngine.h"

#include <QLocale>
#include <QTextToSpeech>
#include <QVoice>

namespace zelvano
{

namespace
{

// What is missing, in words the teacher can act on: the package that brings it.
QString withHint(const QString& reason, const char* package)
{
    return reason + QStringLiteral("（请安装 %1）").arg(QLatin1String(package));
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

class QtSpeechEngine final : public SpeechEngine
{
public:
    explicit QtSpeechEngine(QTextToSpeech* speech) : m_speech(speech) {}
    ~QtSpeechEngine() override { delete m_speech; }
    void say(const QString& text) override
    {
        m_speech->stop();
        m_speech->say(text);
    }
    void stop() override { m_speech->stop(); }

private:
    QTextToSpeech* m_speech;
};

} // namespace

QString speechMissingFromBuild()
{
    return {};
}

std::unique_ptr<SpeechEngine> startSpeechEngine(QObject* parent, QString* reason)
{
    // Qt finds no engine without its speech-dispatcher plugin; the plugin
    // finds no engine without the speech-dispatcher service; the service has
    // no Mandarin without espeak-ng's voices.
    if (QTextToSpeech::availableEngines().isEmpty()) {
        *reason = withHint(QStringLiteral("没有可用的语音引擎"), "qt6-speech-speechd-plugin");
        return nullptr;
    }
    auto* speech = new QTextToSpeech(parent);
    if (speech->state() == QTextToSpeech::Error)
        *reason = withHint(QStringLiteral("语音引擎无法启动"), "speech-dispatcher");
    else if (!chooseChinese(*speech))
        *reason = withHint(QStringLiteral("语音引擎没有中文语音"), "speech-dispatcher-espeak-ng");
    if (!reason->isEmpty()) {
        delete speech;
        return nullptr;
    }
    return std::make_unique<QtSpeechEngine>(speech);
}

} // namespace zelvano
