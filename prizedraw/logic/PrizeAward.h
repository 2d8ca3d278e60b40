#pragma once

#include "prizedraw/logic/PrizeSheet.h"

#include <QPoint>
#include <QString>

#include <vector>

namespace zelvano
{

// The cells one award writes into the prize sheet, taken from the sheet as
// it is at that moment (the host may have edited it since it was read).
struct AwardCells {
    int prizeRow = 0;
    double used = 0; // F: its numeric value plus one
    QString winners; // G: the old winners and this one
    bool writeWinners = false;
    QString level;     // B of the prize now; C of the person
    QString prizeName; // C of the prize now; D of the person
    int personRow = 0; // 0 when nobody of the sheet won (working without names)
};

// `display` is the person display (number, line break, name); empty when
// working without names, when G is left as it is.
AwardCells planAward(const CellReader& cell, int prizeRow, int personRow, const QString& display);

// The cells the reset empties: F of every prize row, C and D of every name
// row (column x, row y). G keeps the record of who won what.
std::vector<QPoint> resetCells(int prizeCount, int nameCount);

} // namespace zelvano
