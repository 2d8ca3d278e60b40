#pragma once

#include <QString>

namespace zelvano
{

inline constexpr const char16_t* kRollBookName = u"点名册.xls";
inline constexpr const char16_t* kRollBookXlsxName = u"点名册.xlsx";

// Which roll-book file of a data folder the program uses: "点名册.xls" as
// always, or "点名册.xlsx" when there is no .xls. Excel's conversion leaves
// both behind; then the one saved last is used (the .xls on a tie, the name
// the program has always known). Only names are compared here: what the
// file holds decides how it is read.
struct RollBookFile {
    QString path;             // the file used; the .xls one when neither exists
    bool bothPresent = false; // 点名册.xls and 点名册.xlsx are both there

    QString fileName() const;
};

RollBookFile findRollBook(const QString& dataDir);

} // namespace zelvano
