#pragma once

#include "draw/Grouping.h"

#include <optional>

namespace zelvano
{

// A selection in the two group lists: the group (0-based row of the group
// list) and the member (0-based row of the member list, -1 for none).
struct GroupSelection {
    int group = -1;
    int member = -1;
    bool operator==(const GroupSelection&) const = default;
};

// Where a value stands: the first member equal to it, searching the groups
// in order. Nothing when no member holds it.
std::optional<GroupSelection> findInGroups(const std::vector<Group>& groups, const QString& value);

// One sequential step: the next member of the group, or after its last
// member (or in an empty group) the first member of the next group, from
// the last group back to the first. Places that hold no value (a surplus
// group, an empty slot) are passed over; with no value anywhere no member
// is selected.
GroupSelection sequentialStep(const std::vector<Group>& groups, GroupSelection from);

} // namespace zelvano
