#pragma once

#include "shell/core/FolderOpener.h"
#include "shell/core/Voice.h"

#include <QObject>

class QTextToSpeech;

namespace zelvano
{

// Qt Text to Speech with a Chinese voice (speech-dispatcher with espeak-ng
// on Linux, SAPI on Windows). The engine is started at the first question,
// not with the program, so a slow or missing speech service never delays
// the start.
class QtVoice final : public QObject, public Voice
{
    Q_OBJECT

public:
    QtVoice();
    ~QtVoice() override;

    bool available() const override;
    QString unavailableReason() const override;
    void say(const QString& text) override;
    void stop() override;

private:
    void start() const;

    mutable bool m_started = false;
    mutable QTextToSpeech* m_speech = nullptr;
    mutable QString m_reason;
};

// Opens a folder with the desktop's file manager.
class DesktopFolderOpener final : public FolderOpener
{
public:
    void openFolder(const QString& path) override;
};

} // namespace zelvano
