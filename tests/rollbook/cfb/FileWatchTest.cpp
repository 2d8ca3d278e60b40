#include "rollbook/cfb/FileWatch.h"
#include "CfbTestSupport.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/PlatformFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <pwd.h>
#include <thread>
#include <unistd.h>

namespace zelvano::xls
{
namespace
{

using namespace test;
namespace fs = std::filesystem;

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

std::string thisHost()
{
    char buf[256] = {};
    ::gethostname(buf, sizeof buf - 1);
    return buf;
}

std::string thisUser()
{
    const passwd* pw = ::getpwuid(::geteuid());
    return pw ? pw->pw_name : "";
}

// Whether a real program of that name runs (pgrep, independent of the code
// under test); a stale lock cannot be told from a live one then.
bool realProgramRuns(const std::string& name)
{
    return runCommand("pgrep -x " + name + " >/dev/null") == 0;
}

class FileWatch : public ::testing::Test
{
protected:
    void SetUp() override { writeFile(rollBook, text("roll book")); }

    static bool realProgramsRun(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            if (realProgramRuns(n))
                return true;
        return false;
    }

    // As LibreOffice writes it: user name, system user, host, time, profile.
    void writeLock(const std::string& user, const std::string& host, const std::string& name = "")
    {
        writeFile(dir / ".~lock.点名册.xls#",
                  text(name + "," + user + "," + host + ",09.12.2026 03:08," + "file:///home/" +
                       user + "/.config/libreoffice/4;"));
    }

    // A long-running process whose program file is called `name`, as
    // LibreOffice's or WPS's would be.
    std::unique_ptr<ChildProcess> fakeProgram(const std::string& name)
    {
        const fs::path program = dir / name;
        fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
        auto child =
            std::make_unique<ChildProcess>(std::vector<std::string>{program.string(), "60"});
        waitFor([&] {
            return fs::exists("/proc/" + std::to_string(child->pid()) + "/exe") &&
                   fs::read_symlink("/proc/" + std::to_string(child->pid()) + "/exe") == program;
        });
        return child;
    }

    static void waitFor(const std::function<bool()>& ready)
    {
        for (int i = 0; i < 500 && !ready(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    TempDir dir;
    fs::path rollBook = dir / "点名册.xls";
};

TEST_F(FileWatch, Stamp_SameFileGivesSameStamp)
{
    EXPECT_EQ(stampOf(rollBook), stampOf(rollBook));
}

TEST_F(FileWatch, Stamp_ChangesWithContentAtSameSizeAndTime)
{
    const FileStamp before = stampOf(rollBook);
    const auto mtime = fs::last_write_time(rollBook);
    writeFile(rollBook, text("roll bool"));
    fs::last_write_time(rollBook, mtime);
    const FileStamp after = stampOf(rollBook);
    EXPECT_EQ(after.size, before.size);
    EXPECT_EQ(after.modifiedNs, before.modifiedNs);
    EXPECT_NE(after.contentHash, before.contentHash);
    EXPECT_NE(after, before);
}

TEST_F(FileWatch, Stamp_MissingFileThrows)
{
    EXPECT_THROW(stampOf(dir / "none.xls"), XlsError);
}

TEST_F(FileWatch, Access_PlainFileIsWritable)
{
    const WriteAccess access = checkWriteAccess(rollBook);
    EXPECT_FALSE(access.readOnly);
    EXPECT_TRUE(access.reason.empty());
}

TEST_F(FileWatch, Access_CheckingNeverChangesTheFile)
{
    const FileStamp before = stampOf(rollBook);
    checkWriteAccess(rollBook);
    EXPECT_EQ(stampOf(rollBook), before);
}

TEST_F(FileWatch, Access_MissingFileIsNotWritable)
{
    const WriteAccess access = checkWriteAccess(dir / "none.xls");
    EXPECT_TRUE(access.readOnly);
    EXPECT_NE(access.reason.find("none.xls"), std::string::npos);
}

TEST_F(FileWatch, Access_ReadOnlyByPermissions)
{
    // Marked read-only counts for root too, who could write it anyway.
    fs::permissions(rollBook, fs::perms::owner_read | fs::perms::group_read);
    const WriteAccess access = checkWriteAccess(rollBook);
    EXPECT_TRUE(access.readOnly);
    EXPECT_EQ(access.problem, WriteProblem::ReadOnly);
    EXPECT_NE(access.reason.find("只读"), std::string::npos) << access.reason;
}

TEST_F(FileWatch, Access_StaleLibreOfficeLockFromThisComputerIsIgnored)
{
    if (realProgramsRun({"soffice.bin", "soffice"}))
        GTEST_SKIP() << "LibreOffice is running on this machine";
    writeLock(thisUser(), thisHost());
    EXPECT_FALSE(checkWriteAccess(rollBook).readOnly);
    writeLock(thisUser(), thisHost() + ".localdomain", "张老师");
    EXPECT_FALSE(checkWriteAccess(rollBook).readOnly);
}

TEST_F(FileWatch, Access_LibreOfficeLockFromAnotherComputerCounts)
{
    writeLock("teacher", "classroom-pc-" + thisHost(), "张老师");
    const WriteAccess access = checkWriteAccess(rollBook);
    EXPECT_TRUE(access.readOnly);
    EXPECT_EQ(access.problem, WriteProblem::Held);
    EXPECT_EQ(access.pid, 0); // nothing here to ask
    EXPECT_NE(access.reason.find("LibreOffice 中打开编辑（张老师）"), std::string::npos)
        << access.reason;
    EXPECT_EQ(access.owner, "张老师，电脑 classroom-pc-" + thisHost());
    EXPECT_EQ(access.reason.find('\n'), std::string::npos);
}

TEST_F(FileWatch, Access_LibreOfficeLockCountsWhileLibreOfficeRunsForThatUser)
{
    writeLock(thisUser(), thisHost());
    const auto soffice = fakeProgram("soffice.bin");
    const WriteAccess access = checkWriteAccess(rollBook);
    EXPECT_TRUE(access.readOnly);
    EXPECT_EQ(access.image, "soffice.bin");
    EXPECT_GT(access.pid, 0); // a LibreOffice of ours: the one to name
}

TEST_F(FileWatch, Access_LibreOfficeOfAnotherUserDoesNotMakeTheLockLive)
{
    if (realProgramsRun({"soffice.bin", "soffice"}))
        GTEST_SKIP() << "LibreOffice is running on this machine";
    ASSERT_NE(thisUser(), "nobody");
    writeLock("nobody", thisHost());
    const auto soffice = fakeProgram("soffice.bin");
    EXPECT_FALSE(checkWriteAccess(rollBook).readOnly);
}

TEST_F(FileWatch, Access_OwnerFileHeldOpenByAnotherProcessCounts)
{
    if (realProgramsRun({"wps", "et", "wpp", "excel"}))
        GTEST_SKIP() << "WPS or Excel is running on this machine";
    const fs::path owner = dir / "~$点名册.xls";
    writeFile(owner, Bytes(165, 0));
    {
        // A shell holding the owner file open, as Excel does while editing.
        ChildProcess holder({"/bin/sh", "-c", "exec sleep 60 < " + quoted(owner)});
        const std::string fd0 = "/proc/" + std::to_string(holder.pid()) + "/fd/0";
        waitFor([&] {
            std::error_code ec;
            return fs::read_symlink(fd0, ec) == owner;
        });
        const WriteAccess access = checkWriteAccess(rollBook);
        EXPECT_TRUE(access.readOnly);
        EXPECT_NE(access.reason.find("点名册.xls"), std::string::npos) << access.reason;
    }
    // The holder is gone: the owner file is a leftover.
    EXPECT_FALSE(checkWriteAccess(rollBook).readOnly);
}

TEST_F(FileWatch, Access_ExcelOwnerFileOfLongNameDropsTwoCharacters)
{
    const fs::path book = dir / "Roll book 2026.xls";
    writeFile(book, text("x"));
    const fs::path owner = dir / "~$ll book 2026.xls";
    writeFile(owner, Bytes(165, 0));
    ChildProcess holder({"/bin/sh", "-c", "exec sleep 60 < " + quoted(owner)});
    const std::string fd0 = "/proc/" + std::to_string(holder.pid()) + "/fd/0";
    waitFor([&] {
        std::error_code ec;
        return fs::read_symlink(fd0, ec) == owner;
    });
    EXPECT_TRUE(checkWriteAccess(book).readOnly);
}

TEST_F(FileWatch, Access_RecentOwnerFileCountsWhileWpsRuns)
{
    if (realProgramsRun({"wps", "et", "wpp", "excel"}))
        GTEST_SKIP() << "WPS or Excel is running on this machine";
    writeFile(dir / "~$点名册.xls", Bytes(165, 0));
    const auto wps = fakeProgram("et");
    EXPECT_TRUE(checkWriteAccess(rollBook).readOnly);
    // An owner file from two days ago is a leftover even while WPS runs.
    fs::last_write_time(dir / "~$点名册.xls",
                        fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_FALSE(checkWriteAccess(rollBook).readOnly);
}

// A failed save says why in the teacher's words, never in the system's
// English ("No space left on device").
TEST(SystemErrorText, CommonFailuresInChinese)
{
    const std::pair<int, const char*> rows[] = {{ENOSPC, "磁盘空间已满"},
                                                {EROFS, "磁盘是只读的"},
                                                {EACCES, "没有写入权限"},
                                                {ENOENT, "文件夹已不存在"},
                                                {EIO, "磁盘读写出错"}};
    for (const auto& [code, text] : rows)
        EXPECT_EQ(platform::systemErrorText(code), text) << code;
    EXPECT_EQ(platform::systemErrorText(12345), "系统错误 12345");
}

} // namespace
} // namespace zelvano::xls
