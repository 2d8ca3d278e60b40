#pragma once

#include "rollbook/CellValue.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace zelvano
{

// The prize sheet "抽奖品" as the prize window reads it: a prize region from
// row 3 (A marks a row; B level, C prize, D picture, E stock, F used, G the
// winners) and a name region from row 21 (A number, B name, C/D the level and
// prize won). Free of widgets and of the workbook, so a table of cells is
// enough to exercise it.

// A cell of the sheet, rows and columns 1-based.
using CellReader = std::function<xls::CellValue(int row, int column)>;

// The sheet's layout: the one place that knows it. Rows and columns 1-based.
inline constexpr int kTitleRow = 1;
inline constexpr int kTitleColumn = 2;    // B1
inline constexpr int kSubtitleColumn = 5; // E1
inline constexpr int kFirstPrizeRow = 3;
inline constexpr int kFirstNameRow = 21;
inline constexpr int kLastPrizeRow = kFirstNameRow - 1;
// The prize region.
inline constexpr int kPrizeMarkColumn = 1;
inline constexpr int kPrizeLevelColumn = 2;
inline constexpr int kPrizeNameColumn = 3;
inline constexpr int kPrizePictureColumn = 4;
inline constexpr int kPrizeStockColumn = 5;
inline constexpr int kPrizeUsedColumn = 6;
inline constexpr int kPrizeWinnersColumn = 7;
// The name region.
inline constexpr int kEntrantNumberColumn = 1;
inline constexpr int kEntrantNameColumn = 2;
inline constexpr int kEntrantLevelColumn = 3;
inline constexpr int kEntrantPrizeColumn = 4;

// The sheet rows of prize t and person v (both 1-based).
constexpr int prizeRowOf(int t)
{
    return kFirstPrizeRow + t - 1;
}
constexpr int nameRowOf(int v)
{
    return kFirstNameRow + v - 1;
}

// 3 fixed-person draw ("定名抽奖"), 4 fixed-prize draw ("定奖摇号").
enum class PrizeMode { FixedPerson = 3, FixedPrize = 4 };

struct Prize {
    int row = 0;       // sheet row
    QString level;     // B, as read
    QString name;      // C, as read
    QString picture;   // D, file under img/
    int remaining = 0; // max(E - F, 0)
    int used = 0;      // F
};

struct Entrant {
    int row = 0;
    QString number;
    QString name;
    QString levelWon;
    QString prizeWon;
    bool hasWon() const { return !levelWon.isEmpty(); }
};

struct PrizeSheetData {
    QString title;               // B1
    QString subtitle;            // E1
    std::vector<Prize> prizes;   // prize t at index t - 1
    std::vector<Entrant> people; // person v at index v - 1
    int prizeRowCount = 0;       // prize rows as counted, even when unread
    int nameRowCount = 0;        // name rows as counted, even when unread
    // Fewer than two prize rows: nothing is read.
    bool prizeRegionEmpty = false;
    // The prize rows run on into row 21, where the names begin: those rows
    // would be read as people too and an award to such a "person" would
    // overwrite the prize's own cells, so the names are left unread.
    bool prizeRowsReachNames = false;
};

// The numeric value of a cell as a whole signed 16-bit number: a number as
// it is, a text by its leading number ("5个" is 5), rounded half to even and
// clamped to -32768..32767.
std::int16_t cellInt16(const xls::CellValue& value);
QString cellString(const xls::CellValue& value);  // as read
QString cellTrimmed(const xls::CellValue& value); // trimmed of spaces

int countPrizeRows(const CellReader& cell);
int countNameRows(const CellReader& cell);

// Both regions, with the two refusals above.
PrizeSheetData readPrizeSheet(const CellReader& cell);

// One entry per remaining unit, holding the prize's sheet row, prize by
// prize in table order: a prize with more units left is more likely drawn.
std::vector<int> prizeTickets(const std::vector<Prize>& prizes);

// What a draw picks from: tickets for a fixed person, the rows of the
// people who have won nothing for a fixed prize.
std::vector<int> drawPoolFor(PrizeMode mode, const PrizeSheetData& data);

struct ChoiceItem {
    QString caption;
    bool enabled = true;
};

// "获奖等级": one item per prize, enabled while units remain.
std::vector<ChoiceItem> prizeMenuItems(const std::vector<Prize>& prizes);
// "选择名单": one item per person, enabled while the person has won nothing.
std::vector<ChoiceItem> nameMenuItems(const std::vector<Entrant>& people);
// number, one space, name
QString personCaption(const Entrant& person);

// The choice list beside the start button: levels with units left for a
// fixed prize, people who have won nothing for a fixed person.
QStringList choiceEntries(PrizeMode mode, const PrizeSheetData& data);

} // namespace zelvano
