#pragma once

#include "rollbook/ops/CellWrite.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelvano
{

// One piece of a pasted list, as the preview of a new class shows it.
struct PastedEntry {
    enum class Kind {
        Person,    // a name of the new class, numbered 1..N
        Duplicate, // the same name as an earlier person; left out
        Empty,     // an empty line or field; left out
        Skipped,   // a number or a column label ("姓名"); left out
    };
    Kind kind = Kind::Person;
    QString name;
    int number = 0; // Person: its number; Duplicate: the earlier person's
};

// A list pasted from a chat, a web page or a spreadsheet column: one name
// a line, or names apart by tabs, commas or 、. Names are trimmed; the
// spaces a typed list puts inside a two-character Chinese name ("张  三")
// go, as the same name would otherwise count twice.
struct PastedClass {
    std::vector<PastedEntry> entries;
    int persons = 0;
    int duplicates = 0;
    int empties = 0;
    int skipped = 0;

    QStringList names() const;
    // "42人，重复2人已标出", with the empty lines and skipped pieces counted.
    QString summary() const;
};

PastedClass readPastedClass(const QString& text);

// Why `name` cannot name the new class beside the roll book's `sheets`, in
// the teacher's words; empty when it can.
QString classNameProblem(const QString& name, const QStringList& sheets);

// The class sheet as the roster is read: the class name as title in row 1,
// the column labels in row 2, each person's number and name from row 3.
std::vector<CellWrite> classSheetCells(const QString& className, const QStringList& names);

} // namespace zelvano
