#pragma once

#include "rollbook/WorkbookFormat.h"

namespace zelvano::xls
{

class BiffWorkbook;

// Reads the BIFF8 workbook stream of a compound file: "Workbook" matched
// case-insensitively; a file holding only an Excel 5/95 "Book" stream is
// refused.
BiffWorkbook readWorkbookStream(const CompoundFile& cfb);

// The Excel 97-2003 format over a compound file already parsed, so the
// caller that looked inside it to choose the format need not parse it twice.
std::unique_ptr<WorkbookFormat> openBiffFormat(CompoundFile cfb);

} // namespace zelvano::xls
