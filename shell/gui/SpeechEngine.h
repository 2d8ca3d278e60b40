#pragma once

#include <QString>

#include <memory>

class QObject;

// The platform's speech engine with a Chinese voice, used only on the
// voice's own thread (shell/gui/QtVoice): Qt Text to Speech on Linux, SAPI
// on Windows, none in a build without either.
namespace zelvano
{

class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    // Starts `text`, cutting off what is still being spoken.
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
};

// Why this build cannot speak at all; empty when it has an engine to try.
QString speechMissingFromBuild();

// Starts the engine on the calling thread, a child of `parent` where it is
// a QObject. Null, with the reason in words for the teacher, when nothing
// can speak Chinese.
std::unique_ptr<SpeechEngine> startSpeechEngine(QObject* parent, QString* reason);

} // namespace zelvano
