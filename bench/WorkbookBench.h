#pragma once

// What the workbook benchmarks share: timing, the classroom's roster read,
// peak memory and running the independent reader.
#include "rollbook/Workbook.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace zelvano::bench
{

using zelvano::xls::Workbook;

inline double medianMs(int runs, const std::function<void()>& f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Rows 3-62, columns 1, 2, 5, 6 and the dated score columns, as the
// classroom window reads a class.
inline std::size_t readRoster(const Workbook& wb, std::size_t sheet)
{
    int last = 7;
    while (last <= 256 && !wb.cellText(sheet, 2, last).empty())
        ++last;
    std::size_t filled = 0;
    for (int row = 3; row <= 62; ++row) {
        for (int col : {1, 2, 5, 6})
            filled += !wb.cellText(sheet, row, col).empty();
        for (int col = 7; col < last; ++col)
            filled += !wb.cell(sheet, row, col).isEmpty();
    }
    return filled;
}

inline long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

inline std::string capture(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p))
            out += buffer;
        pclose(p);
    }
    return out;
}

} // namespace zelvano::bench
