#include "shell/core/SystemProcessControl.h"

#include "TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zelvano;

namespace
{

TEST(ProcessSelection, MatchesNameInAnyCaseAndSparesSelf)
{
    const std::vector<platform::ProcessInfo> list = {{10, "EXCEL.EXE", {}},
                                                     {11, "excel.exe", {}},
                                                     {12, "Excel.exe.bak", {}},
                                                     {13, "et.exe", {}},
                                                     {99, "Excel.exe", {}}};
    EXPECT_EQ(processesNamed(list, "Excel.exe", 99), (std::vector<std::int64_t>{10, 11}));
    EXPECT_EQ(processesNamed(list, "et.exe", 99), (std::vector<std::int64_t>{13}));
    EXPECT_TRUE(processesNamed(list, "nobody-has-this.exe", 99).empty());
    EXPECT_TRUE(processesNamed(list, "", 99).empty());
}

// A copy of `sleep` under a name longer than the 15 characters that
// /proc/PID/comm keeps, so the match must use the executable's own name.
class SleeperProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Unique per test process: tests run in parallel and must not end
        // each other's sleepers.
        name = "zelvano-test-sleeper-" + std::to_string(getpid()) + "-with-a-long-name";
        executable = temp.file(QString::fromStdString(name)).toStdString();
        ASSERT_TRUE(QFile::copy("/bin/sleep", QString::fromStdString(executable)));
        QFile::setPermissions(QString::fromStdString(executable),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        held = temp.file(QStringLiteral("点名册.xls")).toStdString();
        QFile book(QString::fromStdString(held));
        ASSERT_TRUE(book.open(QIODevice::WriteOnly));
        book.close();
        child = fork();
        if (child == 0) {
            // The sleeper holds the roll book open, as a spreadsheet would.
            const int fd = open(held.c_str(), O_RDONLY);
            dup2(fd, 0);
            execl(executable.c_str(), executable.c_str(), "60", nullptr);
            _exit(127);
        }
        ASSERT_GT(child, 0);
        // Wait until the child has become the sleeper.
        for (int i = 0; i < 200; ++i) {
            char target[4096] = {};
            const auto link = "/proc/" + std::to_string(child) + "/exe";
            if (readlink(link.c_str(), target, sizeof target - 1) > 0 &&
                std::string(target).ends_with(name))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    void TearDown() override
    {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    }
    bool childEnded()
    {
        int status = 0;
        for (int i = 0; i < 200; ++i) {
            if (waitpid(child, &status, WNOHANG) == child) {
                child = -1;
                endedBy = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    zelvano::testing::TempDir temp;
    std::string name;
    std::string executable;
    std::string held;
    pid_t child = -1;
    int endedBy = 0;
};

TEST_F(SleeperProcess, HolderIsNamedAndAskedToCloseNeverForced)
{
    SystemProcessControl processes;
    const std::vector<FileHolder> holders = processes.processesHoldingFile(held);
    ASSERT_EQ(holders, (std::vector<FileHolder>{{child, name}}));
    EXPECT_TRUE(processes.isRunning(child));
    EXPECT_TRUE(processes.askToClose(child));
    EXPECT_TRUE(childEnded());
    EXPECT_EQ(endedBy, SIGTERM); // asked, as closing its window would; never SIGKILL
    EXPECT_FALSE(processes.isRunning(holders.front().pid));
}

TEST_F(SleeperProcess, AFileItDoesNotHoldNamesNobodyAndOurOwnProcessIsNeverAsked)
{
    SystemProcessControl processes;
    const std::string other = temp.file(QStringLiteral("其他.xls")).toStdString();
    QFile(QString::fromStdString(other)).open(QIODevice::WriteOnly);
    EXPECT_TRUE(processes.processesHoldingFile(other).empty());
    EXPECT_FALSE(processes.askToClose(getpid()));
    EXPECT_FALSE(childEnded());
}

TEST(ProgramTitle, SpreadsheetsByTheNamesTeachersKnow)
{
    const std::pair<const char*, const char*> rows[] = {{"soffice.bin", "LibreOffice Calc"},
                                                        {"EXCEL.EXE", "Excel"},
                                                        {"et", "WPS 表格"},
                                                        {"python3.11", "python3.11"}};
    for (const auto& [image, title] : rows)
        EXPECT_EQ(programTitle(image), title) << image;
}

} // namespace
