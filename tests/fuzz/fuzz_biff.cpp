// Fuzz target for the BIFF8 workbook stream: whatever parses can be read
// cell by cell, changed and written, and what we write parses back with the
// change in it. Anything but XlsError escapes and counts as a crash.
#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffWorkbook.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

using namespace zelvano::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::optional<BiffWorkbook> wb;
    try {
        wb.emplace(BiffWorkbook::parse(Bytes(data, data + size)));
    } catch (const XlsError&) {
        return 0;
    }
    std::optional<std::size_t> changedSheet;
    for (std::size_t s = 0; s < wb->sheets().size(); ++s) {
        try {
            wb->forEachCell(
                s, [](std::uint16_t, std::uint16_t, const CellValue& v) { (void)v.toText(); });
            // Overwrite the first few cells, whatever records hold them.
            wb->forEachCell(s, [](std::uint16_t, std::uint16_t, const CellValue&) {});
            wb->setText(s, 1, 1, "新");
            wb->setNumber(s, 2, 3, 2.5);
            wb->setEmpty(s, 0, 0);
            if (!changedSheet)
                changedSheet = s;
        } catch (const XlsError&) {
        }
    }
    try {
        const Bytes out = wb->serialize();
        const BiffWorkbook again = BiffWorkbook::parse(out);
        if (changedSheet && again.cell(*changedSheet, 1, 1).text != "新")
            std::abort();
        if (changedSheet && again.cell(*changedSheet, 2, 3).number != 2.5)
            std::abort();
    } catch (const XlsError&) {
    }
    return 0;
}
