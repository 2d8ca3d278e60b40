// Whole processes side by side, interleaved round by round, medians of 7:
// the CPU time and peak resident size of dumping every cell of a roll book
// with zelvano-xls against xlrd (.xls), openpyxl read-only (.xlsx) and
// SheetJS (where node has the xlsx module), beside the floors of reading
// the same file (`cat`, `unzip -p`, and for .xlsx libzip and expat parsing
// every part with no work done); setting one cell and saving, against
// openpyxl's load and save. Ratios are what to compare across machines.
//   workbook_compare_bench [PYTHON [BASELINE_ZELVANO_XLS]]
// A baseline zelvano-xls (another build) runs in the same rounds as ours.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace
{

constexpr int kRounds = 7;

struct Usage {
    double cpuMs = 0;
    double peakMb = 0;
};

// Runs `args` with its output thrown away; its user and system time and
// its peak resident size as the kernel counted them.
Usage runProcess(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Usage usage;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::fprintf(stderr, "failed: %s\n", args[0].c_str());
        usage.cpuMs = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
                      (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
        usage.peakMb = ru.ru_maxrss / 1024.0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return usage;
}

struct Contender {
    Contender(
        std::string n, std::vector<std::string> a, std::function<void()> p = [] {})
        : name(std::move(n)), args(std::move(a)), prepare(std::move(p))
    {
    }

    std::string name;
    std::vector<std::string> args;
    std::function<void()> prepare; // before each run, not timed
    std::vector<Usage> runs;

    Usage median() const
    {
        std::vector<double> cpu, peak;
        for (const Usage& u : runs) {
            cpu.push_back(u.cpuMs);
            peak.push_back(u.peakMb);
        }
        std::sort(cpu.begin(), cpu.end());
        std::sort(peak.begin(), peak.end());
        return {cpu[cpu.size() / 2], peak[peak.size() / 2]};
    }
};

// Each round runs every contender once, so a busy moment of the machine
// falls on all of them alike.
void interleave(std::vector<Contender>& contenders)
{
    for (Contender& c : contenders) // a first, untimed run warms the caches
        c.prepare(), runProcess(c.args);
    for (int round = 0; round < kRounds; ++round)
        for (Contender& c : contenders) {
            c.prepare();
            c.runs.push_back(runProcess(c.args));
        }
}

// What a row of the comparison aims at: our CPU time, and where given, ours
// over the floor's and our peak over the file's size.
struct Goal {
    double cpuMs = 0;
    double overFloor = 0;
    double peakOverFile = 0;
};

// `label_name_cpu`, `label_name_peak` for each, each peer's CPU time and
// peak over ours (the first), ours over each floor, and the row's goals.
void report(const std::string& label, std::vector<Contender>& contenders, double fileMb,
            std::size_t floors, const Goal& goal)
{
    interleave(contenders);
    const Usage ours = contenders.front().median();
    const char* l = label.c_str();
    for (std::size_t i = 0; i < contenders.size(); ++i) {
        const Contender& c = contenders[i];
        const char* n = c.name.c_str();
        const Usage u = c.median();
        std::printf("%s_%s_cpu: %.1f ms\n", l, n, u.cpuMs);
        std::printf("%s_%s_peak: %.1f MB\n", l, n, u.peakMb);
        if (i == 0) {
            std::printf("%s_%s_peak_over_file: %.2f x\n", l, n, u.peakMb / fileMb);
        } else if (i <= floors) {
            std::printf("%s_ours_over_%s: %.2f x\n", l, n, ours.cpuMs / u.cpuMs);
        } else {
            std::printf("%s_%s_over_ours: %.2f x\n", l, n, u.cpuMs / ours.cpuMs);
            std::printf("%s_%s_peak_over_ours: %.2f x\n", l, n, u.peakMb / ours.peakMb);
        }
    }
    std::printf("%s_ours_cpu_goal: %.0f ms\n", l, goal.cpuMs);
    if (goal.overFloor > 0)
        std::printf("%s_ours_over_%s_goal: %.2f x\n", l, contenders[1].name.c_str(),
                    goal.overFloor);
    if (goal.peakOverFile > 0)
        std::printf("%s_ours_peak_over_file_goal: %.2f x\n", l, goal.peakOverFile);
}

bool run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

struct Tools {
    std::string python;
    std::string xlsTool;
    std::string baseline; // another build's zelvano-xls, or empty
    fs::path scripts;
    bool sheetjs = false;

    std::string script(const char* name) const { return (scripts / name).string(); }
};

double megabytes(const fs::path& file)
{
    return static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
}

void benchDump(const Tools& t, const std::string& label, const fs::path& file, bool xlsx,
               const Goal& goal)
{
    std::vector<Contender> c{{"ours", {t.xlsTool, "dump", file.string()}}};
    if (xlsx) {
        c.push_back({"unzip", {"unzip", "-p", file.string()}});
        c.push_back({"expat_floor", {ZELVANO_EXPAT_FLOOR, file.string()}});
    } else {
        c.push_back({"cat", {"cat", file.string()}});
    }
    if (xlsx)
        c.push_back(
            {"openpyxl_read_only", {t.python, t.script("openpyxl_dump.py"), file.string()}});
    else
        c.push_back({"xlrd", {t.python, t.script("xlrd_dump.py"), file.string()}});
    if (t.sheetjs)
        c.push_back({"sheetjs", {"node", t.script("sheetjs_dump.js"), file.string()}});
    if (!t.baseline.empty())
        c.push_back({"baseline", {t.baseline, "dump", file.string()}});
    report(label + "_dump", c, megabytes(file), xlsx ? 2 : 1, goal);
}

void benchSet(const Tools& t, const std::string& label, const fs::path& file, bool xlsx,
              const Goal& goal)
{
    const fs::path copy = file.parent_path() / ("set-" + file.filename().string());
    auto fresh = [file, copy] { fs::copy_file(file, copy, fs::copy_options::overwrite_existing); };
    std::vector<Contender> c{
        {"ours", {t.xlsTool, "set", copy.string(), "15", "10", "7", "--number", "4"}, fresh}};
    if (xlsx)
        c.push_back(
            {"openpyxl_load_save",
             {t.python, t.script("openpyxl_set_cell.py"), copy.string(), "15", "10", "7", "4"},
             fresh});
    if (!t.baseline.empty())
        c.push_back({"baseline",
                     {t.baseline, "set", copy.string(), "15", "10", "7", "--number", "4"},
                     fresh});
    report(label + "_set_one_cell_and_save", c, megabytes(file), 0, goal);
}

} // namespace

int main(int argc, char** argv)
{
    Tools t;
    t.python = argc > 1 ? argv[1] : "/usr/bin/python3";
    t.xlsTool = ZELVANO_XLS_TOOL;
    t.baseline = argc > 2 ? argv[2] : "";
    t.scripts = fs::canonical("/proc/self/exe").parent_path();
    t.sheetjs = run("node -e \"require('xlsx')\" >/dev/null 2>&1");
    if (!t.sheetjs)
        std::printf("sheetjs: not installed (node with the xlsx module)\n");
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("zelvano-compare-" + std::to_string(rd()));
    fs::create_directories(dir);
    const std::string maker = t.python + " " + t.script("xls_make_book.py") + " ";
    const fs::path xls30 = dir / "classes30.xls", xls84 = dir / "classes84.xls";
    if (!run(maker + xls30.string() + " 30 120") || !run(maker + xls84.string() + " 84 250"))
        return 1;
    const bool office = run("timeout 300 soffice --headless -env:UserInstallation=file://" +
                            (dir / "profile").string() + " --convert-to xlsx --outdir " +
                            dir.string() + " " + xls30.string() + " >/dev/null 2>&1");
    const fs::path xlsx30 = dir / "classes30.xlsx";
    if (!office && !run(t.python + " " + t.script("xlsx_make_book.py") + " " + xls30.string() +
                        " " + xlsx30.string()))
        return 1;
    std::printf("xlsx_made_by: %s\n", office ? "libreoffice" : "xlsxwriter");
    std::printf("xls30_file_size: %.2f MB\nxlsx30_file_size: %.2f MB\nxls84_file_size: %.2f MB\n",
                megabytes(xls30), megabytes(xlsx30), megabytes(xls84));
    // The .xlsx dump's peak is to stay below openpyxl's (its _peak_over_ours above 1).
    benchDump(t, "xls30", xls30, false, {12});
    benchDump(t, "xlsx30", xlsx30, true, {60, 2});
    benchSet(t, "xls30", xls30, false, {10});
    benchSet(t, "xlsx30", xlsx30, true, {20});
    benchDump(t, "xls84", xls84, false, {60, 0, 3});
    fs::remove_all(dir);
    return 0;
}
