#include "prizedraw/logic/PrizeDrawSession.h"

#include "prizedraw/logic/PrizeTexts.h"
#include "shell/core/Numbers.h"
#include "shell/core/RandomSource.h"

#include <algorithm>

namespace zelvano
{

void PrizeDrawSession::load(PrizeSheetData data)
{
    m_data = std::move(data);
    m_tickets = prizeTickets(m_data.prizes);
    applyExclusions();
    m_choiceIndex = m_choices.isEmpty() ? -1 : 0;
    m_chosenPrize = 0;
    m_sheetWithoutNames = m_data.people.empty();
    m_chosenPerson = withoutNames() ? -1 : 0;
    m_shownPerson = 0;
    m_display = PrizeDisplay::Title;
    m_problemText.clear();
    m_pictureShown = false;
}

void PrizeDrawSession::refuse(const QString& problemText)
{
    m_problemText = problemText;
    showEnd(PrizeDisplay::Unusable);
}

void PrizeDrawSession::setWithoutNames(bool withoutNames)
{
    m_hostWithoutNames = withoutNames;
    choosePersonState();
}

void PrizeDrawSession::choosePersonState()
{
    if (withoutNames()) {
        // Nobody shown stands for a winner who would not be recorded.
        m_chosenPerson = -1;
        m_shownPerson = 0;
    } else if (m_chosenPerson < 0) {
        m_chosenPerson = 0;
    }
}

void PrizeDrawSession::selectChoice(int index)
{
    m_choiceIndex = index >= 0 && index < m_choices.size() ? index : -1;
}

PrizeChoice PrizeDrawSession::currentChoice() const
{
    using Kind = PrizeChoice::Kind;
    if (fixedPerson() && withoutNames())
        return {Kind::WithoutNames, -1, false};
    if (m_choiceIndex < 0)
        return {};
    const QString& choice = m_choices.at(m_choiceIndex);
    if (fixedPerson()) {
        // A person is drawn for at most once: the entry goes in any case.
        const auto& people = m_data.people;
        const auto found = std::find_if(people.begin(), people.end(), [&](const Entrant& p) {
            return personCaption(p) == choice;
        });
        const int index = found == people.end() ? -1 : static_cast<int>(found - people.begin());
        return {Kind::Person, index, true};
    }
    // Several rows may share a level: the first that still has units is
    // meant, so a used-up row does not hide the next one.
    int index = -1;
    for (size_t i = 0; i < m_data.prizes.size(); ++i) {
        if (m_data.prizes[i].level != choice)
            continue;
        if (index < 0)
            index = static_cast<int>(i);
        if (m_data.prizes[i].remaining > 0) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0)
        return {Kind::Prize, -1, false};
    return {Kind::Prize, index, m_data.prizes[static_cast<size_t>(index)].remaining <= 1};
}

void PrizeDrawSession::dropChoice()
{
    if (m_choiceIndex >= 0)
        m_choices.removeAt(m_choiceIndex);
    m_choiceIndex = m_choices.isEmpty() ? -1 : 0;
}

bool PrizeDrawSession::choosePrize(int index)
{
    if (index < 0 || index >= static_cast<int>(m_data.prizes.size()))
        return false;
    m_chosenPrize = index + 1;
    return true;
}

bool PrizeDrawSession::choosePerson(int index)
{
    if (!personInRange(index + 1))
        return false;
    m_pictureShown = false;
    showPerson(index + 1);
    m_chosenPerson = index + 1;
    return true;
}

bool PrizeDrawSession::prizeOpen(int index) const
{
    return index >= 0 && index < static_cast<int>(m_data.prizes.size()) &&
           m_data.prizes[static_cast<size_t>(index)].remaining > 0;
}

bool PrizeDrawSession::personOpen(int index) const
{
    return personInRange(index + 1) && m_personOpen[static_cast<size_t>(index)];
}

DrawStart PrizeDrawSession::start()
{
    if (m_pool.size() <= 0) {
        showEnd(m_problemText.isEmpty() ? PrizeDisplay::Finished : PrizeDisplay::Unusable);
        return DrawStart::Finished;
    }
    if (fixedPerson())
        return withoutNames() || personOpen(m_chosenPerson - 1) ? DrawStart::Roll
                                                                : DrawStart::ChooseFromMenu;
    const Prize* prize = awardPrize();
    if (!prize)
        return DrawStart::ChooseFromMenu;
    if (prize->remaining <= 0) {
        showEnd(PrizeDisplay::Exhausted);
        return DrawStart::Exhausted;
    }
    return DrawStart::Roll;
}

bool PrizeDrawSession::rollStep(RandomSource& random)
{
    const int position = m_pool.pickRandom(random);
    if (position == 0)
        return false;
    const int row = m_pool.at(position);
    if (fixedPerson()) {
        m_chosenPrize = row - (kFirstPrizeRow - 1);
        showPrize();
    } else {
        showPerson(row - (kFirstNameRow - 1));
        m_chosenPerson = row - (kFirstNameRow - 1);
    }
    return true;
}

const Prize* PrizeDrawSession::awardPrize() const
{
    if (m_chosenPrize < 1 || m_chosenPrize > static_cast<int>(m_data.prizes.size()))
        return nullptr;
    return &m_data.prizes[static_cast<size_t>(m_chosenPrize - 1)];
}

const Entrant* PrizeDrawSession::winner() const
{
    if (withoutNames() || !personInRange(m_chosenPerson))
        return nullptr;
    return &m_data.people[static_cast<size_t>(m_chosenPerson - 1)];
}

QString PrizeDrawSession::winnerDisplay() const
{
    return winner() ? personText() : QString();
}

QString PrizeDrawSession::awarded(const QString& level, const QString& prizeName,
                                  std::shared_ptr<RecordCommand> record)
{
    if (!awardPrize())
        return {};
    const QString display = winnerDisplay();
    Prize& prize = m_data.prizes[static_cast<size_t>(m_chosenPrize - 1)];
    StandingAward standing{std::move(record), prize.level, prize.name, {}, {}, {}, {}};
    standing.recorded = display.isEmpty()
                            ? prize.level.trimmed() + QLatin1Char(' ') + prize.name.trimmed()
                            : display;
    if (const Entrant* person = winner()) {
        standing.number = person->number;
        standing.personName = person->name;
    }
    prize.remaining = std::max(prize.remaining - 1, 0);
    prize.used = toInt16(prize.used + 1);
    if (winner()) {
        const auto v = static_cast<size_t>(m_chosenPerson - 1);
        m_personOpen[v] = false;
        m_data.people[v].levelWon = level.trimmed();
        m_data.people[v].prizeWon = prizeName.trimmed();
    }
    m_awardCount = toInt16(m_awardCount + 1);
    standing.line = winnerLine(m_awardCount, display, level, prizeName);
    // Whichever way the draw was asked for (start button or menu), the
    // choices follow what is left.
    rebuildChoices();
    if (standing.record)
        m_standing.push_back(standing);
    return standing.line;
}

const StandingAward* PrizeDrawSession::newestAward() const
{
    return m_standing.empty() ? nullptr : &m_standing.back();
}

int PrizeDrawSession::prizeIndexOf(const StandingAward& award) const
{
    for (size_t i = 0; i < m_data.prizes.size(); ++i) {
        if (m_data.prizes[i].level == award.level && m_data.prizes[i].name == award.prizeName)
            return static_cast<int>(i);
    }
    return -1;
}

StandingAward PrizeDrawSession::voidNewest()
{
    if (m_standing.empty())
        return {};
    StandingAward award = std::move(m_standing.back());
    m_standing.pop_back();
    // Found by what they hold: the sheet may have been read again since.
    if (const int t = prizeIndexOf(award); t >= 0) {
        Prize& prize = m_data.prizes[static_cast<size_t>(t)];
        prize.remaining += 1;
        prize.used = toInt16(prize.used - 1);
    }
    if (!award.number.isEmpty() || !award.personName.isEmpty()) {
        m_voided.insert({award.number, award.personName});
        for (Entrant& person : m_data.people) {
            if (person.number == award.number && person.name == award.personName) {
                person.levelWon.clear();
                person.prizeWon.clear();
            }
        }
    }
    const QString current = m_choiceIndex >= 0 ? m_choices.at(m_choiceIndex) : QString();
    applyExclusions();
    if (!fixedPerson())
        dropRedrawnLevel(award);
    m_choiceIndex = m_choices.isEmpty() ? -1 : std::max(0, int(m_choices.indexOf(current)));
    m_awardCount = std::max(0, m_awardCount - 1);
    m_chosenPrize = 0;
    m_chosenPerson = withoutNames() ? -1 : 0;
    showEnd(PrizeDisplay::Title);
    return award;
}

void PrizeDrawSession::dropRedrawnLevel(const StandingAward& award)
{
    // The same prize is drawn again at once: when that takes its last unit,
    // its level leaves the choices, as the start of the voided draw did.
    const int t = prizeIndexOf(award);
    if (t < 0 || m_data.prizes[static_cast<size_t>(t)].remaining > 1)
        return;
    for (size_t i = 0; i < m_data.prizes.size(); ++i) {
        const Prize& prize = m_data.prizes[i];
        if (int(i) != t && prize.level == award.level && prize.remaining > 0)
            return;
    }
    m_choices.removeAll(award.level);
}

void PrizeDrawSession::clearVoided()
{
    m_voided.clear();
    m_standing.clear();
}

bool PrizeDrawSession::excluded(const Entrant& person) const
{
    return m_voided.count({person.number, person.name}) > 0;
}

void PrizeDrawSession::applyExclusions()
{
    std::vector<int> pool = drawPoolFor(m_mode, m_data);
    m_personOpen.clear();
    for (const Entrant& person : m_data.people) {
        m_personOpen.push_back(!person.hasWon() && !excluded(person));
        if (!fixedPerson() && excluded(person))
            std::erase(pool, person.row);
    }
    m_pool.reset(std::move(pool));
    m_choices = openChoices();
}

QStringList PrizeDrawSession::openChoices() const
{
    QStringList choices = choiceEntries(m_mode, m_data);
    if (fixedPerson()) {
        for (const Entrant& person : m_data.people) {
            if (excluded(person))
                choices.removeAll(personCaption(person));
        }
    }
    return choices;
}

void PrizeDrawSession::rebuildChoices()
{
    const QString current = m_choiceIndex >= 0 ? m_choices.at(m_choiceIndex) : QString();
    m_choices = openChoices();
    m_choiceIndex = m_choices.isEmpty() ? -1 : std::max(0, int(m_choices.indexOf(current)));
}

QString PrizeDrawSession::mainText() const
{
    const Prize* prize = awardPrize();
    switch (m_display) {
    case PrizeDisplay::Starting:
        return QStringLiteral("\r\n\r\n系统正在初始化，请等待");
    case PrizeDisplay::Title:
        return titleText(m_data.title, m_data.subtitle);
    case PrizeDisplay::Prize:
        return prize ? prizeText(prize->level, prize->name) : QString();
    case PrizeDisplay::Exhausted:
        return prize ? exhaustedText(prize->level) : QString();
    case PrizeDisplay::Finished:
        return finishedText(m_data.title, m_data.subtitle);
    case PrizeDisplay::Unusable:
        return m_problemText;
    }
    return {};
}

bool PrizeDrawSession::showPrize()
{
    if (!awardPrize())
        return false;
    m_display = PrizeDisplay::Prize;
    m_pictureShown = true;
    return true;
}

QString PrizeDrawSession::personText() const
{
    if (!personInRange(m_shownPerson))
        return {};
    const Entrant& person = m_data.people[static_cast<size_t>(m_shownPerson - 1)];
    return personDisplay(person.number, person.name);
}

bool PrizeDrawSession::personInRange(int v) const
{
    return v >= 1 && v <= static_cast<int>(m_data.people.size());
}

void PrizeDrawSession::showPerson(int v)
{
    if (personInRange(v))
        m_shownPerson = v;
}

void PrizeDrawSession::showEnd(PrizeDisplay display)
{
    m_display = display;
    m_pictureShown = false;
    m_shownPerson = 0;
}

} // namespace zelvano
