#pragma once

// Roll books for the prize window tests: the program's sample, variants
// written by xlwt, and the sheet read back by our engine and by xlrd.

#include "rollbook/CellValue.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>

namespace zelvano::testing
{

struct SheetSpec {
    QString name;
    QList<QVariantList> cells; // {row, column, value}, 1-based
};

// The sheet "抽奖品" with a title, prize rows from row 3 (level, name,
// picture, stock, used) and people from row 21 (number, name).
struct PrizeRowSpec {
    QString level;
    QString name;
    QString picture;
    QVariant stock;
    QVariant used = 0;
};
SheetSpec prizeSheet(const QList<PrizeRowSpec>& prizes, const QStringList& people);

// Writes the workbook with xlwt. Empty on success, else the error.
QString makeBook(const QString& path, const QList<SheetSpec>& sheets);

// Another program (xlwt) saves the roll book with a new sheet `name` at
// position `at`, column F of rows 3-30 holding 1. Empty on success.
QString insertSheet(const QString& path, int at, const QString& name);

// A cell as our engine reads the saved file.
xls::CellValue savedCell(const QString& path, const QString& sheet, int row, int column);
QString savedText(const QString& path, const QString& sheet, int row, int column);

// The sheet's cells as xlrd reads them: "row,col" -> value.
QJsonObject xlrdCells(const QString& path, const QString& sheet);

// A live LibreOffice lock of another computer: the roll book cannot be
// saved while it lies beside it.
void lockBook(const QString& appDir);
void unlockBook(const QString& appDir);

} // namespace zelvano::testing
