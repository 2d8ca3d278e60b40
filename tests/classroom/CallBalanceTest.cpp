// 均衡点名: the lessons read from the draw record, and the weighted pick
// checked by a chi-square test over draws from the real random source.
#include "classroom/logic/CallHistory.h"
#include "draw/DrawSession.h"
#include "drawrecord/logic/RecordLines.h"
#include "shell/core/EntropyRandom.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <set>

using namespace zelvano;

namespace
{

std::vector<Person> roster()
{
    return {{QStringLiteral("1"), QStringLiteral("汪英")},
            {QStringLiteral("2"), QStringLiteral("郭文诗")},
            {QStringLiteral("12"), QStringLiteral("向思英")}};
}

QByteArray line(const char* when, const char* window, const char* subject, const QString& result,
                DrawEventKind kind = DrawEventKind::Draw)
{
    return recordLine({kind, QString::fromUtf8(window), QString::fromUtf8(subject), 3, result},
                      QDateTime::fromString(QString::fromUtf8(when), Qt::ISODate));
}

// Chi-square of `seen` against `expected` chances over `draws` draws.
double chiSquare(const std::vector<int>& seen, const std::vector<double>& expected, int draws)
{
    double sum = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const double e = expected[i] * draws;
        sum += (seen[i] - e) * (seen[i] - e) / e;
    }
    return sum;
}

// Draws once from a fresh cycle `draws` times through the session's pick.
std::vector<int> drawMany(DrawSession& session, int persons, int draws)
{
    std::vector<int> seen(static_cast<std::size_t>(persons), 0);
    for (int i = 0; i < draws; ++i) {
        session.refillPool();
        session.next();
        ++seen[static_cast<std::size_t>(session.view().calledKey.toInt() - 1)];
    }
    return seen;
}

DrawSession sessionOf(RandomSource& random, int persons)
{
    DrawSession session(random, {});
    std::vector<QString> keys;
    for (int k = 1; k <= persons; ++k)
        keys.push_back(QString::number(k));
    session.setValues(keys);
    session.regroup(1, persons, false);
    return session;
}

} // namespace

TEST(CallHistory, LessonsOfClass_CountEachCompositionOnceAndSkipOtherLines)
{
    QByteArray record = recordHeader();
    record += line("2026-12-01T08:00:00", "课堂互动", "初一(1)班", QStringLiteral("1\r\n汪英"));
    record +=
        line("2026-12-01T08:05:00", "课堂互动", "初一(1)班", QStringLiteral("1组2号\r\n汪英"));
    record +=
        line("2026-12-01T08:06:00", "课堂互动", "初一(1)班", QStringLiteral("1组\r\n12向思英"));
    record += line("2026-12-01T08:07:00", "课堂互动", "初一(2)班", QStringLiteral("汪英"));
    record += line("2026-12-01T08:08:00", "摇号码", "初一(1)班", QStringLiteral("2"));
    record += line("2026-12-01T08:09:00", "课堂互动", "初一(1)班", QStringLiteral("2 郭文诗"),
                   DrawEventKind::ScoreTakenBack);
    record += "not a line of the record\r\n";
    record += line("2026-12-03T09:00:00", "课堂互动", "初一(1)班", QStringLiteral("\r\n2"));
    const auto lessons =
        lessonsOfClass(record, QStringLiteral("课堂互动"), QStringLiteral("初一(1)班"), roster());
    ASSERT_EQ(lessons.size(), 2u);
    EXPECT_EQ(lessons[0].day, QDate(2026, 12, 1));
    EXPECT_EQ(lessons[0].calls, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(lessons[1].calls, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(callsOverLast(lessons, 1, 3), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(callsOverLast(lessons, 10, 3), (std::vector<int>{2, 1, 1}));
}

TEST(CallBalance, WeightedDraws_FollowOneOverOnePlusCalls)
{
    const std::vector<int> calls{0, 1, 3, 0, 2, 5};
    EntropyRandom random;
    DrawSession session = sessionOf(random, 6);
    session.setWeights(balanceWeights(calls));
    std::vector<double> expected;
    double sum = 0;
    for (const int c : calls)
        sum += 1.0 / (1 + c);
    for (int k = 1; k <= 6; ++k) {
        expected.push_back(1.0 / (1 + calls[static_cast<std::size_t>(k - 1)]) / sum);
        EXPECT_NEAR(session.chanceOf(QString::number(k)), expected.back(), 1e-9);
    }
    const int draws = 60000;
    // Five degrees of freedom: 36 is exceeded by chance about once in a
    // million runs, while a weight off by a tenth exceeds it nearly always.
    EXPECT_LT(chiSquare(drawMany(session, 6, draws), expected, draws), 36.0);
    // Not uniform: the same counts fail the uniform hypothesis by far.
    EXPECT_GT(chiSquare(drawMany(session, 6, draws), std::vector<double>(6, 1.0 / 6), draws), 1000);
}

TEST(CallBalance, WithoutWeights_DrawsStayUniform_AndCyclesNeverRepeat)
{
    EntropyRandom random;
    DrawSession session = sessionOf(random, 6);
    const int draws = 60000;
    EXPECT_LT(chiSquare(drawMany(session, 6, draws), std::vector<double>(6, 1.0 / 6), draws), 36.0);

    session.setWeights(balanceWeights({0, 9, 9, 9, 9, 9}));
    session.refillPool();
    std::set<QString> cycle;
    for (int i = 0; i < 6; ++i) {
        session.next();
        session.endDraw();
        cycle.insert(session.view().calledKey);
    }
    EXPECT_EQ(cycle.size(), 6u);
}
