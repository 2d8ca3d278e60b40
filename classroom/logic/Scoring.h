#pragma once

#include "classroom/logic/Roster.h"
#include "draw/DrawPool.h"
#include "draw/DrawSession.h"
#include "rollbook/ops/RecordCommand.h"

#include <optional>

namespace zelvano
{

// Where this lesson's scores go: "今天" (0) starts a new dated column, the
// first empty row-2 cell from column 7; "前一次" (1) keeps adding to the last
// dated column (column 7 when there is none).
int chooseScoreColumn(const CellReader& cells, int recordPosition);

// One person still to be called: roster position k (1-based), the number
// shown, and the sheet row. Entries are the same person when k is.
struct PoolEntry {
    int position = 0;
    QString number;
    int row = 0;
    bool operator==(const PoolEntry& other) const { return position == other.position; }
};

// The roll-call pool of a lesson: the persons without a score in the score
// column, in roster order; everyone when all have one. Taking out the last
// entry starts a new round with the whole class.
DrawPool<PoolEntry> scorePool(const std::vector<Person>& persons, const CellReader& cells,
                              int scoreColumn);

// The session draws from the class: roster positions "1".."N" as values,
// the pool of this lesson as scorePool() makes it (a new round still takes
// the whole class).
void fillScorePool(DrawSession& session, const std::vector<Person>& persons,
                   const CellReader& cells, int scoreColumn);

// The new score of a cell: its numeric value (text such as "缺考" counts as
// 0) plus the points, summed in single precision and kept as the decimal
// that single-precision value stands for, so 0.1 + 0.2 is stored as 0.3.
double addedScore(const xls::CellValue& cell, double points);

// The row a score for `person` goes to. The row of number n is n + 2 when
// that row holds the person; otherwise the row the person was read from
// when it still holds them; otherwise the first row of the current sheet
// holding the person's number and name (the sheet was changed by another
// program since the roster was read). Nothing when the person is gone.
std::optional<int> scoreRow(const Person& person, const CellReader& cells);

// Points added to one person, as the roll book applies them: in the row
// that holds the person now (scoreRow), the sum of what the cell holds then
// and the points, and the day's date into the column's header when that is
// still empty. Never kept to wait: a score that cannot be written is
// given up and the teacher tries again.
class ScoreRecord final : public RecordCommand
{
public:
    ScoreRecord(QString sheet, Person person, int column, double points, QString dayText);

    QString sheet() const override { return m_sheet; }
    RecordPlan plan(const SheetCellReader& cells, int lastRow) override;
    RecordNotice goneNotice(const QString& rollBookName) const override;
    bool waitsWhenNotWritten() const override { return false; }
    QString handText() const override;

    const Person& person() const { return m_person; }
    double points() const { return m_points; }

private:
    QString m_sheet;
    Person m_person;
    int m_column = kFirstScoreColumn;
    double m_points = 0;
    QString m_dayText;
};

} // namespace zelvano
