#include "draw/GroupCursor.h"

namespace zelvano
{

std::optional<GroupSelection> findInGroups(const std::vector<Group>& groups, const QString& value)
{
    for (size_t c = 0; c < groups.size(); ++c) {
        const auto& members = groups[c].members;
        for (size_t j = 0; j < members.size(); ++j) {
            if (members[j] == value)
                return GroupSelection{static_cast<int>(c), static_cast<int>(j)};
        }
    }
    return std::nullopt;
}

GroupSelection sequentialStep(const std::vector<Group>& groups, GroupSelection from)
{
    const int groupCount = static_cast<int>(groups.size());
    if (groupCount == 0)
        return from;
    int group = from.group < 0 || from.group >= groupCount ? 0 : from.group;
    const int members = static_cast<int>(groups[static_cast<size_t>(group)].members.size());
    const bool atLast = members == 0 || from.member >= members - 1;
    if (!atLast)
        return {group, std::max(from.member, -1) + 1};
    if (groupCount > 1)
        group = (group + 1) % groupCount;
    const bool hasMembers = !groups[static_cast<size_t>(group)].members.empty();
    return {group, hasMembers ? 0 : -1};
}

} // namespace zelvano
