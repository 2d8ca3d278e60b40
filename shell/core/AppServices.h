#pragma once

#include <QString>

#include <cstdint>

namespace zelvano
{

class ColourPicker;
class Clock;
class DrawLog;
class FolderOpener;
class MessageService;
class ProcessControl;
class ProgramEnd;
class RandomSource;
class SettingsStore;
class SoundPlayer;
class Voice;

// What every window is handed: the program-wide state and the services a
// test replaces with scripted doubles. Built once, in main, for the program.
struct AppServices {
    QString appDir;  // the program's own files: cues, button pictures, samples
    QString dataDir; // the teacher's files: roll book, backups, settings, prize pictures
    MessageService* messages = nullptr;
    ColourPicker* colours = nullptr;
    ProgramEnd* programEnd = nullptr;
    Clock* clock = nullptr;
    RandomSource* random = nullptr;
    SoundPlayer* sound = nullptr;
    SettingsStore* settings = nullptr;
    ProcessControl* processes = nullptr;
    DrawLog* drawLog = nullptr;           // the record of every draw
    Voice* voice = nullptr;               // reads results aloud
    FolderOpener* folderOpener = nullptr; // shows a folder to the teacher

    // The chosen mode: 0 classroom, 1 number draw, 2 seat draw, 3 prize for
    // a fixed person, 4 winner for a fixed prize. Set only by the mode menu.
    std::int16_t modeCode = 0;
};

} // namespace zelvano
