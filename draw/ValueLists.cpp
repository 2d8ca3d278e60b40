#include "draw/ValueLists.h"

#include "shell/core/Numbers.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace zelvano
{

namespace
{

QStringList addBoxPieces(const QString& text)
{
    QString cleaned = text.trimmed();
    cleaned.replace(QStringLiteral("，"), QStringLiteral(","));
    cleaned.remove(QRegularExpression(QStringLiteral("\\s")));
    return cleaned.split(u',');
}

} // namespace

long long rangeSize(int first, int last)
{
    return last < first ? 0 : static_cast<long long>(last) - first + 1;
}

long long hallSize(int rows, int columns)
{
    return rows < 1 || columns < 1 ? 0 : static_cast<long long>(rows) * columns;
}

std::vector<QString> numberRange(int first, int last)
{
    std::vector<QString> values;
    for (long long v = first; v <= last && values.size() < kMaxValues; ++v)
        values.push_back(QString::number(v));
    return values;
}

std::vector<QString> seatList(int rows, int columns)
{
    std::vector<QString> seats;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            if (seats.size() >= kMaxValues)
                return seats;
            seats.push_back(QStringLiteral("%1-%2").arg(r).arg(c));
        }
    }
    return seats;
}

std::vector<QString> numbersToAdd(const QString& addBoxText, const std::vector<QString>& existing)
{
    std::vector<double> present;
    present.reserve(existing.size());
    for (const QString& entry : existing)
        present.push_back(Val(entry));

    std::vector<QString> added;
    for (const QString& piece : addBoxPieces(addBoxText)) {
        const double v = Val(piece);
        if (v <= 0 || std::find(present.begin(), present.end(), v) != present.end())
            continue;
        present.push_back(v);
        added.push_back(numberText(v));
    }
    return added;
}

std::vector<QString> seatsToAdd(const QString& addBoxText, const std::vector<QString>& existing,
                                int rows, int columns)
{
    static const QRegularExpression seatPattern(QStringLiteral("^(\\d+)-(\\d+)$"));
    std::vector<QString> present(existing.begin(), existing.end());
    std::vector<QString> added;
    // A cleared list leaves no hall (1 row, 0 columns): the teacher is then
    // making the seat list by hand, and any seat of a 16-bit hall is taken.
    const bool hallGiven = rows >= 1 && columns >= 1;
    const int lastRow = hallGiven ? rows : 32767;
    const int lastColumn = hallGiven ? columns : 32767;
    for (const QString& piece : addBoxPieces(addBoxText)) {
        const auto match = seatPattern.match(piece);
        if (!match.hasMatch())
            continue;
        const int row = match.captured(1).toInt();
        const int column = match.captured(2).toInt();
        if (row < 1 || column < 1 || row > lastRow || column > lastColumn)
            continue;
        const QString seat = QStringLiteral("%1-%2").arg(row).arg(column);
        if (std::find(present.begin(), present.end(), seat) != present.end())
            continue;
        present.push_back(seat);
        added.push_back(seat);
    }
    return added;
}

QString seatCaption(const QString& seat)
{
    QString caption = seat;
    caption.replace(u'-', QStringLiteral("行"));
    return caption + QStringLiteral("列");
}

QString previewText(const QString& value, bool seatMode)
{
    if (!seatMode)
        return value;
    QString preview = value;
    preview.replace(u'-', QStringLiteral("行\r\n"));
    return preview + QStringLiteral("列");
}

} // namespace zelvano
