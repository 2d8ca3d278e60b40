#include "draw/GroupCursor.h"

#include <algorithm>

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
    const bool inRange = from.group >= 0 && from.group < groupCount;
    const int first = inRange ? from.group : 0;
    int group = first;
    int after = inRange ? from.member : -1;
    // Every group once, and the first one again for its places before `from`.
    for (int visited = 0; visited <= groupCount; ++visited) {
        const auto& members = groups[static_cast<size_t>(group)].members;
        for (int j = std::max(after, -1) + 1; j < static_cast<int>(members.size()); ++j) {
            if (!members[static_cast<size_t>(j)].isEmpty())
                return {group, j};
        }
        group = (group + 1) % groupCount;
        after = -1;
    }
    return {first, -1}; // no value in any group
}

} // namespace zelvano
