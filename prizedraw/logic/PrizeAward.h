#pragma once

#include "prizedraw/logic/PrizeSheet.h"
#include "rollbook/ops/CellWrite.h"
#include "rollbook/ops/RecordCommand.h"

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

// One award as the draw made it: the prize and the person with the rows
// they were read from and what those rows held. The award is written into
// the rows that hold the same prize and person when it is written, so a
// sort or an inserted row in the sheet meanwhile cannot move it onto
// another prize or person.
struct AwardTarget {
    int prizeRow = 0;
    QString level;     // B as read
    QString prizeName; // C as read
    int personRow = 0; // 0 when nobody of the sheet won (working without names)
    QString number;
    QString personName;
    QString display; // the person display; empty without names

    CellAnchor prizeAnchor() const;
    CellAnchor personAnchor() const;
};
AwardTarget awardTarget(const Prize& prize, const Entrant* person, const QString& display);

// The award planned on the sheet as it is now: its cells, or which row of
// it could not be found.
struct AwardPlan {
    enum class Status { Ready, PrizeGone, PersonGone };
    Status status = Status::Ready;
    AwardCells cells;
};
AwardPlan planAward(const CellReader& cell, int lastRow, const AwardTarget& target);

// The cells an award writes: F and G of the prize, C and D of the person,
// each with what it stands for.
std::vector<CellWrite> awardWrites(const AwardCells& cells, const AwardTarget& target);

// The cells the reset empties: F of every prize row, C and D of every name
// row (column x, row y). G keeps the record of who won what.
std::vector<QPoint> resetCells(int prizeCount, int nameCount);
// The same for the sheet as it is now: the regions counted again, each
// cell with the prize or person of its row.
std::vector<CellWrite> resetWrites(const CellReader& cell);

// One award as the roll book applies it: planned on the prize sheet as it
// is then (planAward), written whole (awardWrites). It waits when it
// cannot be written, so the award made on screen reaches the sheet at the
// next access, once.
class AwardRecord final : public RecordCommand
{
public:
    explicit AwardRecord(AwardTarget target);

    QString sheet() const override;
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override;
    RecordNotice goneNotice(const QString& rollBookName) const override;
    bool waitsWhenNotWritten() const override { return true; }
    // "4 彭军获三等奖,台灯": the person display, the level and the prize.
    QString handText() const override;

    // The cells of the last plan that found both rows: the level and prize
    // as the sheet held them when the award was written.
    const AwardCells& planned() const { return m_planned; }

private:
    AwardTarget m_target;
    AwardCells m_planned;
    AwardPlan::Status m_status = AwardPlan::Status::Ready;
};

} // namespace zelvano
