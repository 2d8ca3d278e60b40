#pragma once

#include "shell/core/AppFolders.h"
#include "shell/core/AppServices.h"
#include "shell/core/EntropyRandom.h"
#include "shell/core/SettingsStore.h"
#include "shell/core/SystemClock.h"
#include "shell/core/SystemProcessControl.h"
#include "shell/gui/QtColourPicker.h"
#include "shell/gui/QtFileChooser.h"
#include "shell/gui/QtMessageService.h"
#include "shell/gui/QtProgramEnd.h"
#include "shell/gui/QtSoundPlayer.h"
#include "shell/gui/QtVoice.h"

namespace zelvano
{

// The real services of the program, built in one place for the folders of
// the program's own files and of the teacher's files.
class ProgramServices
{
public:
    explicit ProgramServices(const AppFolders& folders);
    AppServices& services() { return m_services; }

private:
    QtMessageService m_messages;
    QtColourPicker m_colours;
    QtProgramEnd m_programEnd;
    SystemClock m_clock;
    EntropyRandom m_random;
    QtSoundPlayer m_sound;
    SettingsStore m_settings;
    SystemProcessControl m_processes;
    QtVoice m_voice;
    DesktopFolderOpener m_folderOpener;
    QtFileChooser m_files;
    AppServices m_services;
};

} // namespace zelvano
