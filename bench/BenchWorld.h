#pragma once

// The services a draw window needs in a benchmark: real clock and random
// source, no sound, a fresh settings database, and `folder` as both the
// program's and the teacher's folder.

#include "shell/core/AppServices.h"
#include "shell/core/EntropyRandom.h"
#include "shell/core/MessageService.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/core/SoundPlayer.h"
#include "shell/core/SystemClock.h"
#include "shell/gui/ModeNavigator.h"

#include <QDir>

namespace zelvano::bench
{

class NoSound final : public SoundPlayer
{
public:
    void playSound(const QString&) override {}
};

class NoWindows final : public WindowFactory
{
public:
    QWidget* createModeWindow(Mode) override { return nullptr; }
};

struct BenchWorld {
    BenchWorld(const QString& folder, MessageService& messages)
        : settings((createSettingsDatabase(QDir(folder).filePath(SettingsStore::kDatabaseName)),
                    QDir(folder).filePath(SettingsStore::kDatabaseName)),
                   messages)
    {
        services.appDir = folder;
        services.dataDir = folder;
        services.messages = &messages;
        services.sound = &sound;
        services.clock = &clock;
        services.random = &random;
        services.settings = &settings;
    }

    NoSound sound;
    SystemClock clock;
    EntropyRandom random;
    SettingsStore settings;
    AppServices services;
    NoWindows windows;
    ModeNavigator navigator{services, windows};
};

} // namespace zelvano::bench
