#pragma once

#include <QString>
#include <QStringList>

namespace zelvano
{

class FolderPlatform;
class MessageService;

// Where the program's own files are and where the teacher's files live.
//
// The program's files (cues, button pictures, the sample roll book, the
// sample prize pictures and a first settings database) lie beside the
// executable in a portable folder, or in ../share/zelvano when installed.
// The layout decides which: cues beside the executable mean portable.
//
// The teacher's files (the roll book, its backups, the settings database
// and the prize pictures) live in the data folder:
// - `--data-dir DIR` or ZELVANO_DATA_DIR, when given;
// - in a portable folder, that folder, when it can take new files;
// - otherwise Zelvano in the teacher's documents folder, where a file
//   manager and a spreadsheet program find it. When a portable folder
//   could not be written, the teacher is told where, once: the start that
//   makes the folder.
// The program never keeps the teacher's files where they cannot be saved.
// A data folder is made when it does not exist yet, and every start gives
// it the program's files it lacks (a roll book in either form, the first
// settings database, the sample prize pictures), never over a file that
// is there.
struct AppFolders {
    QString programDir;
    QString dataDir;
    bool seeded = false; // some of the program's files were laid in just now
    // Empty, or the message to show when the data folder cannot be made.
    QString problem;
    // Empty, or where the teacher's files went instead of the program's
    // folder, to tell once.
    QString notice;

    static AppFolders find(const QStringList& arguments, const FolderPlatform& platform);

    // Shows the problem, if any, as a warning, else the notice, if any. True
    // when there was no problem.
    bool reportProblem(MessageService& messages) const;
};

// A picture the teacher names: the one in the data folder's img/, else the
// sample shipped with the program. A name found in neither gives the data
// folder's path, which does not exist.
QString findPicture(const QString& dataDir, const QString& programDir, const QString& name);

} // namespace zelvano
