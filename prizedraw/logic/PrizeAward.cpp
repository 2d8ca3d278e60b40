#include "prizedraw/logic/PrizeAward.h"

#include "prizedraw/logic/PrizeTexts.h"

namespace zelvano
{

AwardCells planAward(const CellReader& cell, int prizeRow, int personRow, const QString& display)
{
    AwardCells award;
    award.prizeRow = prizeRow;
    award.used = double(cellInt16(cell(prizeRow, 6))) + 1;
    award.writeWinners = !display.isEmpty();
    if (award.writeWinners)
        award.winners = appendWinner(cellString(cell(prizeRow, 7)), display);
    award.level = cellString(cell(prizeRow, 2));
    award.prizeName = cellString(cell(prizeRow, 3));
    award.personRow = personRow;
    return award;
}

std::vector<QPoint> resetCells(int prizeCount, int nameCount)
{
    std::vector<QPoint> cells;
    for (int t = 1; t <= prizeCount; ++t)
        cells.emplace_back(6, t + 2);
    for (int v = 1; v <= nameCount; ++v) {
        cells.emplace_back(3, v + 20);
        cells.emplace_back(4, v + 20);
    }
    return cells;
}

} // namespace zelvano
