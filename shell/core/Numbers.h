#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zelvano
{

// How every window reads numbers typed by a person or stored as text, and
// turns them into counts, indices and captions. One place, so that a score
// box, a settings column and a workbook cell all agree.

// The leading decimal number of a text, 0 when there is none. Blanks (space,
// tab, line feed, carriage return) are skipped anywhere inside it, the decimal
// mark is always '.', an exponent 'E' or 'D' may follow ("1e3" is 1000), and
// "&H"/"&O" prefixes read hexadecimal and octal. "inf", "nan" and results too
// large for a double give 0.
double Val(QStringView text);

// Whether the whole text, blanks around it aside, is one decimal number
// ("12", " -3.5 ", "1e3"); the empty text is not.
bool isNumeric(QStringView text);

// Conversion to a signed 16-bit integer: halves round to even (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2), values outside -32768..32767 are clamped, NaN is 0.
std::int16_t toInt16(double value);

// The same rounding for the wider counts some callers keep (no clamping
// beyond the 32-bit range, which is clamped too).
std::int32_t toInt32(double value);

// Rounds down: Int(2.7) is 2, Int(-2.5) is -3.
double Int(double value);

// Integer division of two numbers that are first rounded half to even; the
// quotient truncates toward zero. Division by zero gives 0.
std::int32_t intDivide(double dividend, double divisor);

// The decimal text of a number: the shortest that reads back within 15
// significant digits (7 -> "7", 2.5 -> "2.5", 0.1 + 0.2 -> "0.3").
QString numberText(double value);

// The Boolean reading of a text: "True" or "False" in any case, or a number,
// non-zero being True. Anything else has no Boolean reading.
std::optional<bool> booleanFromText(QStringView text);

// Boolean text as stored and shown: "True" or "False".
QString booleanText(bool value);

// A duration as "hh:mm:ss"; hours grow past 99 when needed, negative
// durations show as zero.
QString durationText(std::int64_t seconds);

// A date as "MM月dd", the header of a day's score column ("03月05").
QString dayText(const QDate& date);

} // namespace zelvano
