#pragma once

#include "shell/core/FolderOpener.h"
#include "shell/core/Voice.h"

#include <memory>

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

    struct Engine; // shared with the engine's thread, which may outlive this

private:
    static constexpr int kStartWaitMs = 8000;

    // True once the engine has started (or failed to), waiting at most
    // kStartWaitMs for it.
    bool waitForEngine() const;

    std::shared_ptr<Engine> m_engine;
};

// Opens a folder with the desktop's file manager.
class DesktopFolderOpener final : public FolderOpener
{
public:
    void openFolder(const QString& path) override;
};

} // namespace zelvano
