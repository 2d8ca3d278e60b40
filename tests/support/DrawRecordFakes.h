#pragma once

// Scripted stand-ins for the draw record, the voice and the file manager:
// tests read what would have been recorded, spoken or opened.

#include "shell/core/DrawLog.h"
#include "shell/core/FolderOpener.h"
#include "shell/core/Voice.h"

#include <QStringList>

#include <vector>

namespace zelvano::testing
{

class RecordingDrawLog final : public DrawLog
{
public:
    void append(const DrawEvent& event) override { events.push_back(event); }
    QString filePath() const override { return path; }

    std::vector<DrawEvent> events;
    QString path;
};

// A voice that is available unless told otherwise; `said` keeps every text
// in order, `stops` counts the cut-offs, `prepares` the engine starts asked.
class ScriptedVoice final : public Voice
{
public:
    void prepare() override { ++prepares; }
    bool available() const override { return reason.isEmpty(); }
    QString unavailableReason() const override { return reason; }
    void say(const QString& text) override { said << text; }
    void stop() override { ++stops; }

    QString reason; // set to make the voice unavailable
    QStringList said;
    int stops = 0;
    int prepares = 0;
};

class RecordingFolderOpener final : public FolderOpener
{
public:
    void openFolder(const QString& path) override { opened << path; }
    QStringList opened;
};

} // namespace zelvano::testing
