#pragma once

#include "shell/core/FolderOpener.h"
#include "shell/core/Voice.h"

#include <memory>

namespace zelvano
{

// Qt Text to Speech with a Chinese voice (speech-dispatcher with espeak-ng
// on Linux, SAPI on Windows). The engine starts on a thread of its own when
// it is first wanted, never at the program's start: starting
// speech-dispatcher can take seconds, and neither the start-up nor a window
// must wait for it. Speaking and stopping are passed to that thread and
// never wait either, and ending the program waits for the engine only briefly.
class QtVoice final : public Voice
{
public:
    QtVoice();
    ~QtVoice() override;

    void prepare() override;
    bool available() const override;
    QString unavailableReason() const override;
    void say(const QString& text) override;
    void stop() override;

    struct Engine; // shared with the engine's thread, which may outlive this

private:
    // An engine that has not started by then is taken as missing.
    static constexpr int kStartWaitMs = 8000;
    // How long leaving waits for the engine to finish starting and close.
    static constexpr int kEndWaitMs = 200;

    std::shared_ptr<Engine> m_engine;
};

// Opens a folder with the desktop's file manager.
class DesktopFolderOpener final : public FolderOpener
{
public:
    void openFolder(const QString& path) override;
};

} // namespace zelvano
