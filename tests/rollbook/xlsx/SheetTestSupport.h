#pragma once

#include "rollbook/xlsx/SharedStringTable.h"
#include "rollbook/xlsx/SheetXml.h"

#include <string>

namespace zelvano::xls::testing_support
{

inline const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A worksheet part with `rows` inside <sheetData>.
inline std::string sheetXml(const std::string& rows, const std::string& before = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"" +
           kMain + "\">" + before + "<sheetData>" + rows + "</sheetData></worksheet>";
}

inline SharedStringTable sst(const std::string& entries)
{
    return SharedStringTable::parse("<sst xmlns=\"" + kMain + "\">" + entries + "</sst>");
}

} // namespace zelvano::xls::testing_support
