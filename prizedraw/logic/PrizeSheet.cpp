#include "prizedraw/logic/PrizeSheet.h"

#include "shell/core/Numbers.h"

#include <algorithm>

namespace zelvano
{

namespace
{

// Counts stay within the signed 16-bit range the window keeps them in.
constexpr int kMaxRows = 32767;

bool markedRow(const CellReader& cell, int row)
{
    return !cellTrimmed(cell(row, kPrizeMarkColumn)).isEmpty();
}

} // namespace

std::int16_t cellInt16(const xls::CellValue& value)
{
    if (value.type == xls::CellValue::Type::Number)
        return toInt16(value.number);
    return toInt16(Val(cellString(value)));
}

QString cellString(const xls::CellValue& value)
{
    return QString::fromStdString(value.toText());
}

QString cellTrimmed(const xls::CellValue& value)
{
    return QString::fromStdString(xls::trimmedText(value));
}

int countPrizeRows(const CellReader& cell)
{
    int k = 0;
    while (k < kMaxRows && markedRow(cell, kFirstPrizeRow + k))
        ++k;
    return k;
}

int countNameRows(const CellReader& cell)
{
    int k = 0;
    while (k < kMaxRows && markedRow(cell, kFirstNameRow + k))
        ++k;
    return k;
}

PrizeSheetData readPrizeSheet(const CellReader& cell)
{
    PrizeSheetData data;
    data.prizeRowCount = countPrizeRows(cell);
    data.nameRowCount = countNameRows(cell);
    if (data.prizeRowCount <= 1) {
        data.prizeRegionEmpty = true;
        return data;
    }
    data.title = cellTrimmed(cell(kTitleRow, kTitleColumn));
    data.subtitle = cellTrimmed(cell(kTitleRow, kSubtitleColumn));
    data.prizes.reserve(static_cast<size_t>(data.prizeRowCount));
    for (int t = 1; t <= data.prizeRowCount; ++t) {
        Prize prize;
        prize.row = prizeRowOf(t);
        prize.level = cellString(cell(prize.row, kPrizeLevelColumn));
        prize.name = cellString(cell(prize.row, kPrizeNameColumn));
        prize.picture = cellString(cell(prize.row, kPrizePictureColumn));
        const int stock = cellInt16(cell(prize.row, kPrizeStockColumn));
        prize.used = cellInt16(cell(prize.row, kPrizeUsedColumn));
        prize.remaining = toInt16(std::max(stock - prize.used, 0));
        data.prizes.push_back(prize);
    }
    data.prizeRowsReachNames = prizeRowOf(data.prizeRowCount) >= kFirstNameRow;
    if (data.prizeRowsReachNames)
        return data;
    data.people.reserve(static_cast<size_t>(data.nameRowCount));
    for (int v = 1; v <= data.nameRowCount; ++v) {
        Entrant person;
        person.row = nameRowOf(v);
        person.number = cellTrimmed(cell(person.row, kEntrantNumberColumn));
        person.name = cellTrimmed(cell(person.row, kEntrantNameColumn));
        person.levelWon = cellTrimmed(cell(person.row, kEntrantLevelColumn));
        person.prizeWon = cellTrimmed(cell(person.row, kEntrantPrizeColumn));
        data.people.push_back(person);
    }
    return data;
}

std::vector<int> prizeTickets(const std::vector<Prize>& prizes)
{
    std::vector<int> tickets;
    for (const Prize& prize : prizes)
        tickets.insert(tickets.end(), static_cast<size_t>(std::max(prize.remaining, 0)), prize.row);
    return tickets;
}

std::vector<int> drawPoolFor(PrizeMode mode, const PrizeSheetData& data)
{
    if (mode == PrizeMode::FixedPerson)
        return prizeTickets(data.prizes);
    std::vector<int> rows;
    for (const Entrant& person : data.people) {
        if (!person.hasWon())
            rows.push_back(person.row);
    }
    return rows;
}

std::vector<ChoiceItem> prizeMenuItems(const std::vector<Prize>& prizes)
{
    std::vector<ChoiceItem> items;
    for (const Prize& prize : prizes)
        items.push_back({prize.level, prize.remaining != 0});
    return items;
}

std::vector<ChoiceItem> nameMenuItems(const std::vector<Entrant>& people)
{
    std::vector<ChoiceItem> items;
    for (const Entrant& person : people)
        items.push_back({personCaption(person), !person.hasWon()});
    return items;
}

QString personCaption(const Entrant& person)
{
    return person.number + QLatin1Char(' ') + person.name;
}

QStringList choiceEntries(PrizeMode mode, const PrizeSheetData& data)
{
    QStringList entries;
    if (mode == PrizeMode::FixedPrize) {
        for (const Prize& prize : data.prizes) {
            if (prize.remaining != 0)
                entries << prize.level;
        }
    } else {
        for (const Entrant& person : data.people) {
            if (!person.hasWon())
                entries << personCaption(person);
        }
    }
    return entries;
}

} // namespace zelvano
