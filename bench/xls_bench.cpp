// Times the workbook engine on a 5-class and a 30-class roll book made at
// run time: open and list sheets, read a 60-person roster, set one cell and
// save; the growth of the peak memory over a warmed-up process.
//   xls_bench [PYTHON]
#include "bench/WorkbookBench.h"
#include "rollbook/Workbook.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using zelvano::xls::Workbook;

using namespace zelvano::bench;

namespace
{

// The median time of reading a roster just after opening the file.
double firstRosterReadMs(const fs::path& file, std::size_t middle)
{
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const Workbook wb = Workbook::open(file);
        const auto start = std::chrono::steady_clock::now();
        readRoster(wb, middle);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

// Opening and reading a roster. Whole-workbook reading against other
// readers is workbook_compare_bench's: xlrd reads every sheet at once, we
// read one when it is used, so a roster read is no like-for-like comparison.
void benchReading(const std::string& label, const fs::path& file, std::size_t middle)
{
    const double open = medianMs(5, [&] {
        const Workbook wb = Workbook::open(file);
        (void)wb.worksheetNames();
    });
    std::printf("%s_open_and_list_sheets: %.2f ms\n", label.c_str(), open);
    std::printf("%s_roster_read_first_access: %.2f ms\n", label.c_str(),
                firstRosterReadMs(file, middle));
    const Workbook warm = Workbook::open(file);
    readRoster(warm, middle);
    std::printf("%s_roster_read_again: %.3f ms\n", label.c_str(),
                medianMs(9, [&] { readRoster(warm, middle); }));
    const double oursOpenRead = medianMs(5, [&] {
        const Workbook wb = Workbook::open(file);
        readRoster(wb, middle);
    });
    std::printf("%s_open_and_roster_read: %.2f ms\n", label.c_str(), oursOpenRead);
}

// Saving one changed cell, and the peak memory of a run that opens and
// saves the file.
void benchWriting(const std::string& label, const fs::path& file, const fs::path& self,
                  const fs::path& tiny, std::size_t middle, double sizeMb)
{
    const fs::path copy = file.parent_path() / ("saved-" + file.filename().string());
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    Workbook wb = Workbook::open(copy);
    int score = 0;
    const double save = medianMs(5, [&] {
        wb.setNumber(middle, 10, 7, ++score);
        wb.save();
    });
    std::printf("%s_set_one_cell_and_save: %.2f ms\n", label.c_str(), save);

    const fs::path fresh = file.parent_path() / ("probe-" + file.filename().string());
    for (const char* mode : {"", " --live"}) {
        fs::copy_file(file, fresh, fs::copy_options::overwrite_existing);
        fs::remove(file.parent_path() / ("probe-" + file.stem().string() + ".bak.xls"));
        const fs::path warmUp = file.parent_path() / "probe-tiny.xls";
        fs::copy_file(tiny, warmUp, fs::copy_options::overwrite_existing);
        const std::string probe = capture(self.string() + " --memory-probe " + warmUp.string() +
                                          " " + fresh.string() + mode);
        const double peakMb = std::atof(probe.c_str()) / 1024.0;
        const std::string name = label + (*mode ? "_peak_memory_live" : "_peak_memory");
        std::printf("%s: %.2f MB\n", name.c_str(), peakMb);
        std::printf("%s_over_file_size: %.2f x\n", name.c_str(), peakMb / sizeMb);
    }
}

void bench(const std::string& label, const fs::path& file, const fs::path& self,
           const fs::path& tiny)
{
    const double sizeMb = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
    std::printf("%s_file_size: %.2f MB\n", label.c_str(), sizeMb);
    const std::size_t middle = Workbook::open(file).worksheetCount() / 2;
    benchReading(label, file, middle);
    benchWriting(label, file, self, tiny, middle, sizeMb);
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path self = fs::canonical("/proc/self/exe");
    if (argc >= 4 && std::string(argv[1]) == "--memory-probe") {
        // A fresh process: the peak of one open, roster read, change and save.
        // A tiny workbook goes through the same steps first, so the code and
        // the library state they touch are not counted as the workbook's.
        // With --live, big buffers go straight back to the system when freed,
        // so the peak shows the bytes alive at once rather than what the
        // allocator kept.
        if (argc == 5)
            mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        auto cycle = [](const char* path) {
            Workbook wb = Workbook::open(path);
            readRoster(wb, wb.worksheetCount() / 2);
            wb.setNumber(0, 3, 7, 9);
            wb.save();
        };
        cycle(argv[2]);
        const long before = peakKb();
        cycle(argv[3]);
        std::printf("%ld %ld\n", peakKb() - before, before);
        return 0;
    }
    const std::string python = argc > 1 ? argv[1] : "/usr/bin/python3";
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("zelvano-xls-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    const fs::path maker = self.parent_path() / "xls_make_book.py";
    int failures = 0;
    const fs::path tiny = dir / "tiny.xls";
    if (std::system((python + " " + maker.string() + " " + tiny.string() + " 1 1").c_str()) != 0)
        return 1;
    for (const auto& [label, classes, lessons] : std::vector<std::tuple<std::string, int, int>>{
             {"classes5", 5, 40}, {"classes30", 30, 240}}) {
        const fs::path file = dir / (label + ".xls");
        const std::string command = python + " " + maker.string() + " " + file.string() + " " +
                                    std::to_string(classes) + " " + std::to_string(lessons);
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not make %s\n", file.c_str());
            ++failures;
            continue;
        }
        bench(label, file, self, tiny);
    }
    fs::remove_all(dir);
    return failures;
}
