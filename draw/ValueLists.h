#pragma once

#include <QString>

#include <vector>

namespace zelvano
{

// Counts and positions are 16-bit in the windows, so a list never holds
// more entries than that.
inline constexpr int kMaxValues = 32767;

// How many values a range or a hall would list, before listing them.
long long rangeSize(int first, int last);
long long hallSize(int rows, int columns);

// "a", "a+1", ... "b" in decimal; empty when a > b. At most kMaxValues.
std::vector<QString> numberRange(int first, int last);

// Seats of a hall in row-major order: "1-1", "1-2", ..., "R-C". Empty when
// rows or columns are below 1. At most kMaxValues.
std::vector<QString> seatList(int rows, int columns);

// The numbers typed into the add box that the list lacks (the caller checks
// that the list stays within kMaxValues): pieces separated
// by commas (full-width too), blanks ignored, each read as a number; only
// positive numbers not already in the list (by numeric reading, so 007
// matches 7) are added, as their decimal text.
std::vector<QString> numbersToAdd(const QString& addBoxText, const std::vector<QString>& existing);

// The same for seat labels "row-column" inside the hall (whole numbers from
// 1 to `rows` and to `columns`): "3-5" is added as the seat 3-5 when the
// list lacks it, "03-5" as "3-5"; any other piece is ignored. Without a hall
// (after the list was cleared) any seat with a positive row and column is
// taken.
std::vector<QString> seatsToAdd(const QString& addBoxText, const std::vector<QString>& existing,
                                int rows, int columns);

// A seat "3-4" as shown after a draw: "3行4列".
QString seatCaption(const QString& seat);

// How a list entry previews on the big label: seats as "3行" over "4列".
QString previewText(const QString& value, bool seatMode);

} // namespace zelvano
