#include "draw/DrawSession.h"

#include "draw/GroupCursor.h"
#include "shell/core/RandomSource.h"

#include <algorithm>

namespace zelvano
{

DrawOrder drawOrderOf(int code)
{
    return code == 1 ? DrawOrder::Sequential : DrawOrder::Random;
}

int drawOrderCode(DrawOrder order)
{
    return order == DrawOrder::Sequential ? 1 : 0;
}

DrawChange& DrawChange::operator|=(const DrawChange& other)
{
    groups = groups || other.groups;
    group = group || other.group;
    member = member || other.member;
    called = called || other.called;
    return *this;
}

DrawSession::DrawSession(RandomSource& random, DrawTexts texts)
    : m_random(random), m_texts(std::move(texts))
{
}

void DrawSession::setValues(std::vector<QString> values)
{
    m_values = std::move(values);
    m_pool.reset(m_values);
}

void DrawSession::setPool(std::vector<QString> keys)
{
    m_pool.reset(std::move(keys));
}

void DrawSession::takeOut(const QString& key)
{
    m_pool.removeValue(key);
}

DrawChange DrawSession::regroup(int count, int size, bool atRandom)
{
    return setGroups(buildGroups(m_values, count, size, atRandom, m_random));
}

DrawChange DrawSession::setGroups(std::vector<Group> groups)
{
    m_groups = std::move(groups);
    m_view.groupCount = static_cast<int>(m_groups.size());
    m_view.group = -1;
    m_view.member = -1;
    m_view.members.clear();
    m_view.summary.clear();
    DrawChange change{true, true, true, false};
    if (!m_groups.empty())
        change |= selectGroup(0);
    return change;
}

DrawChange DrawSession::next()
{
    m_random.reseed();
    if (m_groups.empty())
        return {};
    if (m_order == DrawOrder::Random) {
        const int picked =
            weighted() ? m_pool.pickWeighted(m_random,
                                             [this](const QString& key) { return weightOf(key); })
                       : m_pool.pickRandom(m_random);
        if (picked == 0)
            return {};
        m_lastStepWasRandom = true;
        return selectKey(m_pool.at(m_pool.drawnIndex()));
    }
    m_lastStepWasRandom = false;
    const GroupSelection step = sequentialStep(m_groups, {m_view.group, m_view.member});
    DrawChange change = selectGroup(step.group);
    change |= selectMember(step.member);
    return change;
}

std::uint32_t DrawSession::weightOf(const QString& key) const
{
    const auto found = m_weights.find(key);
    if (found != m_weights.end())
        return found->second;
    std::uint32_t heaviest = 1;
    for (const auto& [other, weight] : m_weights)
        heaviest = std::max(heaviest, weight);
    return heaviest;
}

double DrawSession::chanceOf(const QString& key) const
{
    if (m_pool.find(key) == 0)
        return 0.0;
    if (!weighted())
        return 1.0 / m_pool.size();
    double sum = 0;
    for (const QString& entry : m_pool.entries())
        sum += std::max<std::uint32_t>(1, weightOf(entry));
    return std::max<std::uint32_t>(1, weightOf(key)) / sum;
}

void DrawSession::endDraw()
{
    if (m_repeat)
        return;
    if (m_lastStepWasRandom)
        m_pool.removeDrawn();
    else if (const QString key = selectedKey(); !key.isEmpty())
        m_pool.removeValue(key);
}

DrawChange DrawSession::nextGroup()
{
    if (m_view.groupCount < 2)
        return {};
    return selectGroup(m_view.group + 1 >= m_view.groupCount ? 0 : m_view.group + 1);
}

DrawChange DrawSession::selectGroup(int group)
{
    if (group == m_view.group || group < 0 || group >= m_view.groupCount)
        return {};
    const Group& chosen = m_groups[static_cast<size_t>(group)];
    m_view.group = group;
    m_view.member = -1;
    m_view.members.clear();
    m_view.members.reserve(chosen.members.size());
    for (const QString& key : chosen.members)
        m_view.members.push_back(m_texts.entry ? m_texts.entry(key) : key);
    m_view.summary =
        groupSummary(static_cast<int>(m_values.size()), m_view.groupCount, group + 1, chosen.count);
    return {false, true, true, false};
}

DrawChange DrawSession::selectMember(int member)
{
    const bool inGroup = member >= 0 && member < static_cast<int>(m_view.members.size());
    m_view.member = inGroup ? member : -1;
    DrawChange change{false, false, true, false};
    if (inGroup && !m_callsHeld)
        change |= call();
    return change;
}

DrawChange DrawSession::call()
{
    const QString key = selectedKey();
    const int group = m_view.group + 1;
    const int member = m_view.member + 1;
    m_view.calledKey = key;
    m_view.calledGroup = group;
    m_view.calledMember = member;
    m_view.result = m_texts.result ? m_texts.result(m_composition, group, member, key) : key;
    m_view.line = m_texts.line ? m_texts.line(group, member, key) : key;
    return {false, false, false, true};
}

DrawChange DrawSession::pick(int index)
{
    if (index < 0 || index >= static_cast<int>(m_values.size()))
        return {};
    return pickValue(m_values[static_cast<size_t>(index)].trimmed());
}

DrawChange DrawSession::pickValue(const QString& key)
{
    if (key.isEmpty())
        return {};
    m_lastStepWasRandom = false;
    const DrawChange change = selectKey(key);
    if (!m_repeat)
        m_pool.removeValue(key);
    return change;
}

DrawChange DrawSession::selectKey(const QString& key)
{
    const auto found = findInGroups(m_groups, key);
    if (!found)
        return {};
    DrawChange change = selectGroup(found->group);
    change |= selectMember(found->member);
    return change;
}

QString DrawSession::selectedKey() const
{
    if (m_view.group < 0 || m_view.member < 0)
        return {};
    const auto& members = m_groups[static_cast<size_t>(m_view.group)].members;
    if (m_view.member >= static_cast<int>(members.size()))
        return {};
    return members[static_cast<size_t>(m_view.member)];
}

} // namespace zelvano
