#include "classroom/logic/Scoring.h"

#include "shell/core/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zelvano
{

int chooseScoreColumn(const CellReader& cells, int recordPosition)
{
    int c = kFirstScoreColumn;
    while (c <= 256 && !trimmedCell(cells, kHeaderRow, c).isEmpty())
        ++c;
    if (c > 256)
        c = 256; // a full header row keeps adding to the last column
    if (recordPosition == 1)
        return c > kFirstScoreColumn ? c - 1 : kFirstScoreColumn;
    return c;
}

DrawPool<PoolEntry> scorePool(const std::vector<Person>& persons, const CellReader& cells,
                              int scoreColumn)
{
    std::vector<PoolEntry> everyone;
    everyone.reserve(persons.size());
    for (size_t i = 0; i < persons.size(); ++i)
        everyone.push_back({static_cast<int>(i) + 1, persons[i].number, persons[i].row});
    DrawPool<PoolEntry> pool;
    pool.reset(everyone);
    // Taking out everyone who has a score: when that is the whole class the
    // pool refills with everyone, as a lesson already complete should.
    for (const PoolEntry& entry : everyone) {
        if (!trimmedCell(cells, entry.row, scoreColumn).isEmpty())
            pool.removeValue(entry);
    }
    return pool;
}

void fillScorePool(DrawSession& session, const std::vector<Person>& persons,
                   const CellReader& cells, int scoreColumn)
{
    session.setValues(rosterPositions(static_cast<int>(persons.size())));
    const DrawPool<PoolEntry> pool = scorePool(persons, cells, scoreColumn);
    for (const PoolEntry& entry : pool.all()) {
        if (pool.find(entry) == 0)
            session.takeOut(QString::number(entry.position));
    }
}

double addedScore(const xls::CellValue& cell, double points)
{
    double old = 0.0;
    if (cell.type == xls::CellValue::Type::Number)
        old = cell.number;
    else if (cell.type == xls::CellValue::Type::Text)
        old = Val(QString::fromStdString(cell.text));
    const float sum = static_cast<float>(old) + static_cast<float>(points);
    if (!std::isfinite(sum))
        return 0.0;
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, sum);
    if (ec != std::errc())
        return static_cast<double>(sum);
    return std::stod(std::string(buffer, end));
}

std::optional<int> scoreRow(const Person& person, const CellReader& cells)
{
    const auto holdsPerson = [&](int row) {
        return row >= kFirstPersonRow && row <= kLastRow &&
               trimmedCell(cells, row, kNumberColumn) == person.number &&
               trimmedCell(cells, row, kNameColumn) == person.name;
    };
    const double n = Val(person.number);
    if (n >= 1 && n <= kLastRow - 2 && n == std::floor(n) && holdsPerson(int(n) + 2))
        return int(n) + 2;
    if (holdsPerson(person.row))
        return person.row;
    for (int row = kFirstPersonRow;
         row <= kLastRow && !trimmedCell(cells, row, kNumberColumn).isEmpty(); ++row) {
        if (holdsPerson(row))
            return row;
    }
    return std::nullopt;
}

ScoreRecord::ScoreRecord(QString sheet, Person person, int column, double points, QString dayText)
    : m_sheet(std::move(sheet)), m_person(std::move(person)), m_column(column), m_points(points),
      m_dayText(std::move(dayText))
{
}

RecordPlan ScoreRecord::plan(const SheetCellReader& cells, int /*lastRow*/)
{
    RecordPlan plan;
    const auto row = scoreRow(m_person, cells);
    if (!row) {
        plan.rowGone = true;
        return plan;
    }
    // Header and score go in together or not at all.
    if (trimmedCell(cells, kHeaderRow, m_column).isEmpty())
        plan.cells.push_back({kHeaderRow, m_column, m_dayText, CellAnchor::emptyHeader()});
    plan.cells.push_back(
        {*row, m_column, addedScore(cells(*row, m_column), m_points), personAnchor(m_person)});
    return plan;
}

RecordNotice ScoreRecord::goneNotice(const QString& /*rollBookName*/) const
{
    return {QStringLiteral("点名册中找不到 %1 %2，分数没有写入。\r\n请按F5刷新名单后再写。")
                .arg(m_person.number, m_person.name),
            QStringLiteral("警告")};
}

QString ScoreRecord::handText() const
{
    return cellAddress(m_sheet, m_person.row, m_column) +
           QStringLiteral("（%1）").arg(personAnchor(m_person).keyText());
}

} // namespace zelvano
