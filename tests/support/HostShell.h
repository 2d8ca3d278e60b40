#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#endif

// Runs a POSIX shell command line (the independent readers, Python with xlrd
// and openpyxl) and hands back its exit status and what it printed. The
// Windows build's tests run under Wine, where the command goes to the Linux
// side through the tests' python3.exe (tests/support/wine).
namespace zelvano::test
{

// A path as commands and Python take it: UTF-8 on every system (a Windows
// path's string() is in the code page, which cannot hold 点名册).
inline std::string pathText(const std::filesystem::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

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
    const std::string python =
        std::filesystem::path(ZELVANO_PYTHON_BRIDGE).make_preferred().string();
    // cmd drops the outer pair of quotes.
    FILE* pipe =
        ::_popen(("\"\"" + python + "\" --sh-file \"" + file.string() + "\"\"").c_str(), "rb");
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

// Runs a program of this build with UTF-8 arguments; its output and errors
// come back together. On Windows it runs there, not on the Linux side.
inline HostRun runProgram(const std::filesystem::path& program,
                          const std::vector<std::string>& args)
{
#ifdef _WIN32
    std::wstring command =
        L"\"\"" + std::filesystem::path(program).replace_extension(".exe").wstring() + L"\"";
    for (const auto& a : args)
        command += L" \"" + std::filesystem::u8path(a).wstring() + L"\"";
    command += L" 2>&1\""; // cmd drops the outer quotes
    HostRun r;
    FILE* pipe = ::_wpopen(command.c_str(), L"rb");
    if (!pipe)
        return r;
    char buffer[65536];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        r.out.append(buffer, n);
    r.status = ::_pclose(pipe);
    return r;
#else
    const auto quote = [](const std::string& s) {
        std::string out = "'";
        for (char c : s)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    std::string command = quote(pathText(program));
    for (const auto& a : args)
        command += " " + quote(a);
    return runHostShell(command + " 2>&1");
#endif
}

} // namespace zelvano::test
