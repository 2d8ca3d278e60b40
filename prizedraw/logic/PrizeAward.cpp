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

namespace
{

constexpr int kLastPrizeRow = kFirstNameRow - 1;

CellAnchor prizeRowAnchor(const QString& level, const QString& name)
{
    return CellAnchor::rowHolding({{2, level}, {3, name}}, kFirstPrizeRow, kLastPrizeRow);
}

CellAnchor nameRowAnchor(const QString& number, const QString& name)
{
    return CellAnchor::rowHolding({{1, number}, {2, name}}, kFirstNameRow);
}

} // namespace

CellAnchor AwardTarget::prizeAnchor() const
{
    return prizeRowAnchor(level, prizeName);
}

CellAnchor AwardTarget::personAnchor() const
{
    return nameRowAnchor(number, personName);
}

AwardTarget awardTarget(const Prize& prize, const Entrant* person, const QString& display)
{
    AwardTarget target;
    target.prizeRow = prize.row;
    target.level = prize.level;
    target.prizeName = prize.name;
    if (person) {
        target.personRow = person->row;
        target.number = person->number;
        target.personName = person->name;
    }
    target.display = display;
    return target;
}

AwardPlan planAward(const CellReader& cell, int lastRow, const AwardTarget& target)
{
    AwardPlan plan;
    const AnchoredRow prize = findAnchoredRow(target.prizeAnchor(), target.prizeRow, cell, lastRow);
    if (prize.match == AnchoredRow::Match::Gone || prize.match == AnchoredRow::Match::Ambiguous) {
        plan.status = AwardPlan::Status::PrizeGone;
        return plan;
    }
    int personRow = 0;
    if (target.personRow >= 1) {
        const AnchoredRow person =
            findAnchoredRow(target.personAnchor(), target.personRow, cell, lastRow);
        if (person.match == AnchoredRow::Match::Gone ||
            person.match == AnchoredRow::Match::Ambiguous) {
            plan.status = AwardPlan::Status::PersonGone;
            return plan;
        }
        personRow = person.row;
    }
    plan.cells = planAward(cell, prize.row, personRow, target.display);
    return plan;
}

std::vector<CellWrite> awardWrites(const AwardCells& cells, const AwardTarget& target)
{
    const CellAnchor prize = target.prizeAnchor();
    std::vector<CellWrite> writes{{cells.prizeRow, 6, cells.used, prize}};
    if (cells.writeWinners)
        writes.push_back({cells.prizeRow, 7, cells.winners, prize});
    if (cells.personRow >= 1) {
        const CellAnchor person = target.personAnchor();
        writes.push_back({cells.personRow, 3, cells.level, person});
        writes.push_back({cells.personRow, 4, cells.prizeName, person});
    }
    return writes;
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

std::vector<CellWrite> resetWrites(const CellReader& cell)
{
    std::vector<CellWrite> writes;
    for (const QPoint& at : resetCells(countPrizeRows(cell), countNameRows(cell))) {
        const int row = at.y();
        const CellAnchor anchor =
            row < kFirstNameRow
                ? prizeRowAnchor(cellString(cell(row, 2)), cellString(cell(row, 3)))
                : nameRowAnchor(cellTrimmed(cell(row, 1)), cellTrimmed(cell(row, 2)));
        writes.push_back({row, at.x(), QString(), anchor});
    }
    return writes;
}

} // namespace zelvano
