#include "draw/Grouping.h"

#include "shell/core/Numbers.h"

namespace zelvano
{

GroupInput applyGroupInput(int box, const QString& text, int valueCount, int upperBound)
{
    GroupInput result;
    const int entered = toInt16(Val(text));
    if (entered < 1 || entered > upperBound) {
        result.message = box == 0
                             ? QStringLiteral("请输入正确的组数，值范围为[1~%1]").arg(upperBound)
                             : QStringLiteral("请输入每组的人数，值范围为[1~%1]").arg(upperBound);
        return result;
    }
    result.accepted = true;
    if (box == 0) {
        result.groupCount = entered;
        result.groupSize = intDivide(valueCount - 1, entered) + 1;
    } else {
        result.groupSize = entered;
        result.groupCount = intDivide(valueCount - 1, entered) + 1;
    }
    return result;
}

int memberCount(int valueCount, int groupSize, int c)
{
    if (groupSize < 1 || c < 1)
        return 0;
    return valueCount / c < groupSize ? valueCount % groupSize : groupSize;
}

std::vector<Group> buildGroups(const std::vector<QString>& values, int groupCount, int groupSize,
                               bool atRandom, RandomSource& random)
{
    const int n = static_cast<int>(values.size());
    std::vector<Group> groups(static_cast<size_t>(std::max(groupCount, 0)));
    std::vector<int> indexPool(values.size());
    for (int i = 0; i < n; ++i)
        indexPool[static_cast<size_t>(i)] = i;

    for (int c = 1; c <= groupCount; ++c) {
        Group& group = groups[static_cast<size_t>(c - 1)];
        group.count = memberCount(n, groupSize, c);
        group.members.assign(static_cast<size_t>(group.count), QString());
        for (int j = 1; j <= group.count; ++j) {
            if (atRandom) {
                if (indexPool.empty())
                    break;
                const int u = random.pick(static_cast<int>(indexPool.size()));
                group.members[static_cast<size_t>(j - 1)] =
                    values[static_cast<size_t>(indexPool[static_cast<size_t>(u - 1)])];
                indexPool.erase(indexPool.begin() + (u - 1));
            } else {
                const long long p = static_cast<long long>(c - 1) * groupSize + j;
                if (p > n)
                    break;
                group.members[static_cast<size_t>(j - 1)] = values[static_cast<size_t>(p - 1)];
            }
        }
    }
    return groups;
}

QString groupSummary(int valueCount, int groupCount, int currentGroup, int currentCount)
{
    return QStringLiteral("%1人分%2组，第%3组有%4人")
        .arg(valueCount)
        .arg(groupCount)
        .arg(currentGroup)
        .arg(currentCount);
}

} // namespace zelvano
