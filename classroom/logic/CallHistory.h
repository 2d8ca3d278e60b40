#pragma once

#include "classroom/logic/Roster.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

namespace zelvano
{

// One lesson of a class as the draw record tells it: a day on which the
// class had draws, and how often each roster position was called that day
// (calls[k - 1] for position k).
struct LessonCalls {
    QDate day;
    std::vector<int> calls;
};

// How many lessons 均衡点名 looks back over, unless the teacher says.
inline constexpr int kBalanceLessons = 10;

// Whether a result as the record holds it (one line) names `person`: the
// record keeps what the label showed, in whichever composition, so it ends
// with the name, the number and the name, or the number alone.
bool resultNames(const QString& result, const Person& person);

// The lessons of class `className` in the record, oldest first, from the
// draws window `windowName` recorded; also from records written before the
// balance was known, since they hold the same lines.
std::vector<LessonCalls> lessonsOfClass(const QByteArray& record, const QString& windowName,
                                        const QString& className,
                                        const std::vector<Person>& roster);

// Each position's calls over lessons first..last (0-based, oldest first,
// clamped to the lessons there are).
std::vector<int> callsOver(const std::vector<LessonCalls>& lessons, int first, int last,
                           int persons);
// Over the last `count` lessons.
std::vector<int> callsOverLast(const std::vector<LessonCalls>& lessons, int count, int persons);

// The draw's weights for 均衡点名: position k ("1".."N") weighs
// 1 / (1 + its calls), scaled to whole numbers (exact up to 11 calls).
std::map<QString, std::uint32_t> balanceWeights(const std::vector<int>& calls);

// What 点名统计 shows of a class: its persons, its lessons in the record,
// and, while 均衡点名 is on, each person's chance in the next call.
struct CallStats {
    QString className;
    std::vector<Person> persons;
    std::vector<LessonCalls> lessons;
    bool balanced = false;
    int balanceLessons = kBalanceLessons;
    std::vector<double> chances; // by roster position, 0..1; empty unless balanced
};

} // namespace zelvano
