#include "prizedraw/logic/PrizeAward.h"

#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/ops/RollBook.h"

#include <utility>

namespace zelvano
{

AwardCells planAward(const CellReader& cell, int prizeRow, int personRow, const QString& display)
{
    AwardCells award;
    award.prizeRow = prizeRow;
    award.used = double(cellInt16(cell(prizeRow, kPrizeUsedColumn))) + 1;
    award.writeWinners = !display.isEmpty();
    if (award.writeWinners)
        award.winners = appendWinner(cellString(cell(prizeRow, kPrizeWinnersColumn)), display);
    award.level = cellString(cell(prizeRow, kPrizeLevelColumn));
    award.prizeName = cellString(cell(prizeRow, kPrizeNameColumn));
    award.personRow = personRow;
    return award;
}

namespace
{

CellAnchor prizeRowAnchor(const QString& level, const QString& name)
{
    return CellAnchor::rowHolding({{kPrizeLevelColumn, level}, {kPrizeNameColumn, name}},
                                  kFirstPrizeRow, kLastPrizeRow);
}

CellAnchor nameRowAnchor(const QString& number, const QString& name)
{
    return CellAnchor::rowHolding({{kEntrantNumberColumn, number}, {kEntrantNameColumn, name}},
                                  kFirstNameRow);
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
    std::vector<CellWrite> writes{{cells.prizeRow, kPrizeUsedColumn, cells.used, prize}};
    if (cells.writeWinners)
        writes.push_back({cells.prizeRow, kPrizeWinnersColumn, cells.winners, prize});
    if (cells.personRow >= 1) {
        const CellAnchor person = target.personAnchor();
        writes.push_back({cells.personRow, kEntrantLevelColumn, cells.level, person});
        writes.push_back({cells.personRow, kEntrantPrizeColumn, cells.prizeName, person});
    }
    return writes;
}

std::vector<QPoint> resetCells(int prizeCount, int nameCount)
{
    std::vector<QPoint> cells;
    for (int t = 1; t <= prizeCount; ++t)
        cells.emplace_back(kPrizeUsedColumn, prizeRowOf(t));
    for (int v = 1; v <= nameCount; ++v) {
        cells.emplace_back(kEntrantLevelColumn, nameRowOf(v));
        cells.emplace_back(kEntrantPrizeColumn, nameRowOf(v));
    }
    return cells;
}

std::vector<CellWrite> resetWrites(const CellReader& cell)
{
    std::vector<CellWrite> writes;
    for (const QPoint& at : resetCells(countPrizeRows(cell), countNameRows(cell))) {
        const int row = at.y();
        const CellAnchor anchor = row < kFirstNameRow
                                      ? prizeRowAnchor(cellString(cell(row, kPrizeLevelColumn)),
                                                       cellString(cell(row, kPrizeNameColumn)))
                                      : nameRowAnchor(cellTrimmed(cell(row, kEntrantNumberColumn)),
                                                      cellTrimmed(cell(row, kEntrantNameColumn)));
        writes.push_back({row, at.x(), QString(), anchor});
    }
    return writes;
}

AwardRecord::AwardRecord(AwardTarget target) : m_target(std::move(target)) {}

QString AwardRecord::sheet() const
{
    return QString::fromUtf16(kPrizeSheetName);
}

RecordPlan AwardRecord::plan(const SheetCellReader& cells, int lastRow)
{
    const AwardPlan plan = planAward(cells, lastRow, m_target);
    m_status = plan.status;
    if (plan.status != AwardPlan::Status::Ready)
        return {{}, true};
    m_planned = plan.cells;
    return {awardWrites(plan.cells, m_target), false};
}

RecordNotice AwardRecord::goneNotice(const QString& rollBookName) const
{
    const CellAnchor gone =
        m_status == AwardPlan::Status::PrizeGone ? m_target.prizeAnchor() : m_target.personAnchor();
    return {awardRowGoneText(gone.keyText(), rollBookName), QStringLiteral("错误")};
}

QString AwardRecord::handText() const
{
    return m_target.display + QStringLiteral("获") + m_target.level + QLatin1Char(',') +
           m_target.prizeName;
}

} // namespace zelvano
