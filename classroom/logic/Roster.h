#pragma once

#include "draw/Grouping.h"
#include "rollbook/CellValue.h"
#include "rollbook/ops/CellAnchor.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace zelvano
{

// Reads one cell of the current class sheet, rows and columns 1-based.
using CellReader = std::function<xls::CellValue(int row, int column)>;

// The cell's value as text, trimmed of spaces: how numbers, names and the
// end of the list are compared.
QString trimmedCell(const CellReader& cells, int row, int column);

// Sheet layout of a class: persons from row 3, number and name in columns
// 1 and 2, the saved grouping in 5 and 6, dated scores from column 7 with
// the date in row 2.
inline constexpr int kFirstPersonRow = 3;
inline constexpr int kHeaderRow = 2;
inline constexpr int kNumberColumn = 1;
inline constexpr int kNameColumn = 2;
inline constexpr int kGroupColumn = 5;
inline constexpr int kMemberColumn = 6;
inline constexpr int kFirstScoreColumn = 7;
inline constexpr int kLastRow = 65536;

// One person of the class as read from the sheet. The row travels with the
// person, so a score lands in the row the person came from even when the
// numbers do not run 1, 2, 3 ... in row order.
struct Person {
    QString number; // as shown: "12", "2024031"
    QString name;
    int row = 0;    // sheet row the person was read from
    int group = 0;  // saved or formed group number
    int member = 0; // member number inside the group
};

struct Roster {
    std::vector<Person> persons; // roster position k is persons[k - 1]
    int savedGroupCount = 0;     // largest whole value of column 5
    int savedGroupSize = 0;      // largest whole value of column 6
};

// N: rows from 3 down to the first trimmed empty number cell.
int countPersons(const CellReader& cells);

// Persons 1..n with their saved group columns.
Roster readRoster(const CellReader& cells, int personCount);

// What a cell of the person's row stands for: the row that holds the
// person's number and name, wherever a sort by another program put it.
CellAnchor personAnchor(const Person& person);

// The name menu caption of a person: number "_" name.
QString nameItemCaption(const Person& person);

// The classes of a workbook: every worksheet except the prize sheet, with
// the worksheet each list entry stands for (a prize sheet placed before a
// class does not shift the classes after it).
struct ClassEntry {
    QString name;
    int worksheet = 0; // 0-based worksheet position
};
std::vector<ClassEntry> classEntries(const QStringList& worksheetNames);

// The class list entry preselected for a saved index: the saved one when it
// is a position of the list, else the first.
int preselectedClass(int savedIndex, int classCount);

// The groups a roster load starts with, from the largest saved group and
// member numbers.
struct RestoredGroups {
    enum class Kind {
        NeverGrouped, // no saved grouping: form one in roster order
        Restored,     // saved grouping rebuilt by position
        LastTooLarge  // the saved numbers cannot describe the class
    };
    Kind kind = Kind::NeverGrouped;
    int groupCount = 0;
    int groupSize = 0;
    int lastGroupCount = 0;
    // Members are roster positions as text ("1" .. "N").
    std::vector<Group> groups;
};
RestoredGroups restoreGroups(int personCount, int savedGroupCount, int savedGroupSize);

// The message for a saved grouping that cannot be rebuilt.
QString restoreFailureText(const QString& className, const RestoredGroups& restored,
                           int personCount);

// Group members are kept as roster positions; these turn one into the
// person it stands for (nullptr for an empty place).
const Person* personAt(const std::vector<Person>& persons, const QString& member);
std::vector<QString> rosterPositions(int personCount);

// Sets each person's group and member number from the groups.
void assignGroups(std::vector<Person>& persons, const std::vector<Group>& groups);

// Takes out the empty places a split can leave (5 persons in 4 groups of 2
// would count one member in group 4 that nobody fills), so counts and
// members agree.
void dropEmptyPlaces(std::vector<Group>& groups);

// Every person in exactly one place, no group above its size: what a
// finished grouping must satisfy before it is shown.
bool groupsCoverRoster(const std::vector<Group>& groups, int personCount, int groupSize);

} // namespace zelvano
