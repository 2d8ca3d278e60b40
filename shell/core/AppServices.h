#pragma once

#include <QString>

namespace zelvano
{

class ColourPicker;
class Clock;
class DrawLog;
class FileChooser;
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
    FileChooser* files = nullptr;         // asks where to save a picture
};

} // namespace zelvano
