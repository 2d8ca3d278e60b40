#include "classroom/logic/ClassroomSession.h"

#include "classroom/logic/RollCallText.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace zelvano
{

namespace
{

// A grouping that fails is tried again after reading the roster again this
// many times.
constexpr int kGroupingRetries = 2;

// One outcome for two steps: the later one's status, the readings of both.
BookOutcome joined(BookOutcome earlier, BookOutcome later)
{
    earlier.reloads.insert(earlier.reloads.end(), later.reloads.begin(), later.reloads.end());
    later.reloads = std::move(earlier.reloads);
    return later;
}

BookOutcome noClass()
{
    BookOutcome outcome;
    outcome.status = BookStatus::NoSuchSheet;
    return outcome;
}

} // namespace

ClassroomSession::ClassroomSession(RollBook& book, RandomSource& random)
    : m_book(book), m_random(random), m_draw(random, classroomDrawTexts(m_roster))
{
}

bool ClassroomSession::setClasses(const QStringList& worksheetNames)
{
    m_classes = classEntries(worksheetNames);
    return !m_classes.empty();
}

void ClassroomSession::preselectClass(int savedIndex)
{
    m_classIndex = preselectedClass(savedIndex, static_cast<int>(m_classes.size()));
}

bool ClassroomSession::classKnown() const
{
    return m_classIndex >= 0 && m_classIndex < static_cast<int>(m_classes.size());
}

QString ClassroomSession::className() const
{
    return classKnown() ? m_classes[static_cast<size_t>(m_classIndex)].name : QString();
}

BookOutcome ClassroomSession::activateClassSheet()
{
    // By name: a sheet inserted or moved by another program since the class
    // list was read must not take the class's place.
    return classKnown() ? m_book.activateSheet(className()) : noClass();
}

CellReader ClassroomSession::cells() const
{
    const RollBook* book = &m_book;
    return [book](int row, int column) { return book->cell(row, column); };
}

// --- Roster and pool --------------------------------------------------------

void ClassroomSession::forgetRoster()
{
    m_roster.clear();
    m_draw.setValues({});
    m_draw.setGroups({});
    m_savedGroupCount = 0;
    m_savedGroupSize = 0;
    m_calledPosition = 0;
    m_scoreColumn = kFirstScoreColumn;
    m_lastScore.reset();
    m_lessons.clear();
    m_draw.setWeights({});
}

void ClassroomSession::setBalance(bool on, int lessons)
{
    m_balanced = on;
    m_balanceLessons = std::max(1, lessons);
    applyBalance();
}

void ClassroomSession::takeRecord(const QByteArray& record, const QString& windowName)
{
    m_lessons = lessonsOfClass(record, windowName, className(), m_roster);
    applyBalance();
}

void ClassroomSession::applyBalance()
{
    if (!m_balanced || m_roster.empty()) {
        m_draw.setWeights({});
        return;
    }
    m_draw.setWeights(balanceWeights(
        callsOverLast(m_lessons, m_balanceLessons, static_cast<int>(m_roster.size()))));
}

RosterOutcome ClassroomSession::loadRoster()
{
    forgetRoster();
    RosterOutcome outcome;
    outcome.book = activateClassSheet();
    if (!outcome.book.ok()) {
        m_personCount = 0;
        return outcome;
    }
    m_personCount = countPersons(cells());
    if (m_personCount <= 1) {
        outcome.read = RosterRead::Empty;
        return outcome;
    }
    Roster roster = readRoster(cells(), m_personCount);
    m_roster = std::move(roster.persons);
    m_savedGroupCount = roster.savedGroupCount;
    m_savedGroupSize = roster.savedGroupSize;
    outcome.book = joined(std::move(outcome.book), prepareScorePool(m_recordPosition));
    outcome.read = RosterRead::Loaded;
    return outcome;
}

RestoredGroups ClassroomSession::savedGroups() const
{
    return restoreGroups(m_personCount, m_savedGroupCount, m_savedGroupSize);
}

void ClassroomSession::takeGroups(const std::vector<Group>& groups)
{
    assignGroups(m_roster, groups);
}

BookOutcome ClassroomSession::prepareScorePool(int recordPosition)
{
    m_recordPosition = recordPosition;
    m_draw.setValues(rosterPositions(static_cast<int>(m_roster.size())));
    if (m_roster.empty()) {
        m_draw.setPool({});
        return {};
    }
    BookOutcome outcome = activateClassSheet();
    if (!outcome.ok()) {
        m_draw.setPool({});
        return outcome;
    }
    m_scoreColumn = chooseScoreColumn(cells(), recordPosition);
    fillScorePool(m_draw, m_roster, cells(), m_scoreColumn);
    return outcome;
}

// --- Grouping ---------------------------------------------------------------

bool ClassroomSession::buildGroups(bool atRandom, int groupCount, int groupSize,
                                   std::vector<Group>& groups)
{
    try {
        groups = zelvano::buildGroups(rosterPositions(m_personCount), groupCount, groupSize,
                                      atRandom, m_random);
    } catch (const std::exception&) {
        return false;
    }
    dropEmptyPlaces(groups);
    return groupsCoverRoster(groups, m_personCount, groupSize);
}

BookOutcome ClassroomSession::reloadForGrouping(std::vector<Group>& groups)
{
    groups.clear();
    RosterOutcome reread = loadRoster();
    if (reread.read != RosterRead::Loaded)
        return reread.book;
    const RestoredGroups saved = savedGroups();
    if (saved.kind == RestoredGroups::Kind::Restored)
        groups = saved.groups;
    else if (saved.kind == RestoredGroups::Kind::NeverGrouped)
        buildGroups(false, 1, m_personCount, groups);
    assignGroups(m_roster, groups);
    return reread.book;
}

GroupingOutcome ClassroomSession::formGroups(bool atRandom, int groupCount, int groupSize)
{
    GroupingOutcome outcome;
    for (int attempt = 0;; ++attempt) {
        if (buildGroups(atRandom, groupCount, groupSize, outcome.groups)) {
            assignGroups(m_roster, outcome.groups);
            outcome.formed = true;
            return outcome;
        }
        if (attempt >= kGroupingRetries)
            return outcome;
        outcome.reloads.push_back(reloadForGrouping(outcome.groups));
        if (m_roster.empty())
            return outcome; // nothing left to group: the reading says why
    }
}

GroupSaveOutcome ClassroomSession::saveGroups()
{
    GroupSaveOutcome outcome;
    if (m_roster.empty())
        return outcome;
    outcome.step = GroupSave::Written;
    outcome.book = activateClassSheet();
    if (!outcome.book.ok())
        return outcome;
    const CellReader sheet = cells();
    for (const Person& person : m_roster) {
        if (trimmedCell(sheet, person.row, kNumberColumn) != person.number ||
            trimmedCell(sheet, person.row, kNameColumn) != person.name) {
            outcome.step = GroupSave::RosterChanged;
            return outcome;
        }
    }
    std::vector<CellWrite> writes;
    for (const Person& person : m_roster) {
        writes.push_back({person.row, kGroupColumn, double(person.group), personAnchor(person)});
        writes.push_back({person.row, kMemberColumn, double(person.member), personAnchor(person)});
    }
    outcome.book = joined(std::move(outcome.book), m_book.write(writes));
    return outcome;
}

// --- Calls and scores -------------------------------------------------------

void ClassroomSession::setCalled(int position)
{
    m_calledPosition = position;
    m_lastScore.reset();
}

const Person* ClassroomSession::calledPerson() const
{
    return personAt(m_roster, QString::number(m_calledPosition));
}

bool ClassroomSession::scoreKeptAside(const Person& person) const
{
    return classKnown() && m_book.changeFor(className(), m_scoreColumn, personAnchor(person)) ==
                               ChangeState::KeptAside;
}

ScoreOutcome ClassroomSession::writeScore(double points)
{
    ScoreOutcome outcome;
    const Person* person = calledPerson();
    if (!person)
        return outcome;
    if (scoreKeptAside(*person)) {
        outcome.step = ScoreStep::KeptAside;
        return outcome;
    }
    outcome.step = ScoreStep::Recorded;
    if (!classKnown()) {
        outcome.record.status = RecordStatus::Unreachable;
        outcome.record.book = noClass();
        return outcome;
    }
    if (m_book.changeFor(className(), m_scoreColumn, personAnchor(*person)) != ChangeState::None) {
        // The points are in the workbook already: the press only saves them.
        outcome.record.book = m_book.open();
        if (!outcome.record.book.ok())
            outcome.record.status = RecordStatus::Unreachable;
        return outcome;
    }
    auto score =
        std::make_shared<ScoreRecord>(className(), *person, m_scoreColumn, points, m_dayText);
    outcome.record = m_book.record(score);
    // In the workbook now: from here on it can be taken back, saved or not.
    if (outcome.record.status == RecordStatus::Written)
        m_lastScore = std::move(score);
    return outcome;
}

RecordOutcome ClassroomSession::takeBackLastScore()
{
    RecordOutcome outcome = m_book.takeBack(m_lastScore);
    // Taken back, or refused (a cell changed since): never again.
    if (outcome.status != RecordStatus::Unreachable)
        m_lastScore.reset();
    return outcome;
}

BookOutcome ClassroomSession::clearScores()
{
    BookOutcome outcome = activateClassSheet();
    if (!outcome.ok())
        return outcome;
    // A class that did not load has no roster and nothing is emptied.
    const CellReader sheet = cells();
    std::vector<CellWrite> writes;
    for (const Person& person : m_roster) {
        if (const auto row = scoreRow(person, sheet))
            writes.push_back({*row, m_scoreColumn, QString(), personAnchor(person)});
    }
    if (writes.empty())
        return outcome;
    return joined(std::move(outcome), m_book.write(writes));
}

} // namespace zelvano
