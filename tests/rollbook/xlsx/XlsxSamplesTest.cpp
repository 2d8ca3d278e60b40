// Every workbook in the shared .xlsx samples: read cell by cell as openpyxl
// reads it, and written three times (a number over a cell, a text past the
// used range, an emptied cell) with exactly those cells changed and every
// ZIP entry the write need not touch kept byte for byte.
#include "XlsxTestSupport.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/Package.h"
#include "rollbook/xlsx/XlsxFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

// Samples that cannot be read soundly, and what their refusal says.
const std::map<std::string, std::string> kRefused{
    {"pass_protected.xlsx", "not a ZIP archive"}, // encrypted: a compound file
    {"issue252.xlsx", "damaged"},                 // a part fails its CRC check
};

std::vector<std::string> readableXlsxSamples()
{
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(xlsxSamplesDir()))
        if (entry.path().extension() == ".xlsx" && !kRefused.count(entry.path().filename()))
            out.push_back(entry.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

struct Cell {
    std::string type, value;
};
using Key = std::tuple<std::size_t, int, int>;
using Dump = std::map<Key, Cell>;

std::string escaped(const std::string& text)
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

Dump engineDump(const WorkbookFormat& book)
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

Dump oracleDump(const fs::path& file)
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

bool same(const Cell& a, const Cell& b)
{
    if (a.type != b.type)
        return false;
    if (a.type != "n")
        return a.value == b.value;
    const double x = std::strtod(a.value.c_str(), nullptr),
                 y = std::strtod(b.value.c_str(), nullptr);
    return std::fabs(x - y) <= 1e-9 * std::max(1.0, std::fabs(x));
}

void expectSameDumps(const Dump& engine, const Dump& reference, const std::string& what)
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

class XlsxSample : public testing::TestWithParam<std::string>
{
protected:
    fs::path file() const { return xlsxSamplesDir() / GetParam(); }
};

} // namespace

TEST_P(XlsxSample, EveryCell_ReadAsOpenpyxlReadsIt)
{
    auto book = openXlsxFormat(readBytes(file()));
    expectSameDumps(engineDump(*book), oracleDump(file()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Samples, XlsxSample, testing::ValuesIn(readableXlsxSamples()),
                         [](const auto& info) { return safeName(info.param); });

TEST(XlsxRefusedSample, OneClearLine)
{
    for (const auto& [name, says] : kRefused) {
        try {
            auto book = openXlsxFormat(readBytes(xlsxSamplesDir() / name));
            for (std::size_t s = 0; s < book->sheets().size(); ++s)
                book->lastRow(s);
            ADD_FAILURE() << name << " was read";
        } catch (const XlsError& e) {
            EXPECT_THAT(e.what(), HasSubstr(says)) << name;
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        }
    }
}
