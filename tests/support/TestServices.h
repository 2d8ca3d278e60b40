#pragma once

#include "DrawRecordFakes.h"
#include "Fakes.h"
#include "TempDir.h"

#include "shell/core/AppServices.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace zelvano::testing
{

// Every seam scripted, a fresh settings database in a scratch folder that
// stands for a portable application folder (program and data in one), and
// the AppServices that hand them to a window.
struct TestServices {
    TestServices()
    {
        const QString db = folder.file(QLatin1String(SettingsStore::kDatabaseName));
        createSettingsDatabase(db);
        settings = std::make_unique<SettingsStore>(db, messages);
        services.appDir = folder.path();
        services.dataDir = folder.path();
        services.messages = &messages;
        services.colours = &colours;
        services.programEnd = &programEnd;
        services.clock = &clock;
        services.random = &random;
        services.sound = &sound;
        services.settings = settings.get();
        services.processes = &processes;
        services.drawLog = &drawLog;
        services.voice = &voice;
        services.folderOpener = &folderOpener;
        services.files = &files;
    }

    // Copies a file (such as the sample roll book) into the folder.
    bool addFile(const QString& source, const QString& name)
    {
        const QString target = folder.file(name);
        return QFile::copy(source, target) &&
               QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }

    QString setting(const char* column) { return settings->readSetting(QLatin1String(column)); }
    void setSetting(const char* column, const QString& value, int form = 0)
    {
        settings->writeSetting(QLatin1String(column), value, form);
    }

    TempDir folder;
    ScriptedMessages messages;
    ScriptedColours colours;
    RecordingProgramEnd programEnd;
    FakeClock clock;
    ScriptedRandom random;
    RecordingSound sound;
    RecordingProcesses processes;
    RecordingDrawLog drawLog;
    ScriptedVoice voice;
    RecordingFolderOpener folderOpener;
    ScriptedFiles files;
    std::unique_ptr<SettingsStore> settings;
    AppServices services;
};

} // namespace zelvano::testing
