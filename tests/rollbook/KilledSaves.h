#pragma once

#include "XlsTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xlstest
{

// Runs `zelvano-xls set FILE 1 5 3 --text 新内容` again and again, each run
// killed after a random delay, and checks that the file always dumps as it
// did before (`oldDump`) or after (`newDump`) the change; after a finished
// save the backup puts the old file back for the next round.
inline void killSavesAtRandom(const fs::path& file, const fs::path& backup,
                              const std::string& oldDump, const std::string& newDump, unsigned seed,
                              unsigned maxDelayUs)
{
    std::mt19937 rng(seed);
    int finished = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 2);
            execl(tool().c_str(), "zelvano-xls", "set", file.c_str(), "1", "5", "3", "--text",
                  "新内容", static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(rng() % maxDelayUs);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = xlsTool({"dump", file.string()}).out;
        ASSERT_TRUE(now == oldDump || now == newDump) << "attempt " << attempt;
        if (now == newDump) {
            ++finished;
            fs::copy_file(backup, file, fs::copy_options::overwrite_existing);
        }
    }
    ::testing::Test::RecordProperty("finishedSaves", finished);
}

} // namespace xlstest
