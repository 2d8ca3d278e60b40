#include "presentation/TimerRules.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <Qt>

using namespace zelvano;

namespace
{

struct DurationCase {
    const char* name;
    const char* text;
    int unit;
    int seconds;
};

class RunSeconds : public ::testing::TestWithParam<DurationCase>
{
};

TEST_P(RunSeconds, FromTimeBoxAndUnit)
{
    const DurationCase& c = GetParam();
    EXPECT_EQ(runSeconds(QString::fromUtf8(c.text), c.unit), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, RunSeconds,
    ::testing::Values(DurationCase{"Zero", "0", UnitSeconds, 0},
                      DurationCase{"FiveSeconds", "5", UnitSeconds, 5},
                      DurationCase{"OneMinute", "1", UnitMinutes, 60},
                      DurationCase{"TwoAndAHalfMinutes_RoundsToTwo", "2.5", UnitMinutes, 120},
                      DurationCase{"ThreeAndAHalfMinutes_RoundsToFour", "3.5", UnitMinutes, 240},
                      DurationCase{"OneHour", "1", UnitHours, 3600},
                      DurationCase{"NineHours_Fits", "9", UnitHours, 32400},
                      DurationCase{"TenHours_ClampedToLongestRun", "10", UnitHours, 32767},
                      DurationCase{"MinutesBeyond16Bits_Clamped", "600", UnitMinutes, 32767},
                      DurationCase{"LargestSeconds", "32767", UnitSeconds, 32767},
                      DurationCase{"HugeText_Clamped", "1e9", UnitSeconds, 32767},
                      DurationCase{"Negative_ClampedToZero", "-5", UnitSeconds, 0},
                      DurationCase{"NegativeHours_ClampedToZero", "-10", UnitHours, 0},
                      DurationCase{"NotANumber_IsZero", "abc", UnitMinutes, 0},
                      DurationCase{"Empty_IsZero", "", UnitSeconds, 0},
                      DurationCase{"LeadingNumber_Read", "12abc", UnitSeconds, 12},
                      DurationCase{"UnknownUnit_CountsAsSeconds", "7", -1, 7}),
    [](const auto& test) { return std::string(test.param.name); });

struct StepCase {
    const char* name;
    const char* text;
    bool up;
    const char* result;
};

class NumberBoxStep : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(NumberBoxStep, WritesSteppedValue)
{
    const StepCase& c = GetParam();
    EXPECT_EQ(steppedNumberText(QString::fromUtf8(c.text), c.up), QString::fromUtf8(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, NumberBoxStep,
    ::testing::Values(StepCase{"PlusFromFive", "5", true, "6"},
                      StepCase{"MinusFromFive", "5", false, "4"},
                      StepCase{"PlusOnHalf_RoundsToEvenFirst", "2.5", true, "3"},
                      StepCase{"MinusOnHalf_RoundsToEvenFirst", "3.5", false, "3"},
                      StepCase{"MinusFromZero_GoesNegative", "0", false, "-1"},
                      StepCase{"PlusOnText_StartsFromZero", "abc", true, "1"},
                      StepCase{"PlusAtTopEnd_Stays", "32767", true, "32767"},
                      StepCase{"PlusBeyondTopEnd_Clamped", "99999", true, "32767"},
                      StepCase{"MinusAtTopEnd", "32767", false, "32766"},
                      StepCase{"MinusAtBottomEnd_Stays", "-32768", false, "-32768"},
                      StepCase{"PlusAtBottomEnd", "-32768", true, "-32767"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NumberBoxText, LostFocusKeepsDecimalTextOfValue)
{
    EXPECT_EQ(numberBoxText(u"12abc"), QStringLiteral("12"));
    EXPECT_EQ(numberBoxText(u""), QStringLiteral("0"));
    EXPECT_EQ(numberBoxText(u"1.50"), QStringLiteral("1.5"));
    EXPECT_EQ(numberBoxText(u"-3"), QStringLiteral("-3"));
    EXPECT_EQ(numberBoxText(u"x5"), QStringLiteral("0"));
}

TEST(NumberBoxKeys, KeepsDigitsPointMinusAndBackspace)
{
    for (const char16_t* key : {u"0", u"5", u"9", u".", u"-"})
        EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_0, QStringView(key)));
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_Backspace, u"\b"));
}

TEST(NumberBoxKeys, DiscardsLettersSignsAndControlCharacters)
{
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_A, u"a"));
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_Plus, u"+"));
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_Space, u" "));
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_Comma, u","));
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_Return, u"\r"));
    EXPECT_FALSE(numberBoxAcceptsKey(Qt::Key_V, u"\x16")); // Ctrl+V pastes no letters
    EXPECT_FALSE(numberBoxAcceptsKey(0, u"五"));
}

TEST(NumberBoxKeys, LetsEditingAndNavigationKeysThrough)
{
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_Left, u""));
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_End, u""));
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_Delete, u"\x7f"));
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_Tab, u"\t"));
    EXPECT_TRUE(numberBoxAcceptsKey(Qt::Key_F4, u""));
}

// Ticks as the 500 ms timer delivers them, with the monotonic clock in ms.
class TimerRunTicks : public ::testing::Test
{
protected:
    static constexpr std::int64_t kStart = 5'000'250;
    TimerRun run;
};

TEST_F(TimerRunTicks, ZeroDuration_TimesOutAtFirstTickShowingZero)
{
    run.start(runSeconds(u"0", UnitSeconds), kStart);
    const auto tick = run.tick(kStart + 500, CountDown);
    EXPECT_TRUE(tick.timedOut);
    EXPECT_EQ(tick.display, QStringLiteral("00:00:00"));
}

TEST_F(TimerRunTicks, CountDownFromFive_StepsEverySecondAndTimesOutOnZero)
{
    run.start(5, kStart);
    QStringList shown;
    std::int64_t now = kStart;
    for (;;) {
        now += 500;
        const auto tick = run.tick(now, CountDown);
        shown << tick.display;
        if (tick.timedOut)
            break;
        ASSERT_LT(now - kStart, 10'000) << "the run never ended";
    }
    EXPECT_EQ(shown, (QStringList{"00:00:05", "00:00:04", "00:00:04", "00:00:03", "00:00:03",
                                  "00:00:02", "00:00:02", "00:00:01", "00:00:01", "00:00:00"}));
    EXPECT_EQ(now - kStart, 5000);
}

TEST_F(TimerRunTicks, CountUpOneMinute_RunsFromZeroAndEndsOnDuration)
{
    run.start(runSeconds(u"1", UnitMinutes), kStart);
    EXPECT_EQ(run.tick(kStart + 500, CountUp).display, QStringLiteral("00:00:00"));
    EXPECT_EQ(run.tick(kStart + 59'999, CountUp).display, QStringLiteral("00:00:59"));
    EXPECT_FALSE(run.tick(kStart + 59'999, CountUp).timedOut);
    const auto end = run.tick(kStart + 60'000, CountUp);
    EXPECT_TRUE(end.timedOut);
    EXPECT_EQ(end.display, QStringLiteral("00:01:00"));
    // A late tick still shows the duration, never more.
    EXPECT_EQ(run.tick(kStart + 75'000, CountUp).display, QStringLiteral("00:01:00"));
}

TEST_F(TimerRunTicks, CountDownLateTick_ShowsZeroNotNegative)
{
    run.start(3, kStart);
    const auto tick = run.tick(kStart + 7'500, CountDown);
    EXPECT_TRUE(tick.timedOut);
    EXPECT_EQ(tick.display, QStringLiteral("00:00:00"));
}

TEST_F(TimerRunTicks, ModeSwitchedWhileRunning_ChangesOnlyTheDisplay)
{
    run.start(60, kStart);
    EXPECT_EQ(run.tick(kStart + 20'000, CountDown).display, QStringLiteral("00:00:40"));
    EXPECT_EQ(run.tick(kStart + 20'000, CountUp).display, QStringLiteral("00:00:20"));
}

TEST_F(TimerRunTicks, RunAcrossMidnight_CountsOnMonotonicClock)
{
    // Started at 23:59:50 of a day; the wall clock wraps to 00:00:00 but the
    // monotonic clock keeps counting.
    const std::int64_t beforeMidnight = 86'390'000;
    run.start(30, beforeMidnight);
    const auto after = run.tick(beforeMidnight + 15'000, CountDown);
    EXPECT_FALSE(after.timedOut);
    EXPECT_EQ(after.display, QStringLiteral("00:00:15"));
    EXPECT_TRUE(run.tick(beforeMidnight + 30'000, CountDown).timedOut);
}

TEST_F(TimerRunTicks, LongestRun_ShowsNineHoursSixMinutesSeven)
{
    run.start(runSeconds(u"10", UnitHours), kStart);
    EXPECT_EQ(run.tick(kStart, CountDown).display, QStringLiteral("09:06:07"));
    EXPECT_FALSE(run.tick(kStart + 32'766'999, CountDown).timedOut);
    EXPECT_TRUE(run.tick(kStart + 32'767'000, CountDown).timedOut);
}

TEST_F(TimerRunTicks, RestartAfterStop_BeginsFromFullDuration)
{
    run.start(60, kStart);
    EXPECT_EQ(run.tick(kStart + 30'000, CountDown).display, QStringLiteral("00:00:30"));
    const std::int64_t again = kStart + 42'000;
    run.start(60, again);
    EXPECT_EQ(run.tick(again + 400, CountDown).display, QStringLiteral("00:01:00"));
}

} // namespace
