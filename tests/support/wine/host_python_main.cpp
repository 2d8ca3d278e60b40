// python3.exe for the tests of the Windows build, which run under Wine: the
// independent readers (xlrd, openpyxl, olefile) are Linux's Python. Wine
// starts a Linux program but hands it neither the Windows pipes nor its exit
// code, so this program runs it through /bin/sh with its output and status
// in files, waits for the status, and passes both on as its own. Windows
// paths among the arguments become the Linux paths Wine maps them to.
//   python3.exe ARGS...            python3 ARGS...
//   python3.exe --sh-file FILE     /bin/sh -c "<the command in FILE>"
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using UnixName = char*(__cdecl*)(const wchar_t*);

std::string utf8(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text, UINT codePage)
{
    const int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

// The Linux path of a Windows one, from Wine itself (C: is inside the prefix).
std::string unixPath(const std::wstring& windowsPath)
{
    // Through void(*)(), the type GCC takes as "any function", since FARPROC
    // does not have the function's own type.
    static const auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!toUnix)
        return utf8(windowsPath);
    char* name = toUnix(windowsPath.c_str());
    if (!name)
        return utf8(windowsPath);
    std::string out(name);
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

bool looksWindowsPath(const std::wstring& arg)
{
    return arg.size() > 2 && iswalpha(arg[0]) && arg[1] == L':' &&
           (arg[2] == L'\\' || arg[2] == L'/');
}

// A path as the Linux side names it: a drive path through Wine, and a
// Linux path that Windows code extended with backslashes ("/work/x\\y.xls").
std::string hostPath(const std::wstring& arg)
{
    if (looksWindowsPath(arg))
        return unixPath(arg);
    std::wstring path = arg;
    if (!path.empty() && path[0] == L'/')
        std::replace(path.begin(), path.end(), L'\\', L'/');
    return utf8(path);
}

std::string shellQuoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Paths inside a shell command line, up to a quote or a blank.
std::string translatePaths(const std::wstring& command)
{
    static const std::wregex path(LR"([A-Za-z]:[\\/][^'" ]*|/[^'" \\]*\\[^'" ]*)");
    std::string out;
    auto last = command.cbegin();
    for (std::wsregex_iterator it(command.begin(), command.end(), path), end; it != end; ++it) {
        out += utf8(std::wstring(last, command.cbegin() + it->position()));
        out += hostPath(it->str());
        last = command.cbegin() + it->position() + it->length();
    }
    return out + utf8(std::wstring(last, command.cend()));
}

std::string readAll(const std::wstring& file)
{
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int runThroughShell(const std::string& command)
{
    const std::wstring base = L"Z:\\tmp\\zelvano-host-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(GetTickCount64());
    const std::wstring script = base + L".sh", out = base + L".out", err = base + L".err",
                       status = base + L".status";
    {
        std::ofstream s(std::filesystem::path(script), std::ios::binary);
        // Debian's python3 with xlrd and openpyxl, not one earlier on PATH.
        s << "export PATH=/usr/bin:$PATH\n"
          << "( " << command << " ) >" << shellQuoted(unixPath(out)) << " 2>"
          << shellQuoted(unixPath(err)) << " </dev/null\n"
          << "echo $? >" << shellQuoted(unixPath(status) + ".part") << "\n"
          << "mv " << shellQuoted(unixPath(status) + ".part") << " "
          << shellQuoted(unixPath(status)) << "\n";
    }
    // Wine splits this line as Windows does: double quotes, not single.
    std::wstring line = L"/bin/sh \"" + wide(unixPath(script), CP_UTF8) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "python3.exe: cannot start /bin/sh (error %lu)\n", GetLastError());
        return 127;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    while (GetFileAttributesW(status.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "python3.exe: no answer from the shell\n");
            return 124;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::string output = readAll(out), errors = readAll(err);
    const int code = std::atoi(readAll(status).c_str());
    std::fwrite(output.data(), 1, output.size(), stdout);
    std::fwrite(errors.data(), 1, errors.size(), stderr);
    for (const std::wstring& f : {script, out, err, status})
        DeleteFileW(f.c_str());
    return code;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc == 3 && std::wstring(argv[1]) == L"--sh-file") {
        // Written by the tests' shell helper in UTF-8 (paths through pathText),
        // whatever the code page: a sheet named 初二(1)班 must arrive as such.
        const std::string bytes = readAll(argv[2]);
        return runThroughShell(translatePaths(wide(bytes, CP_UTF8)));
    }
    std::string command = "python3";
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        command += " " + shellQuoted(hostPath(arg));
    }
    return runThroughShell(command);
}
