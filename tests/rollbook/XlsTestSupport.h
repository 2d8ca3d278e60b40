#pragma once

#include "HostShell.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

// Paths and helpers shared by the workbook engine's tests: the samples made
// by other programs, our own fixtures, the Python oracles, a scratch folder.
namespace xlstest
{

namespace fs = std::filesystem;
using zelvano::test::pathText;

// One argument of a command: a text as it is, a path in UTF-8.
struct Arg {
    std::string text;
    Arg(const char* s) : text(s) {}
    Arg(std::string s) : text(std::move(s)) {}
    Arg(const fs::path& path) : text(pathText(path)) {}
};

inline fs::path samplesDir()
{
    return fs::path(ZELVANO_SHARED_DIR) / "xls-samples";
}

inline fs::path fixturesDir()
{
    return fs::path(ZELVANO_SOURCE_DIR) / "tests" / "fixtures" / "xls";
}

inline fs::path scriptsDir()
{
    return fs::path(ZELVANO_SOURCE_DIR) / "tests" / "rollbook";
}

inline fs::path tool()
{
    return fs::path(ZELVANO_APP_DIR) / "zelvano-xls";
}

inline std::string quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

struct RunResult {
    int status = -1;
    std::string out;
};

// Runs a shell command; stdout is captured, stderr too when `withErr`.
inline RunResult run(const std::string& command, bool withErr = false)
{
    const zelvano::test::HostRun host =
        zelvano::test::runHostShell(command + (withErr ? " 2>&1" : " 2>/dev/null"));
    RunResult r;
    r.status = host.status;
    r.out = host.out;
    return r;
}

inline RunResult python(const std::string& script, const std::vector<Arg>& args,
                        bool withErr = false)
{
    std::string command =
        std::string(ZELVANO_PYTHON) + " -O " + quote(pathText(scriptsDir() / script));
    for (const auto& a : args)
        command += " " + quote(a.text);
    return run(command, withErr);
}

inline RunResult xlsTool(const std::vector<Arg>& args)
{
    std::vector<std::string> texts;
    for (const auto& a : args)
        texts.push_back(a.text);
    const zelvano::test::HostRun host = zelvano::test::runProgram(tool(), texts);
    RunResult r;
    r.status = host.status;
    r.out = host.out;
    return r;
}

// A fresh folder removed at the end of the test.
class TempDir
{
public:
    TempDir()
    {
        std::random_device rd;
        m_path = fs::temp_directory_path() /
                 ("zelvano-xls-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }
    fs::path copy(const fs::path& from, const std::string& name) const
    {
        const fs::path to = m_path / name;
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
        return to;
    }

private:
    fs::path m_path;
};

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

inline std::vector<std::string> split(const std::string& line, char sep = '\t')
{
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t end = line.find(sep, start);
        out.push_back(
            line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

// Samples of other programs that read soundly (the encrypted one and the one
// with a damaged container are tested on their own).
inline std::vector<std::string> readableSamples()
{
    return {"Formate.xls",
            "Table.xls",
            "any_sheets.xls",
            "biff5-rich-text-string.xls",
            "bigtable.xls",
            "complex-merged-cells-sheet.xls",
            "datasets.xls",
            "date.xls",
            "dates-1904.xls",
            "deaths.xls",
            "formula_test_names.xls",
            "formula_test_sjmachin.xls",
            "gh548_incorrect_sst_unique_count.xls",
            "hidden_sheets.xls",
            "invalid_formula.xls",
            "issue20.xls",
            "issue47.xls",
            "issue_271.xls",
            "merged_range.xls",
            "namesdemo.xls",
            "negatives.xls",
            "optional_records.xls",
            "picture.xls",
            "sst_continue.xls",
            "types.xls",
            "utf8-sheet-names.xls"};
}

inline std::vector<std::string> ownFixtures()
{
    return {"rollbook_xlwt.xls", "rollbook_lo.xls", "long_sst_xlwt.xls", "long_sst_lo.xls",
            "formulas_xlwt.xls", "formulas_lo.xls", "formats_xlwt.xls",  "rollbook_v4.xls"};
}

// Where a test file lies: one of ours, else a sample.
inline fs::path testFile(const std::string& name)
{
    const fs::path own = fixturesDir() / name;
    return fs::exists(own) ? own : samplesDir() / name;
}

inline std::string safeName(std::string name)
{
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

} // namespace xlstest
