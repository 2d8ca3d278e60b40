#pragma once

#include "XlsxTestSupport.h"

#include "rollbook/WorkbookFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

// Cell-by-cell dumps of a workbook, from the engine and from openpyxl, and
// their comparison.
namespace xlsxtest
{

using zelvano::xls::CellValue;
using zelvano::xls::WorkbookFormat;

// Samples that cannot be read soundly, and what their refusal says.
inline const std::map<std::string, std::string> kRefused{
    {"pass_protected.xlsx", "not a ZIP archive"}, // encrypted: a compound file
    {"issue252.xlsx", "damaged"},                 // a part fails its CRC check
};

inline std::vector<std::string> readableXlsxSamples()
{
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(xlsxSamplesDir()))
        if (entry.path().extension() == ".xlsx" &&
            !kRefused.count(pathText(entry.path().filename())))
            out.push_back(pathText(entry.path().filename()));
    std::sort(out.begin(), out.end());
    return out;
}

struct Cell {
    std::string type, value;
};
using Key = std::tuple<std::size_t, int, int>;
using Dump = std::map<Key, Cell>;

inline std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\\'   ? "\\\\"
               : c == '\t' ? "\\t"
               : c == '\n' ? "\\n"
               : c == '\r' ? "\\r"
                           : std::string(1, c);
    return out;
}

inline Dump engineDump(const WorkbookFormat& book)
{
    Dump out;
    for (std::size_t s = 0; s < book.sheets().size(); ++s)
        book.forEachCell(s, [&](int row, int col, const CellValue& v) {
            char number[40];
            std::snprintf(number, sizeof number, "%.17g", v.number);
            switch (v.type) {
            case CellValue::Type::Number:
                out[{s, row, col}] = {"n", number};
                break;
            case CellValue::Type::Text:
                if (!v.text.empty())
                    out[{s, row, col}] = {"s", escaped(v.text)};
                break;
            case CellValue::Type::Boolean:
                out[{s, row, col}] = {"b", v.boolean ? "1" : "0"};
                break;
            case CellValue::Type::Error:
                out[{s, row, col}] = {"e", v.toText()};
                break;
            case CellValue::Type::Empty:
                break;
            }
        });
    return out;
}

inline Dump oracleDump(const fs::path& file)
{
    const RunResult r = oracle("openpyxl_dump.py", {file.string()}, true);
    EXPECT_EQ(r.status, 0) << r.out;
    Dump out;
    for (const auto& line : lines(r.out)) {
        const auto f = split(line);
        if (f.size() == 5)
            out[{std::stoul(f[0]), std::stoi(f[1]), std::stoi(f[2])}] = {f[3], f[4]};
    }
    return out;
}

inline bool same(const Cell& a, const Cell& b)
{
    if (a.type != b.type)
        return false;
    if (a.type != "n")
        return a.value == b.value;
    const double x = std::strtod(a.value.c_str(), nullptr),
                 y = std::strtod(b.value.c_str(), nullptr);
    return std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(x));
}

inline void expectSameDumps(const Dump& engine, const Dump& reference, const std::string& what)
{
    int shown = 0;
    for (const auto& [key, cell] : reference) {
        const auto it = engine.find(key);
        const bool ok = it != engine.end() && same(it->second, cell);
        EXPECT_TRUE(ok || ++shown > 5)
            << what << " sheet " << std::get<0>(key) << " R" << std::get<1>(key) << "C"
            << std::get<2>(key) << ": openpyxl " << cell.type << " " << cell.value << ", engine "
            << (it == engine.end() ? "nothing" : it->second.type + " " + it->second.value);
    }
    for (const auto& [key, cell] : engine)
        EXPECT_TRUE(reference.count(key) || ++shown > 5)
            << what << " sheet " << std::get<0>(key) << " R" << std::get<1>(key) << "C"
            << std::get<2>(key) << ": only the engine reads " << cell.type << " " << cell.value;
    EXPECT_EQ(engine.size(), reference.size()) << what;
}

} // namespace xlsxtest
