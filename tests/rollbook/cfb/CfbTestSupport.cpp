#include "CfbTestSupport.h"

#include "HostShell.h"
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

namespace zelvano::xls::test
{

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        m_path = fs::temp_directory_path() / ("zelvano-cfb-test-" + std::to_string(rd()));
        if (fs::create_directory(m_path))
            return;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    // A test may have made the folder read-only.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

fs::path samplesDir()
{
    return fs::path(ZELVANO_SHARED_DIR) / "xls-samples";
}

std::vector<fs::path> sampleFiles()
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(samplesDir()))
        if (e.path().extension() == ".xls")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

int runCommand(const std::string& command, std::string* output)
{
    const ::zelvano::test::HostRun run = ::zelvano::test::runHostShell(command + " 2>&1");
    if (output)
        *output = run.out;
    return run.status;
}

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

std::string oleCheck(const std::string& args)
{
    std::string out;
    const int rc =
        runCommand(std::string(ZELVANO_PYTHON) + " '" ZELVANO_CFB_CHECK_SCRIPT "' " + args, &out);
    if (rc == 0)
        return {};
    return out.empty() ? "olefile check failed" : out;
}

} // namespace zelvano::xls::test

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zelvano::xls::test
{

#ifdef _WIN32
ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    std::wstring line;
    for (const auto& a : argv)
        line += L"\"" + fs::u8path(a).wstring() + L"\" ";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        throw std::runtime_error("CreateProcess failed");
    CloseHandle(pi.hThread);
    m_handle = pi.hProcess;
    m_pid = int(pi.dwProcessId);
}

ChildProcess::~ChildProcess()
{
    if (m_handle) {
        kill();
        wait();
    }
}

void ChildProcess::kill()
{
    if (m_handle)
        TerminateProcess(m_handle, 0xDEAD);
}

int ChildProcess::wait()
{
    if (!m_handle)
        return -1;
    WaitForSingleObject(m_handle, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(m_handle, &code);
    CloseHandle(m_handle);
    m_handle = nullptr;
    m_pid = -1;
    return code == 0xDEAD ? -1 : int(code);
}
#else
ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0) {
        kill();
        wait();
    }
}

void ChildProcess::kill()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGKILL);
}

int ChildProcess::wait()
{
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
        m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

} // namespace zelvano::xls::test
