#pragma once

#include "shell/core/RandomSource.h"

#include <QString>

#include <vector>

namespace zelvano
{

// One group: its member count and its member members (an empty text where no
// value was placed, which shows as an empty line).
struct Group {
    int count = 0;
    std::vector<QString> members;
};

// What a person typed into one of the two grouping boxes, checked against
// the values to split. Box 0 holds the number of groups, box 1 the number
// of members per group; the one entered decides the other, as the smallest
// that covers every value.
struct GroupInput {
    bool accepted = false;
    int groupCount = 0;
    int groupSize = 0;
    QString message; // shown when not accepted
};

// `upperBound` is the largest entry the box accepts (the number of values,
// or one more for the classroom's group size).
GroupInput applyGroupInput(int box, const QString& text, int valueCount, int upperBound);

// Splits `values` into `groupCount` groups of up to `groupSize`: full groups
// first, then the remainder in the first group that cannot be full and in
// every group after it (which may leave surplus groups with empty members).
// In list order, or at random with `random` (not reseeded).
std::vector<Group> buildGroups(const std::vector<QString>& values, int groupCount, int groupSize,
                               bool atRandom, RandomSource& random);

// The member count of group `c` (1-based) when N values are split into
// groups of S.
int memberCount(int valueCount, int groupSize, int c);

// "48人分6组，第1组有8人"
QString groupSummary(int valueCount, int groupCount, int currentGroup, int currentCount);

} // namespace zelvano
