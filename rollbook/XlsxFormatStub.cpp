#include "rollbook/WorkbookFormat.h"
#include "rollbook/XlsError.h"

namespace zelvano::xls
{

// Stands in for the Excel 2007+ engine until it is part of the build.
std::unique_ptr<WorkbookFormat> openXlsxFormat(Bytes)
{
    throw XlsError("Excel 2007+ workbooks (.xlsx) cannot be read yet; save it as an Excel "
                   "97-2003 workbook (.xls).");
}

} // namespace zelvano::xls
