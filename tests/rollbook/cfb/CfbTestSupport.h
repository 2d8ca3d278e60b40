#pragma once

#include "HostShell.h"
#include "rollbook/cfb/CompoundFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zelvano::xls::test
{

using ::zelvano::test::pathText;

// A fresh folder under the system temporary folder, removed with its
// contents when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

Bytes readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const Bytes& bytes);

std::filesystem::path samplesDir();
std::vector<std::filesystem::path> sampleFiles();

// Runs a shell command; returns its exit status and fills `output` with what
// it printed on stdout and stderr.
int runCommand(const std::string& command, std::string* output = nullptr);

// The independent olefile check (see olefile_check.py): returns "" when it
// passes, otherwise what it printed.
std::string oleCheck(const std::string& args);

std::string quoted(const std::filesystem::path& path);

} // namespace zelvano::xls::test

namespace zelvano::xls::test
{

// A child process (execv; CreateProcess on Windows), killed and reaped when
// the object goes.
class ChildProcess
{
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    int pid() const { return m_pid; }
    // Ends it at once, as a crash or a pulled plug would (SIGKILL,
    // TerminateProcess).
    void kill();
    // Waits for the child to end; returns its exit code, -1 when it was killed.
    int wait();

private:
    int m_pid = -1;
    void* m_handle = nullptr; // Windows
};

} // namespace zelvano::xls::test
