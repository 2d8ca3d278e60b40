#include "shell/core/AppFolders.h"

#include "shell/core/FolderPlatform.h"
#include "shell/core/MessageService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace zelvano
{

namespace
{

const QString kDataDirOption = QStringLiteral("--data-dir");
constexpr const char* kDataDirVariable = "ZELVANO_DATA_DIR";
const QString kInstalledShare = QStringLiteral("../share/zelvano");
const QString kDocumentsFolder = QStringLiteral("Zelvano");
const QString kPictureFolder = QStringLiteral("img");

// The roll book in either form, and the first settings database: laid into
// a data folder that lacks them; the sample pictures come besides them.
const QStringList kRollBookFiles = {QStringLiteral("点名册.xls"), QStringLiteral("点名册.xlsx")};
const QString kSettingsFile = QStringLiteral("MSCOMSJK.com");

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

// The start-button looks stay with the program; every other picture is a
// sample prize picture the teacher may replace.
bool isButtonPicture(const QString& name)
{
    return name.startsWith(QStringLiteral("bt"), Qt::CaseInsensitive);
}

// The program's files the data folder lacks, as (source, target) pairs. A
// roll book in either form counts as the roll book: a teacher who moved to
// the .xlsx one never gets the sample .xls beside it.
QList<std::pair<QString, QString>> missingFiles(const QDir& program, const QDir& data)
{
    QList<std::pair<QString, QString>> missing;
    const auto add = [&](const QString& source, const QString& relative) {
        if (QFileInfo::exists(source) && !QFileInfo::exists(data.filePath(relative)))
            missing.append({source, data.filePath(relative)});
    };
    const bool hasRollBook = std::any_of(kRollBookFiles.begin(), kRollBookFiles.end(),
                                         [&](const QString& n) { return data.exists(n); });
    if (!hasRollBook) {
        for (const QString& name : kRollBookFiles)
            add(program.filePath(name), name);
    }
    add(program.filePath(kSettingsFile), kSettingsFile);
    const QDir pictures(program.filePath(kPictureFolder));
    for (const QString& name : pictures.entryList(QDir::Files)) {
        if (!isButtonPicture(name))
            add(pictures.filePath(name), kPictureFolder + u'/' + name);
    }
    return missing;
}

// Copies what is missing, never over a file that is there. False when a
// copy failed.
bool seed(AppFolders& folders)
{
    bool ok = true;
    for (const auto& [source, target] :
         missingFiles(QDir(folders.programDir), QDir(folders.dataDir))) {
        ok = QDir().mkpath(QFileInfo(target).path()) && QFile::copy(source, target) && ok;
        folders.seeded = true;
    }
    return ok;
}

QString cannotMake(const QString& dir)
{
    return QStringLiteral("无法建立数据文件夹：\n%1\n请确认那里可以写入，或用 --data-dir "
                          "指定另一个文件夹。")
        .arg(QDir::toNativeSeparators(dir));
}

// Makes the data folder when it does not exist yet, and gives it the
// program's files it lacks. True when the folder was made just now.
bool prepare(AppFolders& folders)
{
    const QFileInfo info(folders.dataDir);
    const bool made = !info.isDir();
    if (made && (info.exists() || !QDir(folders.dataDir).mkpath(QStringLiteral(".")))) {
        folders.problem = cannotMake(folders.dataDir);
        return false;
    }
    if (!seed(folders))
        folders.problem = cannotMake(folders.dataDir);
    return made;
}

} // namespace

AppFolders AppFolders::find(const QStringList& arguments, const FolderPlatform& platform)
{
    AppFolders folders;
    const QDir executable(platform.executableDir());
    // A portable folder carries the sample pictures beside the program; an
    // installed program's folder (/usr/bin) does not.
    const bool portable = QFileInfo(executable.filePath(kPictureFolder)).isDir();
    folders.programDir = portable ? executable.absolutePath()
                                  : QDir::cleanPath(executable.filePath(kInstalledShare));

    const QString chosen = dataDirOverride(arguments, platform);
    if (!chosen.isEmpty()) {
        folders.dataDir = QDir::cleanPath(QDir(chosen).absolutePath());
        prepare(folders);
        return folders;
    }
    // A portable folder keeps the teacher's files only where they can be
    // saved: a copy on a CD or a locked-down share would lose every change.
    if (portable && platform.isWritable(executable.absolutePath())) {
        folders.dataDir = folders.programDir;
        return folders;
    }
    const QString documents = platform.documentsDir();
    if (documents.isEmpty()) {
        folders.problem = cannotMake(QDir::homePath() + u'/' + kDocumentsFolder);
        return folders;
    }
    folders.dataDir = QDir::cleanPath(documents + u'/' + kDocumentsFolder);
    if (prepare(folders) && portable && folders.problem.isEmpty()) {
        folders.notice = QStringLiteral("程序所在的文件夹不能写入，点名册、设置和抽取记录"
                                        "改为保存在：\n%1")
                             .arg(QDir::toNativeSeparators(folders.dataDir));
    }
    return folders;
}

bool AppFolders::reportProblem(MessageService& messages) const
{
    if (!problem.isEmpty()) {
        messages.show(problem, QStringLiteral("警告"), MessageIcon::Critical);
        return false;
    }
    if (!notice.isEmpty())
        messages.show(notice, QStringLiteral("提醒"), MessageIcon::Information);
    return true;
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
