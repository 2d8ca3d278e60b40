#pragma once

#include <string>

namespace zelvano::xls
{

enum class SheetKind { Worksheet, MacroSheet, Chart, VbModule, Other };
enum class SheetVisibility { Visible, Hidden, VeryHidden };

// One sheet of a workbook as its sheet list names it, whatever the format.
struct SheetInfo {
    std::string name; // UTF-8
    SheetKind kind = SheetKind::Worksheet;
    SheetVisibility visibility = SheetVisibility::Visible;
};

} // namespace zelvano::xls
