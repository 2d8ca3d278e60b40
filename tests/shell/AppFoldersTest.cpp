#include "shell/core/AppFolders.h"
#include "shell/core/FolderPlatform.h"

#include "Fakes.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

// The system as a test lays it out: folders in a scratch tree, and
// permissions answered by the test, since CI runs as root and writes
// everywhere.
class FakePlatform final : public FolderPlatform
{
public:
    QString executableDir() const override { return exe; }
    QString documentsDir() const override { return documents; }
    QString environment(const char* name) const override
    {
        return QLatin1String(name) == QLatin1String("ZELVANO_DATA_DIR") ? dataDirVariable
                                                                        : QString();
    }
    bool isWritable(const QString&) const override { return writable; }

    QString exe;
    QString documents;
    QString dataDirVariable;
    bool writable = true;
};

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

enum class Layout { Portable, Installed };
enum class Expect { ProgramFolder, Documents, Chosen };

struct FolderCase {
    const char* name;
    Layout layout;
    const char* teacherFile; // already in the program's folder, or empty
    bool writable;
    const char* argument; // "--data-dir", "--data-dir=", or empty
    bool variable;        // ZELVANO_DATA_DIR set to another folder
    Expect expect;
};

// Names the case in ctest's listing instead of dumping its bytes.
void PrintTo(const FolderCase& c, std::ostream* out)
{
    *out << c.name;
}

class AppFoldersTest : public ::testing::Test
{
protected:
    // The program's own files where `layout` puts them.
    QString layOut(Layout layout)
    {
        const QString program = layout == Layout::Portable
                                    ? root.file(QStringLiteral("app"))
                                    : root.file(QStringLiteral("usr/share/zelvano"));
        writeFile(program + QStringLiteral("/sound/type.wav"), "cue");
        writeFile(program + QStringLiteral("/img/bt1.gif"), "button");
        writeFile(program + QStringLiteral("/img/p1.gif"), "sample prize");
        writeFile(program + QStringLiteral("/点名册.xls"), "sample roll book");
        writeFile(program + QStringLiteral("/MSCOMSJK.com"), "first settings");
        platform.exe = layout == Layout::Portable ? program : root.file(QStringLiteral("usr/bin"));
        QDir().mkpath(platform.exe);
        return program;
    }
    QString documentsData() const { return platform.documents + QStringLiteral("/Zelvano"); }

    TempDir root;
    FakePlatform platform;
};

class AppFoldersRuleTest : public AppFoldersTest, public ::testing::WithParamInterface<FolderCase>
{
};

TEST_P(AppFoldersRuleTest, ChoosesTheDataFolder)
{
    const FolderCase& c = GetParam();
    platform.documents = root.file(QStringLiteral("home/文档"));
    const QString program = layOut(c.layout);
    if (c.layout == Layout::Portable) {
        QFile::remove(program + QStringLiteral("/点名册.xls"));
        QFile::remove(program + QStringLiteral("/MSCOMSJK.com"));
        if (*c.teacherFile)
            writeFile(program + u'/' + QString::fromUtf8(c.teacherFile), "teacher's");
    }
    platform.writable = c.writable;
    const QString chosen = root.file(QStringLiteral("shared/班级"));
    QStringList arguments{QStringLiteral("zelvano")};
    if (QByteArray(c.argument) == "--data-dir")
        arguments << QStringLiteral("--data-dir") << chosen;
    else if (*c.argument)
        arguments << QString::fromUtf8(c.argument) + chosen;
    if (c.variable)
        platform.dataDirVariable = root.file(QStringLiteral("from-environment"));

    const AppFolders folders = AppFolders::find(arguments, platform);

    EXPECT_EQ(folders.programDir, program);
    EXPECT_TRUE(folders.problem.isEmpty()) << folders.problem.toStdString();
    const QString expected = c.expect == Expect::ProgramFolder ? program
                             : c.expect == Expect::Documents   ? documentsData()
                             : *c.argument                     ? chosen
                                                               : platform.dataDirVariable;
    EXPECT_EQ(folders.dataDir, expected);
    // A folder the program makes is seeded; the program's folder never is.
    const bool made = c.expect != Expect::ProgramFolder;
    EXPECT_EQ(folders.seeded, made);
    if (made) {
        for (const char* name : {"点名册.xls", "点名册.xlsx", "MSCOMSJK.com"})
            EXPECT_EQ(readFile(expected + u'/' + QString::fromUtf8(name)),
                      readFile(program + u'/' + QString::fromUtf8(name)))
                << name;
    } else {
        EXPECT_EQ(QDir(program).entryList(QDir::Files).size(), *c.teacherFile ? 1 : 0);
    }
    EXPECT_EQ(QFileInfo::exists(documentsData()), c.expect == Expect::Documents);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, AppFoldersRuleTest, ::testing::Values(
    FolderCase{"PortableWithRollBook", Layout::Portable, "点名册.xls", true, "", false, Expect::ProgramFolder},
    FolderCase{"PortableReadOnlyWithRollBook_UsesDocumentsSeededFromIt", Layout::Portable, "点名册.xls", false, "", false, Expect::Documents},
    FolderCase{"PortableReadOnlyWithXlsxRollBook_UsesDocuments", Layout::Portable, "点名册.xlsx", false, "", false, Expect::Documents},
    FolderCase{"PortableReadOnlyWithSettingsOnly_UsesDocuments", Layout::Portable, "MSCOMSJK.com", false, "", false, Expect::Documents},
    FolderCase{"PortableWritableAndEmpty_StaysAsItIs", Layout::Portable, "", true, "", false, Expect::ProgramFolder},
    FolderCase{"PortableReadOnlyAndEmpty_UsesDocuments", Layout::Portable, "", false, "", false, Expect::Documents},
    FolderCase{"Installed_UsesDocuments_EvenWhenWritable", Layout::Installed, "", true, "", false, Expect::Documents},
    FolderCase{"Installed_DataDirOption", Layout::Installed, "", true, "--data-dir", false, Expect::Chosen},
    FolderCase{"PortableWithData_DataDirJoinedOption", Layout::Portable, "点名册.xls", true, "--data-dir=", false, Expect::Chosen},
    FolderCase{"Installed_EnvironmentVariable", Layout::Installed, "", true, "", true, Expect::Chosen},
    FolderCase{"Portable_OptionBeatsEnvironment", Layout::Portable, "点名册.xls", true, "--data-dir", true, Expect::Chosen}),
    [](const auto& test) { return std::string(test.param.name); });
// clang-format on

TEST_F(AppFoldersTest, Installed_SeedsSamplesAndSettings_ButNotButtonPictures)
{
    platform.documents = root.file(QStringLiteral("home/Documents"));
    const QString program = layOut(Layout::Installed);
    const AppFolders folders = AppFolders::find({QStringLiteral("zelvano")}, platform);
    ASSERT_TRUE(folders.seeded);
    EXPECT_EQ(readFile(folders.dataDir + QStringLiteral("/点名册.xls")), "sample roll book");
    EXPECT_EQ(readFile(folders.dataDir + QStringLiteral("/MSCOMSJK.com")), "first settings");
    EXPECT_EQ(readFile(folders.dataDir + QStringLiteral("/img/p1.gif")), "sample prize");
    EXPECT_FALSE(QFileInfo::exists(folders.dataDir + QStringLiteral("/img/bt1.gif")));
    EXPECT_FALSE(QFileInfo::exists(folders.dataDir + QStringLiteral("/sound")));
}

TEST_F(AppFoldersTest, SecondStart_KeepsTheTeachersChanges_AndRefillsOnlyWhatIsMissing)
{
    platform.documents = root.file(QStringLiteral("home/Documents"));
    layOut(Layout::Installed);
    const QString data = AppFolders::find({QStringLiteral("zelvano")}, platform).dataDir;
    writeFile(data + QStringLiteral("/MSCOMSJK.com"), "teacher's settings");
    QFile::remove(data + QStringLiteral("/img/p1.gif"));

    const AppFolders again = AppFolders::find({QStringLiteral("zelvano")}, platform);
    EXPECT_EQ(again.dataDir, data);
    EXPECT_TRUE(again.seeded);
    EXPECT_TRUE(again.problem.isEmpty());
    EXPECT_TRUE(again.notice.isEmpty());
    EXPECT_EQ(readFile(data + QStringLiteral("/MSCOMSJK.com")), "teacher's settings");
    EXPECT_EQ(readFile(data + QStringLiteral("/img/p1.gif")), "sample prize");

    // A teacher who moved to the .xlsx roll book gets no sample .xls beside it.
    QFile::rename(data + QStringLiteral("/点名册.xls"), data + QStringLiteral("/点名册.xlsx"));
    EXPECT_FALSE(AppFolders::find({QStringLiteral("zelvano")}, platform).seeded);
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/点名册.xls")));
}

TEST_F(AppFoldersTest, ChosenFolderThatIsEmpty_IsSeededLikeANewOne)
{
    const QString program = layOut(Layout::Installed);
    const QString chosen = root.file(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    const AppFolders folders = AppFolders::find(
        {QStringLiteral("zelvano"), QStringLiteral("--data-dir"), chosen}, platform);
    EXPECT_TRUE(folders.seeded);
    EXPECT_EQ(readFile(chosen + QStringLiteral("/点名册.xls")), "sample roll book");
    EXPECT_EQ(readFile(chosen + QStringLiteral("/MSCOMSJK.com")), "first settings");
    EXPECT_EQ(readFile(chosen + QStringLiteral("/img/p1.gif")), "sample prize");
}

TEST_F(AppFoldersTest, ReadOnlyPortableFolder_TellsWhereTheFilesGo_Once)
{
    platform.documents = root.file(QStringLiteral("home/文档"));
    layOut(Layout::Portable);
    platform.writable = false;
    ScriptedMessages messages;
    EXPECT_TRUE(AppFolders::find({QStringLiteral("zelvano")}, platform).reportProblem(messages));
    EXPECT_TRUE(AppFolders::find({QStringLiteral("zelvano")}, platform).reportProblem(messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(messages.shown[0].text.endsWith(QDir::toNativeSeparators(documentsData())))
        << messages.shown[0].text.toStdString();
}

TEST_F(AppFoldersTest, FolderThatCannotBeMade_IsReportedAsAWarning)
{
    layOut(Layout::Installed);
    // A plain file where a folder should go stops even root.
    writeFile(root.file(QStringLiteral("blocked")), "a file");
    const QString wanted = root.file(QStringLiteral("blocked/Zelvano"));
    const AppFolders folders = AppFolders::find(
        {QStringLiteral("zelvano"), QStringLiteral("--data-dir"), wanted}, platform);
    EXPECT_FALSE(folders.seeded);

    ScriptedMessages messages;
    EXPECT_FALSE(folders.reportProblem(messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("警告"));
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("无法建立数据文件夹：\n") +
                                                  QDir::toNativeSeparators(wanted) + u'\n'))
        << messages.shown[0].text.toStdString();
}

TEST_F(AppFoldersTest, NoProblem_ShowsNothing)
{
    ScriptedMessages messages;
    EXPECT_TRUE(AppFolders{}.reportProblem(messages));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AppFoldersTest, Pictures_TeachersOwnFirst_ThenTheSample)
{
    const QString data = root.file(QStringLiteral("data"));
    const QString program = root.file(QStringLiteral("program"));
    writeFile(data + QStringLiteral("/img/own.gif"), "own");
    writeFile(data + QStringLiteral("/img/both.gif"), "own");
    writeFile(program + QStringLiteral("/img/both.gif"), "sample");
    writeFile(program + QStringLiteral("/img/sample.gif"), "sample");

    EXPECT_EQ(findPicture(data, program, QStringLiteral("own.gif")),
              data + QStringLiteral("/img/own.gif"));
    EXPECT_EQ(findPicture(data, program, QStringLiteral("both.gif")),
              data + QStringLiteral("/img/both.gif"));
    EXPECT_EQ(findPicture(data, program, QStringLiteral("sample.gif")),
              program + QStringLiteral("/img/sample.gif"));
    EXPECT_EQ(findPicture(data, program, QStringLiteral("none.gif")),
              data + QStringLiteral("/img/none.gif"));
}

} // namespace
