#include "shell/core/AppFolders.h"

#include "shell/core/FolderPlatform.h"
#include "shell/core/MessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zelvano
{

namespace
{

const QString kDataDirOption = QStringLiteral("--data-dir");
constexpr const char* kDataDirVariable = "ZELVANO_DATA_DIR";
const QString kInstalledShare = QStringLiteral("../share/zelvano");
const QString kDocumentsFolder = QStringLiteral("Zelvano");
const QString kCueFolder = QStringLiteral("sound");
const QString kPictureFolder = QStringLiteral("img");

// The files whose presence makes a portable folder the teacher's.
const QStringList kTeacherFiles = {QStringLiteral("点名册.xls"), QStringLiteral("点名册.xlsx"),
                                   QStringLiteral("MSCOMSJK.com")};
// Laid into a new data folder; the pictures come besides them.
const QStringList kSeedFiles = {QStringLiteral("点名册.xls"), QStringLiteral("MSCOMSJK.com")};

QString dataDirOverride(const QStringList& arguments, const FolderPlatform& platform)
{
    const QString joined = kDataDirOption + u'=';
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == kDataDirOption && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (argument.startsWith(joined))
            return argument.mid(joined.size());
    }
    return platform.environment(kDataDirVariable);
}

bool holdsTeacherFiles(const QDir& dir)
{
    for (const QString& name : kTeacherFiles) {
        if (QFileInfo::exists(dir.filePath(name)))
            return true;
    }
    return false;
}

// The start-button looks stay with the program; every other picture is a
// sample prize picture the teacher may replace.
bool isButtonPicture(const QString& name)
{
    return name.startsWith(QStringLiteral("bt"), Qt::CaseInsensitive);
}

bool seed(const QDir& program, const QDir& data)
{
    bool ok = true;
    for (const QString& name : kSeedFiles) {
        const QString source = program.filePath(name);
        if (QFileInfo::exists(source))
            ok = QFile::copy(source, data.filePath(name)) && ok;
    }
    const QDir pictures(program.filePath(kPictureFolder));
    const QStringList names = pictures.entryList(QDir::Files);
    if (names.isEmpty())
        return ok;
    ok = data.mkpath(kPictureFolder) && ok;
    for (const QString& name : names) {
        if (!isButtonPicture(name))
            ok =
                QFile::copy(pictures.filePath(name), data.filePath(kPictureFolder + u'/' + name)) &&
                ok;
    }
    return ok;
}

QString cannotMake(const QString& dir)
{
    return QStringLiteral("无法建立数据文件夹：\n%1\n请确认那里可以写入，或用 --data-dir "
                          "指定另一个文件夹。")
        .arg(QDir::toNativeSeparators(dir));
}

// Makes and seeds the data folder when it does not exist yet.
void prepare(AppFolders& folders)
{
    const QFileInfo info(folders.dataDir);
    if (info.isDir())
        return;
    QDir data(folders.dataDir);
    if (info.exists() || !data.mkpath(QStringLiteral("."))) {
        folders.problem = cannotMake(folders.dataDir);
        return;
    }
    folders.seeded = true;
    if (!seed(QDir(folders.programDir), data))
        folders.problem = cannotMake(folders.dataDir);
}

} // namespace

AppFolders AppFolders::find(const QStringList& arguments, const FolderPlatform& platform)
{
    AppFolders folders;
    const QDir executable(platform.executableDir());
    const bool portable = QFileInfo(executable.filePath(kCueFolder)).isDir();
    folders.programDir = portable ? executable.absolutePath()
                                  : QDir::cleanPath(executable.filePath(kInstalledShare));

    const QString chosen = dataDirOverride(arguments, platform);
    if (!chosen.isEmpty()) {
        folders.dataDir = QDir::cleanPath(QDir(chosen).absolutePath());
    } else if (portable &&
               (holdsTeacherFiles(executable) || platform.isWritable(executable.absolutePath()))) {
        folders.dataDir = folders.programDir;
        return folders;
    } else {
        const QString documents = platform.documentsDir();
        if (documents.isEmpty()) {
            folders.problem = cannotMake(QDir::homePath() + u'/' + kDocumentsFolder);
            return folders;
        }
        folders.dataDir = QDir::cleanPath(documents + u'/' + kDocumentsFolder);
    }
    prepare(folders);
    return folders;
}

bool AppFolders::reportProblem(MessageService& messages) const
{
    if (problem.isEmpty())
        return true;
    messages.show(problem, QStringLiteral("警告"), MessageIcon::Critical);
    return false;
}

QString findPicture(const QString& dataDir, const QString& programDir, const QString& name)
{
    const QString relative = kPictureFolder + u'/' + name;
    const QString own = QDir(dataDir).filePath(relative);
    if (QFileInfo(own).isFile())
        return own;
    const QString sample = QDir(programDir).filePath(relative);
    return QFileInfo(sample).isFile() ? sample : own;
}

} // namespace zelvano
