#pragma once

#include "classroom/logic/CallHistory.h"
#include "classroom/logic/Roster.h"
#include "classroom/logic/Scoring.h"
#include "draw/DrawSession.h"
#include "rollbook/ops/RollBook.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace zelvano
{

class RandomSource;

// How reading the chosen class's roster ended.
enum class RosterRead {
    Loaded,     // two persons or more: roster and pool read
    Empty,      // fewer than two persons: nothing to call
    Unreadable, // the class sheet could not be opened (see the book's outcome)
};

struct RosterOutcome {
    RosterRead read = RosterRead::Unreadable;
    BookOutcome book; // to be told: readings of the file, why it failed
};

// A grouping formed, or the one that stands after every attempt failed.
struct GroupingOutcome {
    bool formed = false;
    std::vector<Group> groups;        // to be shown: formed, or read again
    std::vector<BookOutcome> reloads; // the roster read again between attempts
};

// What 存 (save the grouping) met before anything was saved.
enum class GroupSave {
    NoRoster,      // nothing read to save
    RosterChanged, // the sheet no longer holds the roster grouped: nothing written
    Written,       // see the book's outcome: written, refused or unreachable
};

struct GroupSaveOutcome {
    GroupSave step = GroupSave::NoRoster;
    BookOutcome book;
};

// What 写 met for the person called.
enum class ScoreStep {
    NobodyCalled, // nobody of the roster is at rest: nothing to write
    KeptAside,    // the person's row went missing when another program saved:
                  // the points wait in the roll book, nothing new is added
    Recorded,     // see the record's outcome; the save is the caller's
};

struct ScoreOutcome {
    ScoreStep step = ScoreStep::NobodyCalled;
    RecordOutcome record;
};

// The classroom's state and its work on the roll book, free of widgets:
// the class chosen from the workbook's sheets, its roster and the lesson's
// score column, the roll call over it, the person called and the score
// written last. Every operation reads and writes through the RollBook and
// returns what it met; the window tells it and renders.
class ClassroomSession
{
public:
    ClassroomSession(RollBook& book, RandomSource& random);

    // --- Classes -----------------------------------------------------------
    // The classes of the workbook's sheets (the prize sheet is not one);
    // false when there is none.
    bool setClasses(const QStringList& worksheetNames);
    const std::vector<ClassEntry>& classes() const { return m_classes; }
    // The saved choice when it is still a class, else the first.
    void preselectClass(int savedIndex);
    void chooseClass(int index) { m_classIndex = index; }
    int classIndex() const { return m_classIndex; }
    bool classKnown() const;
    // The chosen class's sheet name; empty when none is chosen.
    QString className() const;

    // --- Roster and pool ----------------------------------------------------
    // Reads the chosen class's roster from its sheet. Whatever it ends
    // with, nothing of the previous class stays: a reset or a score would
    // land in its rows and score column of the newly chosen sheet.
    RosterOutcome loadRoster();
    void forgetRoster();
    int personCount() const { return m_personCount; }
    // The largest count a group-size box accepts: one more than the class
    // is still one group.
    int groupSizeBound() const { return m_personCount + 1; }
    const std::vector<Person>& roster() const { return m_roster; }
    // The grouping saved in the sheet, as the roster was read.
    RestoredGroups savedGroups() const;
    // The saved grouping taken on; the groups, for the window to show.
    void takeGroups(const std::vector<Group>& groups);

    // The score column for "今天" (0) or "前一次" (1), and the pool of those
    // not scored there yet; a roster read later keeps the choice. When the
    // class sheet cannot be read the pool is empty, though a name is still
    // chosen by its position.
    BookOutcome prepareScorePool(int recordPosition);
    int scoreColumn() const { return m_scoreColumn; }
    // The header text of a new score column ("12月09").
    void setDayText(const QString& text) { m_dayText = text; }

    DrawSession& draw() { return m_draw; }
    const DrawSession& draw() const { return m_draw; }

    // --- Grouping ----------------------------------------------------------
    // Groups the roster into `groupCount` groups of at most `groupSize`. A
    // grouping that fails is tried again after reading the roster again,
    // twice, before the outcome says it failed; the grouping the sheet
    // holds then stands.
    GroupingOutcome formGroups(bool atRandom, int groupCount, int groupSize);
    // Writes each person's group and member numbers, while the sheet still
    // holds the roster that was grouped (rows are written by position).
    GroupSaveOutcome saveGroups();

    // --- Calls and scores ----------------------------------------------------
    // The roster position called (from the draw's key); the score written
    // before can no longer be taken back.
    void setCalled(int position);
    int calledPosition() const { return m_calledPosition; }
    const Person* calledPerson() const;
    // Adds the points to the called person's cell of the score column. Points
    // still unsaved for that person are only saved by another press, never
    // added twice.
    ScoreOutcome writeScore(double points);
    // The person's points wait for a row another program's save took away.
    bool scoreKeptAside(const Person& person) const;
    // The score written last in this run, while it may be taken back.
    const std::shared_ptr<ScoreRecord>& lastScore() const { return m_lastScore; }
    // Takes the last score back, only while lastScore() holds one. Unless
    // the file was unreachable (to try again), it can never be taken back
    // again.
    RecordOutcome takeBackLastScore();
    void forgetLastScore() { m_lastScore.reset(); }

    // Empties the score column in the rows that hold the roster's persons
    // now. Not Ok when the sheet cannot be opened or a cell refused.
    BookOutcome clearScores();

    // --- 均衡点名 -------------------------------------------------------------
    // Random calls weighted by the calls of the last `lessons` lessons in
    // the draw record, 1 / (1 + calls); off, everyone is equally likely.
    // The weights follow the record as takeRecord() last read it.
    void setBalance(bool on, int lessons);
    bool balanced() const { return m_balanced; }
    int balanceLessons() const { return m_balanceLessons; }
    // The draw record read again (`windowName` is the classroom's name in
    // it): the class's lessons and, when balanced, the weights.
    void takeRecord(const QByteArray& record, const QString& windowName);
    const std::vector<LessonCalls>& lessons() const { return m_lessons; }
    // The chance of roster position `position` in the next random call, 0..1.
    double chanceOf(int position) const { return m_draw.chanceOf(QString::number(position)); }

private:
    BookOutcome activateClassSheet();
    CellReader cells() const;
    bool buildGroups(bool atRandom, int groupCount, int groupSize, std::vector<Group>& groups);
    // The roster read again after a failed grouping, with the sheet's own
    // grouping (or one group in roster order) standing.
    BookOutcome reloadForGrouping(std::vector<Group>& groups);

    RollBook& m_book;
    RandomSource& m_random;
    std::vector<ClassEntry> m_classes;
    int m_classIndex = 0;
    int m_personCount = 0;
    int m_savedGroupCount = 0;
    int m_savedGroupSize = 0;
    int m_recordPosition = 0;
    int m_scoreColumn = kFirstScoreColumn;
    int m_calledPosition = 0;
    QString m_dayText;
    std::vector<Person> m_roster;
    DrawSession m_draw;
    std::shared_ptr<ScoreRecord> m_lastScore;
    std::vector<LessonCalls> m_lessons;
    bool m_balanced = false;
    int m_balanceLessons = kBalanceLessons;

    void applyBalance();
};

} // namespace zelvano
