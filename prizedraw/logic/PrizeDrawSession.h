#pragma once

#include "prizedraw/logic/PrizePool.h"
#include "prizedraw/logic/PrizeSheet.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace zelvano
{

class RandomSource;
class RecordCommand;

// An award made in this window and not voided: the record that wrote it,
// the prize and the winner as the session names them, and its line in the
// winners' list.
struct StandingAward {
    std::shared_ptr<RecordCommand> record;
    QString level; // the prize's B and C as read
    QString prizeName;
    QString number; // the winner's A and B; empty without a winner
    QString personName;
    QString line;
    // The result as the draw record named it: the person display, or the
    // prize when nobody of the sheet won.
    QString recorded;
};

// What the main display shows.
enum class PrizeDisplay {
    Starting,  // the window has read nothing yet
    Title,     // the event's title
    Prize,     // the chosen prize (rolling or drawn), with its picture
    Exhausted, // the chosen prize has no units left
    Finished,  // nothing is left to draw
    Unusable,  // the roll book gave nothing to draw from: says why
};

// What a press of the start button takes from the choice list.
struct PrizeChoice {
    enum class Kind {
        None,         // nothing to take: the press does nothing
        WithoutNames, // a fixed person without names: the draw starts
        Person,       // the person at `index` (0-based; -1 when no longer listed)
        Prize,        // the prize row at `index` (0-based; -1 when no row has the level)
    };
    Kind kind = Kind::None;
    int index = -1;
    // The entry leaves the list once the draw starts: a person is drawn for
    // once, a prize row when this draw takes its last unit.
    bool usedUp = false;
};

// What asking for a draw leads to.
enum class DrawStart {
    Roll,           // the rolling display starts
    ChooseFromMenu, // nobody or no prize chosen yet: the choice menu pops up
    Exhausted,      // the chosen prize has no units left: told on the display
    Finished,       // the pool is empty: the event is over
};

// The prize window's draw state, free of widgets: the sheet as read, the
// tickets and the pool, the chosen prize and person, the choice list beside
// the start button, the ticket rule, the awards made and what the two
// displays show. The window forwards its handlers here and renders.
class PrizeDrawSession
{
public:
    explicit PrizeDrawSession(PrizeMode mode) : m_mode(mode) {}

    bool fixedPerson() const { return m_mode == PrizeMode::FixedPerson; }

    // A sheet read (or an empty one after a refusal): choices, tickets, pool
    // and the displays start over; the name box keeps the host's setting.
    void load(PrizeSheetData data);
    // The roll book could not be read: the display says `problemText`, and
    // so does every later start while nothing is left to draw, until a
    // sheet is loaded.
    void refuse(const QString& problemText);
    const PrizeSheetData& sheet() const { return m_data; }
    const std::vector<int>& tickets() const { return m_tickets; }
    const PrizePool& pool() const { return m_pool; }

    // "不要名单": a fixed person is drawn for without a name list. It is on
    // while the host ticks it (a fixed person only) or the sheet read has no
    // names; names read again bring back the host's own setting, so a
    // winner drawn is always a winner recorded.
    bool withoutNames() const
    {
        return m_sheetWithoutNames || (fixedPerson() && m_hostWithoutNames);
    }
    bool hostWithoutNames() const { return m_hostWithoutNames; }
    void setWithoutNames(bool withoutNames);
    // Whether a click may pop up the choice menu: always the prize levels
    // for a fixed prize, the names for a fixed person unless without names.
    bool choiceMenuApplies() const { return !(fixedPerson() && withoutNames()); }

    // The choice list ("cmbMd") and its current entry, -1 for none.
    const QStringList& choices() const { return m_choices; }
    int choiceIndex() const { return m_choiceIndex; }
    void selectChoice(int index);
    PrizeChoice currentChoice() const;
    // The current entry leaves the list; the first one becomes current.
    void dropChoice();

    // 1-based; 0 for none, a person -1 when working without names.
    int chosenPrize() const { return m_chosenPrize; }
    int chosenPerson() const { return m_chosenPerson; }
    // From the menus (0-based); false when out of range.
    bool choosePrize(int index);
    bool choosePerson(int index);
    bool prizeOpen(int index) const;  // units left ("获奖等级" item enabled)
    bool personOpen(int index) const; // not drawn for ("选择名单" item enabled)

    DrawStart start();
    // One step of the rolling display: a random pick from the pool becomes
    // the chosen prize (fixed person) or person (fixed prize). False when
    // the pool is empty.
    bool rollStep(RandomSource& random);
    void removeDrawn() { m_pool.removeDrawn(); }

    // The award the draw at rest makes: the chosen prize (null when none),
    // the winner (null without one) and the person display it records.
    const Prize* awardPrize() const;
    const Entrant* winner() const;
    QString winnerDisplay() const;
    // The award is made with the level and prize the sheet holds now: the
    // prize loses a unit, the winner is marked. Returns the winners' line.
    // With the record that wrote it, the award stands until voided.
    QString awarded(const QString& level, const QString& prizeName,
                    std::shared_ptr<RecordCommand> record = {});

    // The newest award still standing; null when none.
    const StandingAward* newestAward() const;
    // Voids the newest standing award: its prize regains the unit (a
    // ticket returns), the winner loses the prize and stays out of every
    // later draw of the window, and the choices follow. The display shows
    // the title. Returns the award voided.
    StandingAward voidNewest();
    // Prize index (0-based) of an award's prize in the sheet as read now,
    // -1 when the sheet holds it no more.
    int prizeIndexOf(const StandingAward& award) const;
    // 重置: the voided may be drawn again, and no award stands any more.
    void clearVoided();
    int awardCount() const { return m_awardCount; }
    // The winners' numbering starts again (the window was laid out anew).
    void restartNumbering() { m_awardCount = 0; }

    PrizeDisplay display() const { return m_display; }
    QString mainText() const;
    // A prize is centred left of the side panel, other texts over the window.
    bool textBesidePanel() const { return m_display == PrizeDisplay::Prize; }
    // The chosen prize is shown with its picture; false when out of range.
    bool showPrize();
    bool showsPrizePicture() const { return m_pictureShown; }
    // The person display: number, line break, name; empty when nobody shows.
    QString personText() const;

private:
    bool personInRange(int v) const;
    bool excluded(const Entrant& person) const;
    // The pool, the open persons and the choices as the sheet and the
    // voided persons allow.
    void applyExclusions();
    // The choices as the sheet and the voided persons allow, the current
    // entry kept where it is still listed.
    void rebuildChoices();
    QStringList openChoices() const;
    void choosePersonState();
    void dropRedrawnLevel(const StandingAward& award);
    void showPerson(int v);
    void showEnd(PrizeDisplay display);

    PrizeMode m_mode;
    PrizeSheetData m_data;
    std::vector<int> m_tickets;
    PrizePool m_pool;
    std::vector<bool> m_personOpen;
    bool m_hostWithoutNames = false;
    bool m_sheetWithoutNames = false;
    QString m_problemText;
    QStringList m_choices;
    int m_choiceIndex = -1;
    int m_chosenPrize = 0;
    int m_chosenPerson = 0;
    int m_shownPerson = 0;
    int m_awardCount = 0;
    std::vector<StandingAward> m_standing;
    // (number, name) of the persons whose award was voided.
    std::set<std::pair<QString, QString>> m_voided;
    PrizeDisplay m_display = PrizeDisplay::Starting;
    bool m_pictureShown = false;
};

} // namespace zelvano
