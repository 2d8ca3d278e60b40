#include "shell/core/SystemProcessControl.h"

#include "TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zelvano;

namespace
{

TEST(ProcessSelection, MatchesNameInAnyCaseAndSparesSelf)
{
    const std::vector<platform::ProcessInfo> list = {{10, "EXCEL.EXE"},
                                                     {11, "excel.exe"},
                                                     {12, "Excel.exe.bak"},
                                                     {13, "et.exe"},
                                                     {99, "Excel.exe"}};
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
        child = fork();
        if (child == 0) {
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
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    zelvano::testing::TempDir temp;
    std::string name;
    std::string executable;
    pid_t child = -1;
};

TEST_F(SleeperProcess, EndsProcessByImageNameInAnyCase)
{
    SystemProcessControl processes;
    std::string shouted = name;
    for (char& c : shouted)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(processes.terminateProcesses(shouted), 1);
    EXPECT_TRUE(childEnded());
}

TEST_F(SleeperProcess, UnknownNameEndsNothing)
{
    SystemProcessControl processes;
    EXPECT_EQ(processes.terminateProcesses("no-such-program-anywhere.exe"), 0);
    EXPECT_EQ(processes.terminateProcesses(name.substr(0, 20)), 0); // a prefix is not the name
    EXPECT_FALSE(childEnded());
}

} // namespace
