// Fuzz target for the sheet side of the .xlsx engine: a shared-string part
// and a worksheet part (split at "\n--sheet--\n"; the 1904 date system when
// the input's size is odd). Whatever parses is read cell by cell, changed
// in a few places and written; what we write parses back holding exactly
// the cells we expect. Anything but XlsError escapes and counts as a crash.
#include "rollbook/XlsError.h"
#include "rollbook/xlsx/SharedStringTable.h"
#include "rollbook/xlsx/SheetXml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>

using namespace zelvano::xls;

namespace
{

using Cells = std::map<CellPos, CellValue>;

Cells cellsOf(const SheetXml& sheet)
{
    Cells out;
    sheet.forEachCell([&](int r, int c, const CellValue& v) {
        (void)v.toText();
        out[{r, c}] = v;
    });
    return out;
}

// What differs, for a person replaying a crash.
void report(const Cells& expected, const Cells& got, const std::string& written)
{
    for (const auto& [p, v] : expected) {
        const auto it = got.find(p);
        if (it == got.end() || it->second != v)
            std::fprintf(stderr, "%s expected %s got %s\n", cellRefText(p).c_str(),
                         v.toText().c_str(), it == got.end() ? "-" : it->second.toText().c_str());
    }
    for (const auto& [p, v] : got) {
        if (!expected.count(p))
            std::fprintf(stderr, "%s unexpected %s\n", cellRefText(p).c_str(), v.toText().c_str());
    }
    std::fprintf(stderr, "written:\n%s\n", written.c_str());
}

// Tries one change; on success records what the cell must hold.
template <class F> void attempt(Cells& expected, CellPos p, std::optional<CellValue> v, F change)
{
    try {
        change();
        if (v)
            expected[p] = *v;
        else
            expected.erase(p);
    } catch (const XlsError&) {
    }
}

void changeAndCheck(SheetXml& sheet, SharedStringTable& strings, std::string_view sstXml,
                    bool date1904)
{
    Cells expected = cellsOf(sheet);
    const std::vector<CellPos> firstCells = [&] {
        std::vector<CellPos> v;
        for (auto it = expected.begin(); it != expected.end() && v.size() < 3; ++it)
            v.push_back(it->first);
        return v;
    }();
    for (const CellPos p : firstCells)
        attempt(expected, p, CellValue::ofNumber(-1.5),
                [&] { sheet.setNumber(p.row, p.col, -1.5); });
    const CellPos added{std::min(sheet.lastRow() + 1, kXlsxMaxRow), 2};
    attempt(expected, added, CellValue::ofText("新_x0041_\r"),
            [&] { sheet.setSharedString(added.row, added.col, strings.indexFor("新_x0041_\r")); });
    attempt(expected, {1, 1}, CellValue::ofNumber(7), [&] { sheet.setNumber(1, 1, 7); });
    if (!firstCells.empty()) {
        const CellPos p = firstCells.back();
        attempt(expected, p, std::nullopt, [&] { sheet.setEmpty(p.row, p.col); });
    }
    const auto again = SharedStringTable::parse(strings.serialize(sstXml));
    const auto reread = SheetXml::parse(sheet.serialize(), again, date1904);
    const Cells got = cellsOf(reread);
    if (got != expected) {
        if (std::getenv("ZELVANO_FUZZ_VERBOSE"))
            report(expected, got, sheet.serialize());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kSplit = "\n--sheet--\n";
    const auto split = input.find(kSplit);
    std::string_view sstXml =
        split == std::string_view::npos ? std::string_view{} : input.substr(0, split);
    const std::string_view sheetXml =
        split == std::string_view::npos ? input : input.substr(split + kSplit.size());
    const bool date1904 = size % 2 == 1;
    const std::string empty = SharedStringTable::emptyPart();
    std::optional<SharedStringTable> strings;
    try {
        strings.emplace(SharedStringTable::parse(sstXml));
    } catch (const XlsError&) {
        sstXml = empty;
        strings.emplace(SharedStringTable::parse(sstXml));
    }
    std::optional<SheetXml> sheet;
    try {
        sheet.emplace(SheetXml::parse(std::string(sheetXml), *strings, date1904));
    } catch (const XlsError&) {
        return 0;
    }
    (void)sheet->lastRow();
    try {
        changeAndCheck(*sheet, *strings, sstXml, date1904);
    } catch (const XlsError&) {
        // Only a part that is not UTF-8 may refuse to take new text.
    }
    return 0;
}
