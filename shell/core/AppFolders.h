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
// - in a portable folder, that folder, when it holds a roll book or a
//   settings database or can take new files;
// - otherwise Zelvano in the teacher's documents folder, where a file
//   manager and a spreadsheet program find it.
// A data folder that does not exist yet is made and seeded with the sample
// roll book, the sample prize pictures and the first settings database.
// Seeding happens only then, so a file the teacher removes later stays
// removed.
struct AppFolders {
    QString programDir;
    QString dataDir;
    bool seeded = false;
    // Empty, or the message to show when the data folder cannot be made.
    QString problem;

    static AppFolders find(const QStringList& arguments, const FolderPlatform& platform);

    // Shows the problem, if any, as a warning. True when there was none.
    bool reportProblem(MessageService& messages) const;
};

// A picture the teacher names: the one in the data folder's img/, else the
// sample shipped with the program. A name found in neither gives the data
// folder's path, which does not exist.
QString findPicture(const QString& dataDir, const QString& programDir, const QString& name);

} // namespace zelvano
