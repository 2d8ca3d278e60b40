#include "shell/gui/ProgramServices.h"

#include <QDir>

namespace zelvano
{

ProgramServices::ProgramServices(const AppFolders& folders)
    : m_settings(QDir(folders.dataDir).filePath(QLatin1String(SettingsStore::kDatabaseName)),
                 m_messages)
{
    m_services.appDir = folders.programDir;
    m_services.dataDir = folders.dataDir;
    m_services.messages = &m_messages;
    m_services.colours = &m_colours;
    m_services.programEnd = &m_programEnd;
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.sound = &m_sound;
    m_services.settings = &m_settings;
    m_services.processes = &m_processes;
    m_services.voice = &m_voice;
    m_services.folderOpener = &m_folderOpener;
    m_services.files = &m_files;
}

} // namespace zelvano
