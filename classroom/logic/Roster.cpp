#include "classroom/logic/Roster.h"

#include "shell/core/Numbers.h"

#include <algorithm>

namespace zelvano
{

namespace
{

const QString kPrizeSheet = QStringLiteral("抽奖品");

int wholeValue(const QString& text)
{
    return toInt16(Val(text));
}

} // namespace

QString trimmedCell(const CellReader& cells, int row, int column)
{
    return QString::fromStdString(xls::trimmedText(cells(row, column))).trimmed();
}

int countPersons(const CellReader& cells)
{
    int row = kFirstPersonRow;
    while (row <= kLastRow && !trimmedCell(cells, row, kNumberColumn).isEmpty())
        ++row;
    return row - kFirstPersonRow;
}

Roster readRoster(const CellReader& cells, int personCount)
{
    Roster roster;
    roster.persons.reserve(static_cast<size_t>(std::max(personCount, 0)));
    for (int k = 1; k <= personCount; ++k) {
        const int row = k + 2;
        Person person;
        person.number = trimmedCell(cells, row, kNumberColumn);
        person.name = trimmedCell(cells, row, kNameColumn);
        person.row = row;
        person.group = wholeValue(trimmedCell(cells, row, kGroupColumn));
        person.member = wholeValue(trimmedCell(cells, row, kMemberColumn));
        roster.savedGroupCount = std::max(roster.savedGroupCount, person.group);
        roster.savedGroupSize = std::max(roster.savedGroupSize, person.member);
        roster.persons.push_back(std::move(person));
    }
    return roster;
}

CellAnchor personAnchor(const Person& person)
{
    return CellAnchor::rowHolding({{kNumberColumn, person.number}, {kNameColumn, person.name}},
                                  kFirstPersonRow);
}

QString nameItemCaption(const Person& person)
{
    return person.number + QLatin1Char('_') + person.name;
}

std::vector<ClassEntry> classEntries(const QStringList& worksheetNames)
{
    std::vector<ClassEntry> entries;
    for (int i = 0; i < worksheetNames.size(); ++i) {
        if (worksheetNames[i] != kPrizeSheet)
            entries.push_back({worksheetNames[i], i});
    }
    return entries;
}

int preselectedClass(int savedIndex, int classCount)
{
    return savedIndex >= 0 && savedIndex < classCount ? savedIndex : 0;
}

RestoredGroups restoreGroups(int personCount, int savedGroupCount, int savedGroupSize)
{
    RestoredGroups result;
    if (savedGroupCount <= 0) {
        result.kind = RestoredGroups::Kind::NeverGrouped;
        result.groupCount = 1;
        result.groupSize = personCount;
        return result;
    }
    const int g = savedGroupCount;
    const int s = std::max(savedGroupSize, 0);
    result.groupCount = g;
    result.groupSize = s;
    result.lastGroupCount = personCount - (g - 1) * s;
    if (result.lastGroupCount > s) {
        result.kind = RestoredGroups::Kind::LastTooLarge;
        return result;
    }
    result.kind = RestoredGroups::Kind::Restored;
    result.groups.resize(static_cast<size_t>(g));
    for (int a = 1; a <= g; ++a) {
        Group& group = result.groups[static_cast<size_t>(a - 1)];
        // More saved groups than the class fills leave the last ones empty.
        for (int m = 1; m <= s; ++m) {
            const int p = (a - 1) * s + m;
            if (p > personCount)
                break;
            group.members.push_back(QString::number(p));
        }
        group.count = static_cast<int>(group.members.size());
    }
    return result;
}

QString restoreFailureText(const QString& className, const RestoredGroups& restored,
                           int personCount)
{
    return QStringLiteral("“%1”中保存的分组有误：%2人，组号最大为%3，组内号最大为%4，"
                          "最后一组却有%5人。\r\n请在分组规则中重新分组并保存，"
                          "或在点名册中改正第5、6列（组号、组内号）后按F5刷新。")
        .arg(className)
        .arg(personCount)
        .arg(restored.groupCount)
        .arg(restored.groupSize)
        .arg(restored.lastGroupCount);
}

const Person* personAt(const std::vector<Person>& persons, const QString& member)
{
    bool ok = false;
    const int k = member.toInt(&ok);
    if (!ok || k < 1 || k > static_cast<int>(persons.size()))
        return nullptr;
    return &persons[static_cast<size_t>(k - 1)];
}

std::vector<QString> rosterPositions(int personCount)
{
    std::vector<QString> positions;
    positions.reserve(static_cast<size_t>(std::max(personCount, 0)));
    for (int k = 1; k <= personCount; ++k)
        positions.push_back(QString::number(k));
    return positions;
}

void assignGroups(std::vector<Person>& persons, const std::vector<Group>& groups)
{
    for (size_t a = 0; a < groups.size(); ++a) {
        const auto& members = groups[a].members;
        for (size_t j = 0; j < members.size(); ++j) {
            bool ok = false;
            const int k = members[j].toInt(&ok);
            if (ok && k >= 1 && k <= static_cast<int>(persons.size())) {
                persons[static_cast<size_t>(k - 1)].group = static_cast<int>(a) + 1;
                persons[static_cast<size_t>(k - 1)].member = static_cast<int>(j) + 1;
            }
        }
    }
}

void dropEmptyPlaces(std::vector<Group>& groups)
{
    for (Group& group : groups) {
        std::erase_if(group.members, [](const QString& m) { return m.isEmpty(); });
        group.count = static_cast<int>(group.members.size());
    }
}

bool groupsCoverRoster(const std::vector<Group>& groups, int personCount, int groupSize)
{
    std::vector<int> seen(static_cast<size_t>(std::max(personCount, 0)), 0);
    for (const Group& group : groups) {
        if (group.count > groupSize)
            return false;
        for (const QString& member : group.members) {
            bool ok = false;
            const int k = member.toInt(&ok);
            if (!ok || k < 1 || k > personCount)
                return false;
            ++seen[static_cast<size_t>(k - 1)];
        }
    }
    return std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; });
}

} // namespace zelvano
