#include "shell/core/EntropyRandom.h"
#include "shell/core/ModeCatalog.h"

#include <gtest/gtest.h>

#include <array>

using namespace zelvano;

namespace
{

TEST(ModeCatalog, DescriptionLinesJoinedByThreeLineBreaks)
{
    EXPECT_EQ(modeDescription(Mode::SeatDraw),
              QStringLiteral("用途： 分组， 摇号， 计时。\r\n\r\n\r\n"
                             "  应用  新班分组，会场互动，演讲计时等。\r\n\r\n\r\n"
                             "  要求： 已知座位行列号,无需号码。"));
    for (int mode = 0; mode < kModeCount; ++mode) {
        const QString text = modeDescription(modeAt(mode));
        EXPECT_FALSE(text.startsWith(u'\r')) << mode;
        EXPECT_FALSE(text.endsWith(u'\n')) << mode;
        EXPECT_EQ(text.count(QStringLiteral("\r\n\r\n\r\n")), mode == 2 ? 2 : 3) << mode;
    }
    EXPECT_TRUE(modeDescription(Mode::FixedPerson)
                    .endsWith(QStringLiteral("确定人选，再随机抽得奖项和奖品。")));
}

TEST(ModeCatalog, CaptionsInIndexOrder)
{
    EXPECT_EQ(modeCaption(Mode::Classroom), "课堂互动");
    EXPECT_EQ(modeCaption(Mode::NumberDraw), "摇号码");
    EXPECT_EQ(modeCaption(Mode::SeatDraw), "摇座位");
    EXPECT_EQ(modeCaption(Mode::FixedPerson), "定名抽奖");
    EXPECT_EQ(modeCaption(Mode::FixedPrize), "定奖摇号");
    EXPECT_EQ(modeCaption(modeAt(5)), "");
}

struct StoredMode {
    const char* stored;
    int mode;
};

class StoredModeTable : public ::testing::TestWithParam<StoredMode>
{
};

TEST_P(StoredModeTable, SelectsModeOrFallsBackToZero)
{
    EXPECT_EQ(modeIndex(modeFromSetting(QString::fromUtf8(GetParam().stored))), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Afm, StoredModeTable,
                         ::testing::Values(StoredMode{"", 0}, StoredMode{"3", 3},
                                           StoredMode{"4", 4}, StoredMode{"7", 0},
                                           StoredMode{"abc", 0}, StoredMode{"-1", 0},
                                           StoredMode{"2.5", 2}, StoredMode{"3.5", 4},
                                           StoredMode{"4.5", 4}, StoredMode{"99999", 0},
                                           StoredMode{" 1", 1}));

TEST(EntropyRandom, PicksCoverTheRangeEvenly)
{
    EntropyRandom random;
    std::array<int, 7> counts{};
    constexpr int kDraws = 70000;
    for (int i = 0; i < kDraws; ++i) {
        const int position = random.pick(6);
        ASSERT_GE(position, 1);
        ASSERT_LE(position, 6);
        ++counts[static_cast<size_t>(position)];
    }
    // Chi-square with 5 degrees of freedom; 30 is far beyond the 0.001 tail.
    double chi = 0;
    const double expected = kDraws / 6.0;
    for (int p = 1; p <= 6; ++p)
        chi += (counts[static_cast<size_t>(p)] - expected) *
               (counts[static_cast<size_t>(p)] - expected) / expected;
    EXPECT_LT(chi, 30.0);
}

TEST(EntropyRandom, DegenerateCountsGiveOne)
{
    EntropyRandom random;
    EXPECT_EQ(random.pick(1), 1);
    EXPECT_EQ(random.pick(0), 1);
    EXPECT_EQ(random.pick(-5), 1);
}

TEST(EntropyRandom, TwoSourcesDoNotShareASequence)
{
    EntropyRandom a;
    EntropyRandom b;
    int same = 0;
    for (int i = 0; i < 64; ++i)
        same += a.pick(1'000'000) == b.pick(1'000'000);
    EXPECT_LT(same, 4);
    a.reseed();
    EXPECT_GE(a.pick(10), 1);
}

} // namespace
