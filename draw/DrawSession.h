#pragma once

#include "draw/DrawPool.h"
#include "draw/Grouping.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace zelvano
{

class RandomSource;

// Random picks from the pool, or one member after the other through the
// groups.
enum class DrawOrder { Random, Sequential };

// The order stored in the settings (0 random, 1 sequential); anything else
// is random.
DrawOrder drawOrderOf(int code);
int drawOrderCode(DrawOrder order);

// How a window shows a member. The session knows members only by their key
// (a number, a seat "3-4", a roster position); the window says what a key
// looks like. Groups and members are 1-based here, as the teacher sees them.
struct DrawTexts {
    // The big label for a called member in composition `composition`.
    std::function<QString(int composition, int group, int member, const QString& key)> result;
    // The line under the group lists, "第 2 组 3 号 ，15".
    std::function<QString(int group, int member, const QString& key)> line;
    // A member list entry; without it the key itself.
    std::function<QString(const QString& key)> entry;
};

// What the window renders. Rows are 0-based (-1 for none), as in the lists.
struct DrawView {
    int groupCount = 0;
    int group = -1;               // the selected group
    int member = -1;              // the selected member of that group
    std::vector<QString> members; // the selected group's list entries
    QString summary;              // "48人分6组，第1组有8人"
    // The member called last; it stays when the selection moves to an
    // empty place or a new grouping is made.
    QString calledKey;
    int calledGroup = 0;  // 1-based
    int calledMember = 0; // 1-based
    QString result;       // the big label
    QString line;         // "第 2 组 3 号 ，15"
};

// What one call changed, so a window refills only that.
struct DrawChange {
    bool groups = false; // the group list: groupCount
    bool group = false;  // another group: members and summary
    bool member = false; // the member selection
    bool called = false; // a member was called: result and line
    DrawChange& operator|=(const DrawChange& other);
};

// One draw as every draw window runs it: the values, the pool still to be
// drawn in this cycle, the groups, the selection in them (the cursor), the
// order, the composition and whether drawn entries stay in the pool. Plain
// calls change it; view() is what the window shows. A window renders the
// view and never reads its lists back.
//
// The number and seat window gives its values as keys and takes the texts
// of numberDrawTexts(). The classroom window gives roster positions "1".."N"
// as values, its score pool (persons still without a score) through
// setPool(), groups restored from the roll book through setGroups(), and
// DrawTexts that turn a position into number and name (composeRollCall,
// calledPersonLine, the name as list entry). Each call returns what changed;
// render that (the member list only when `group` changed: it may be long).
class DrawSession
{
public:
    DrawSession(RandomSource& random, DrawTexts texts);

    // The values to draw from; the pool starts a new cycle over them. The
    // groups stay until regroup() or setGroups().
    void setValues(std::vector<QString> values);
    const std::vector<QString>& values() const { return m_values; }
    // A new cycle over all values at once ("重复" switched on: every value
    // is drawable again, not only those left in this cycle).
    void refillPool() { m_pool.reset(m_values); }
    // A pool that is not the whole list (persons still without a score).
    void setPool(std::vector<QString> keys);
    // Takes `key` out of this cycle only: an emptied pool refills with all
    // values (the classroom's persons who already have a score).
    void takeOut(const QString& key);
    int poolSize() const { return m_pool.size(); }
    const DrawPool<QString>& pool() const { return m_pool; }

    // Splits the values into `count` groups of up to `size` (at random or
    // in list order) and selects the first group, no member.
    DrawChange regroup(int count, int size, bool atRandom);
    // Takes groups made elsewhere (restored from the roll book), the same way.
    DrawChange setGroups(std::vector<Group> groups);
    const std::vector<Group>& groups() const { return m_groups; }

    void setOrder(DrawOrder order) { m_order = order; }
    DrawOrder order() const { return m_order; }
    // The window's composition code; applies from the next call.
    void setComposition(int composition) { m_composition = composition; }
    int composition() const { return m_composition; }
    // "重复": a drawn or chosen entry stays in the pool.
    void setRepeat(bool repeat) { m_repeat = repeat; }
    bool repeat() const { return m_repeat; }
    // Weights of a random pick by key: an entry's chance is its weight over
    // the sum of the pool's weights; a key without one weighs as much as
    // the heaviest. Empty (the default): every entry equally likely. The
    // pool is unchanged: nobody comes twice in a cycle either way.
    void setWeights(std::map<QString, std::uint32_t> weights) { m_weights = std::move(weights); }
    bool weighted() const { return !m_weights.empty(); }
    // The chance of `key` in the next random pick, 0..1; 0 outside the pool.
    double chanceOf(const QString& key) const;
    // While the grouping is being set up a member selection only moves the
    // cursor: nobody is called.
    void setCallsHeld(bool held) { m_callsHeld = held; }
    bool callsHeld() const { return m_callsHeld; }

    // One step of a draw: a random pick from the pool (reseeded first), or
    // the next member in order; selects and calls it. Nothing without groups.
    DrawChange next();
    // The draw has come to rest: unless repeating, the entry shown leaves
    // the pool (the picked pool entry, or after a step in order or a direct
    // choice the member selected, wherever it stands in the pool now).
    void endDraw();
    // The group after the selected one, from the last back to the first;
    // only with two groups or more.
    DrawChange nextGroup();
    // Selects group `group` (0-based) and no member; the same group again
    // changes nothing.
    DrawChange selectGroup(int group);
    // Selects member `member` of the selected group and calls it (unless
    // calls are held); an empty place selects nothing.
    DrawChange selectMember(int member);
    // A direct choice: value `index` of the list, or the member `key`, is
    // selected and called and, unless repeating, leaves the pool.
    DrawChange pick(int index);
    DrawChange pickValue(const QString& key);

    const DrawView& view() const { return m_view; }

private:
    DrawChange selectKey(const QString& key);
    DrawChange call();
    QString selectedKey() const;
    std::uint32_t weightOf(const QString& key) const;

    RandomSource& m_random;
    DrawTexts m_texts;
    std::vector<QString> m_values;
    DrawPool<QString> m_pool;
    std::vector<Group> m_groups;
    DrawOrder m_order = DrawOrder::Random;
    int m_composition = 0;
    bool m_repeat = false;
    bool m_callsHeld = false;
    bool m_lastStepWasRandom = false;
    std::map<QString, std::uint32_t> m_weights;
    DrawView m_view;
};

} // namespace zelvano
