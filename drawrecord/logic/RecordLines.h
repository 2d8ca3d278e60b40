#pragma once

#include "shell/core/DrawLog.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <vector>

namespace zelvano
{

// The draw record's lines: comma-separated values as RFC 4180 has them,
// UTF-8 with a byte-order mark so that Excel and WPS read the Chinese.

// The column titles, in order: time, window, class or prize, pool before
// the draw, result, kind.
QStringList recordColumns();

// How a kind reads in the record: "抽取", "作废", "撤销成绩".
QString eventKindText(DrawEventKind kind);

// A shown text on one line: each line break (CR LF, CR or LF, and runs of
// them) becomes one space, and the ends are trimmed.
QString singleLine(const QString& shown);

// A field as written: one starting with '=', '+', '-' or '@' gets a leading
// apostrophe so a spreadsheet shows it instead of running it as a formula;
// a field holding a comma, quote or line break is quoted, quotes doubled.
QString csvField(const QString& text);

// The bytes that start a new record: the byte-order mark and the titles.
QByteArray recordHeader();
// One event as one line, CR LF ended.
QByteArray recordLine(const DrawEvent& event, const QDateTime& when);

// The fields of one line (without its line end), quotes undone.
QStringList splitCsvLine(const QString& line);
// A field as the record's reader shows it: the apostrophe put before a
// formula-like text is dropped.
QString shownField(const QString& field);

// Every line of the record, oldest first, each as its shown fields. The
// titles and foreign lines are skipped.
std::vector<QStringList> recordEntries(const QByteArray& record);

// The lines of the record whose time falls on `day`, newest first, each as
// its shown fields. The titles and foreign lines are skipped.
std::vector<QStringList> linesOfDay(const QByteArray& record, const QDate& day);

} // namespace zelvano
