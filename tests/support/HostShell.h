#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif

// Runs a POSIX shell command line (the independent readers, Python with xlrd
// and openpyxl) and hands back its exit status and what it printed. The
// Windows build's tests run under Wine, where the command goes to the Linux
// side through the tests' python3.exe (tests/support/wine).
namespace zelvano::test
{

struct HostRun {
    int status = -1;
    std::string out;
};

inline HostRun runHostShell(const std::string& command)
{
    HostRun r;
#ifdef _WIN32
    static int counter = 0;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("zelvano-command-" + std::to_string(::_getpid()) + "-" + std::to_string(++counter));
    std::ofstream(file, std::ios::binary) << command;
    FILE* pipe = ::_popen(("python3.exe --sh-file \"" + file.string() + "\"").c_str(), "rb");
#else
    FILE* pipe = ::popen(command.c_str(), "r");
#endif
    if (!pipe)
        return r;
    char buffer[65536];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        r.out.append(buffer, n);
#ifdef _WIN32
    r.status = ::_pclose(pipe);
    std::filesystem::remove(file);
#else
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return r;
}

} // namespace zelvano::test
