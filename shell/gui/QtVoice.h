#pragma once

#include "shell/core/FolderOpener.h"
#include "shell/core/Voice.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>

class QTextToSpeech;

namespace zelvano
{

// Qt Text to Speech with a Chinese voice (speech-dispatcher with espeak-ng
// on Linux, SAPI on Windows). The engine starts and looks for its voice on
// a thread of its own from the program's start: starting speech-dispatcher
// can take seconds, and the windows must not wait for it. Speaking and
// stopping are passed to that thread and never wait either.
class QtVoice final : public Voice
{
public:
    QtVoice();
    ~QtVoice() override;

    // Waits for the engine only when it is asked before it has started.
    bool available() const override;
    QString unavailableReason() const override;
    void say(const QString& text) override;
    void stop() override;

private:
    void startEngine(); // on the engine's thread
    void waitForEngine() const;

    QThread m_thread;
    QObject* m_worker = nullptr;       // lives on m_thread
    QTextToSpeech* m_speech = nullptr; // lives on m_thread, null when unavailable
    mutable QMutex m_mutex;
    mutable QWaitCondition m_started;
    bool m_ready = false;
    QString m_reason;
};

// Opens a folder with the desktop's file manager.
class DesktopFolderOpener final : public FolderOpener
{
public:
    void openFolder(const QString& path) override;
};

} // namespace zelvano
