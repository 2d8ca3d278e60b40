#include "classroom/logic/CallHistory.h"

#include "drawrecord/logic/RecordLines.h"

#include <algorithm>

namespace zelvano
{

namespace
{

// The record's columns: time, window, class or prize, pool, result, kind.
enum Column { Time, Window, Subject, Pool, Result, Kind };

// The least common multiple of 1..12: 1 / (1 + calls) is a whole number
// of it for up to 11 calls, and a class of thousands still sums in an int.
constexpr std::uint32_t kWeightScale = 27720;

} // namespace

bool resultNames(const QString& result, const Person& person)
{
    const QString last = result.trimmed().section(QLatin1Char(' '), -1);
    return !last.isEmpty() && (last == person.name || last == person.number + person.name ||
                               (last == person.number && !person.number.isEmpty()));
}

std::vector<LessonCalls> lessonsOfClass(const QByteArray& record, const QString& windowName,
                                        const QString& className, const std::vector<Person>& roster)
{
    const QString drawKind = eventKindText(DrawEventKind::Draw);
    std::vector<LessonCalls> lessons;
    for (const QStringList& fields : recordEntries(record)) {
        if (fields[Window] != windowName || fields[Subject] != className ||
            fields[Kind] != drawKind)
            continue;
        const QDate day = QDate::fromString(fields[Time].left(10), QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid())
            continue;
        if (lessons.empty() || lessons.back().day != day)
            lessons.push_back({day, std::vector<int>(roster.size(), 0)});
        for (std::size_t k = 0; k < roster.size(); ++k) {
            if (resultNames(fields[Result], roster[k])) {
                ++lessons.back().calls[k];
                break;
            }
        }
    }
    // Two programs appending in turn keep the days in order; a clock set
    // back would not, so equal days are merged after sorting.
    std::stable_sort(lessons.begin(), lessons.end(),
                     [](const LessonCalls& a, const LessonCalls& b) { return a.day < b.day; });
    std::vector<LessonCalls> merged;
    for (LessonCalls& lesson : lessons) {
        if (!merged.empty() && merged.back().day == lesson.day) {
            for (std::size_t k = 0; k < lesson.calls.size(); ++k)
                merged.back().calls[k] += lesson.calls[k];
        } else {
            merged.push_back(std::move(lesson));
        }
    }
    return merged;
}

std::vector<int> callsOver(const std::vector<LessonCalls>& lessons, int first, int last,
                           int persons)
{
    std::vector<int> calls(static_cast<std::size_t>(std::max(0, persons)), 0);
    const int end = std::min(last, static_cast<int>(lessons.size()) - 1);
    for (int i = std::max(0, first); i <= end; ++i) {
        const std::vector<int>& day = lessons[static_cast<std::size_t>(i)].calls;
        for (std::size_t k = 0; k < calls.size() && k < day.size(); ++k)
            calls[k] += day[k];
    }
    return calls;
}

std::vector<int> callsOverLast(const std::vector<LessonCalls>& lessons, int count, int persons)
{
    const int size = static_cast<int>(lessons.size());
    return callsOver(lessons, size - count, size - 1, persons);
}

std::map<QString, std::uint32_t> balanceWeights(const std::vector<int>& calls)
{
    std::map<QString, std::uint32_t> weights;
    for (std::size_t k = 0; k < calls.size(); ++k) {
        const auto times = static_cast<std::uint32_t>(std::max(0, calls[k]));
        weights[QString::number(k + 1)] = std::max<std::uint32_t>(1, kWeightScale / (1 + times));
    }
    return weights;
}

} // namespace zelvano
