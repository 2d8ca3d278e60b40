// Times the .xlsx roll book on 30 classes (~0.8 MB): open and read one
// class roster, set one cell and save, and the growth of the peak memory of
// a process that opens, reads, changes and saves it.
// The workbook is made by LibreOffice from an .xls made by xlwt; without
// soffice, xlsxwriter makes it, and the figures say so.
//   xlsx_bench [PYTHON]
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

constexpr int kClasses = 30;
constexpr int kLessons = 110; // LibreOffice makes about 0.8 MB of it

// The roll book: LibreOffice's conversion of an xlwt roll book, else
// xlsxwriter's. Returns the maker's name, empty when both failed.
std::string makeBook(const std::string& python, const fs::path& self, const fs::path& dir,
                     const fs::path& xlsx)
{
    const fs::path xls = dir / "classes30.xls";
    const std::string make = python + " " + (self.parent_path() / "xls_make_book.py").string() +
                             " " + xls.string() + " " + std::to_string(kClasses) + " " +
                             std::to_string(kLessons);
    if (std::system(make.c_str()) != 0)
        return {};
    const std::string convert = "timeout 300 soffice --headless -env:UserInstallation=file://" +
                                (dir / "profile").string() + " --convert-to xlsx --outdir " +
                                dir.string() + " " + xls.string() + " >/dev/null 2>&1";
    if (fs::exists("/usr/bin/soffice") && std::system(convert.c_str()) == 0 && fs::exists(xlsx))
        return "libreoffice";
    const std::string fallback = python + " " +
                                 (self.parent_path() / "xlsx_make_book.py").string() + " " +
                                 xls.string() + " " + xlsx.string();
    return std::system(fallback.c_str()) == 0 ? "xlsxwriter" : "";
}

// Against openpyxl, which loads every sheet, whole-workbook reading is
// workbook_compare_bench's; here only our own lazily read roster.
void benchReading(const fs::path& file, std::size_t middle)
{
    std::printf("xlsx_open_and_list_sheets: %.2f ms\n",
                medianMs(5, [&] { (void)Workbook::open(file).worksheetNames(); }));
    const double ours = medianMs(5, [&] {
        const Workbook wb = Workbook::open(file);
        readRoster(wb, middle);
    });
    std::printf("xlsx_open_and_roster_read: %.2f ms\n", ours);
    const Workbook warm = Workbook::open(file);
    readRoster(warm, middle);
    std::printf("xlsx_roster_read_again: %.3f ms\n",
                medianMs(9, [&] { readRoster(warm, middle); }));
}

void benchWriting(const fs::path& file, const fs::path& self, std::size_t middle, double sizeMb)
{
    const fs::path copy = file.parent_path() / "saved.xlsx";
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    Workbook wb = Workbook::open(copy);
    readRoster(wb, middle);
    int score = 0;
    std::printf("xlsx_set_one_cell_and_save: %.2f ms\n", medianMs(5, [&] {
                    wb.setNumber(middle, 10, 7, ++score);
                    wb.save();
                }));
    std::printf("xlsx_set_one_cell_and_save_target: 150 ms\n");
    for (const char* mode : {"", " --live"}) {
        const fs::path probe = file.parent_path() / "probe.xlsx";
        fs::copy_file(file, probe, fs::copy_options::overwrite_existing);
        fs::remove(file.parent_path() / "probe.bak.xlsx");
        const double peakMb =
            std::atof(capture(self.string() + " --memory-probe " + probe.string() + mode).c_str()) /
            1024.0;
        const std::string name = *mode ? "xlsx_peak_memory_live" : "xlsx_peak_memory";
        std::printf("%s: %.2f MB\n", name.c_str(), peakMb);
        std::printf("%s_over_file_size: %.2f x\n", name.c_str(), peakMb / sizeMb);
    }
    std::printf("xlsx_peak_memory_target: 10 x\n");
}

// A fresh process: the growth of its peak over one open, roster read,
// change and save, after a first round on the same file has loaded the code
// and the libraries. With --live, big buffers go straight back to the system
// when freed, so the peak shows the bytes alive at once.
int memoryProbe(int argc, char** argv)
{
    if (argc == 4)
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    auto cycle = [](const char* path) {
        Workbook wb = Workbook::open(path);
        readRoster(wb, wb.worksheetCount() / 2);
        wb.setNumber(wb.worksheetCount() / 2, 3, 7, 9);
        wb.save();
    };
    {
        // The warm-up reads the same file but saves nothing.
        const Workbook wb = Workbook::open(argv[2]);
        readRoster(wb, 0);
    }
    const long before = peakKb();
    cycle(argv[2]);
    std::printf("%ld\n", peakKb() - before);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--memory-probe")
        return memoryProbe(argc, argv);
    const fs::path self = fs::canonical("/proc/self/exe");
    const std::string python = argc > 1 ? argv[1] : "/usr/bin/python3";
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("zelvano-xlsx-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    const fs::path file = dir / "classes30.xlsx";
    const std::string maker = makeBook(python, self, dir, file);
    if (maker.empty()) {
        std::fprintf(stderr, "could not make the roll book\n");
        return 1;
    }
    const double sizeMb = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);
    std::printf("xlsx_made_by_%s: %d classes\n", maker.c_str(), kClasses);
    std::printf("xlsx_file_size: %.2f MB\n", sizeMb);
    const std::size_t middle = Workbook::open(file).worksheetCount() / 2;
    benchReading(file, middle);
    benchWriting(file, self, middle, sizeMb);
    fs::remove_all(dir);
    return 0;
}
