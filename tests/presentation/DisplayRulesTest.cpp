#include "presentation/DisplayRules.h"

#include <gtest/gtest.h>

using namespace zelvano;

namespace
{

struct SettingCase {
    const char* name;
    const char* text;
    int index;
    int colour;
};

class ColourSettingParse : public ::testing::TestWithParam<SettingCase>
{
};

TEST_P(ColourSettingParse, ReadsIndexAndColour)
{
    const SettingCase& c = GetParam();
    const ColourSetting setting = parseColourSetting(QString::fromUtf8(c.text));
    EXPECT_EQ(setting.index, c.index);
    if (setting.index >= kBackgroundItem) {
        EXPECT_EQ(setting.colour, c.colour);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ColourSettingParse,
    ::testing::Values(SettingCase{"Empty_IsRed", "", 0, 0}, SettingCase{"Blue", "2", 2, 0},
                      SettingCase{"Grey", "5", 5, 0}, SettingCase{"RedBackground", "6255", 6, 255},
                      SettingCase{"BlueBackground", "616711680", 6, 16711680},
                      SettingCase{"WhiteText", "716777215", 7, 16777215},
                      SettingCase{"BackgroundWithoutNumber_IsRed", "6", 0, 0},
                      SettingCase{"TextWithLetters_IsRed", "7abc", 0, 0},
                      SettingCase{"BackgroundBeyondColours_Clamped", "699999999", 6, 0xFFFFFF},
                      SettingCase{"NegativeText_Clamped", "7-5", 7, 0},
                      SettingCase{"Eight_IsRed", "8", 0, 0},
                      SettingCase{"Nine_IsRed", "9123", 0, 0},
                      SettingCase{"Letter_IsRed", "x", 0, 0},
                      SettingCase{"MinusSign_IsRed", "-3", 0, 0},
                      SettingCase{"OnlyFirstCharacterIsIndex", "23", 2, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ColourSettingText, PresetIsItsDigitAlone)
{
    EXPECT_EQ(colourSettingText(2, 128 * 65536, 0xFFFFFF), QStringLiteral("2"));
    EXPECT_EQ(colourSettingText(0, 128, 0x80FFFF), QStringLiteral("0"));
}

TEST(ColourSettingText, FreeColoursCarryTheirOwnColourOnly)
{
    EXPECT_EQ(colourSettingText(6, 255, 0), QStringLiteral("6255"));
    EXPECT_EQ(colourSettingText(7, 255, 16777215), QStringLiteral("716777215"));
}

TEST(ColourSettingText, RoundTripsThroughParse)
{
    const ColourSetting back = parseColourSetting(colourSettingText(6, 16711680, 0));
    EXPECT_EQ(back.index, 6);
    EXPECT_EQ(back.colour, 16711680);
}

TEST(ColourPresets, TableAsWindowsColours)
{
    const auto& p = colourPresets();
    EXPECT_EQ(p[0].background, 128);
    EXPECT_EQ(p[0].text, 255 + 255 * 256 + 128 * 65536);
    EXPECT_EQ(p[2].background, 128 * 65536);
    EXPECT_EQ(p[2].text, 0xFFFFFF);
    EXPECT_EQ(p[4].background, 255 + 255 * 65536);
    EXPECT_EQ(p[5].background, 224 + 224 * 256 + 224 * 65536);
    EXPECT_EQ(p[5].text, 0);
}

TEST(ReadableText, DarkOnDarkTurnsWhite_LightOnLightBlack_ReadableStays)
{
    const int navy = 128 * 65536;
    EXPECT_EQ(readableTextColour(navy, 0), 0xFFFFFF);
    EXPECT_EQ(readableTextColour(0xFFFFFF, 0xE0E0E0), 0);
    EXPECT_EQ(readableTextColour(navy, 0x80FFFF), 0x80FFFF); // 红's yellow stays
}

TEST(FontSteps, EnlargeLabelTakesIntegerPart)
{
    EXPECT_EQ(enlargedLabelSize(100), 120);
    EXPECT_EQ(enlargedLabelSize(42), 50); // 50.4
    EXPECT_EQ(enlargedLabelSize(44), 52); // 52.8 truncated
    EXPECT_EQ(enlargedLabelSize(15), 18); // exact, not 17.999...
}

TEST(FontSteps, EnlargeTimeDisplayRoundsToNearest)
{
    EXPECT_EQ(enlargedTimeDisplaySize(42), 50); // 50.4
    EXPECT_EQ(enlargedTimeDisplaySize(44), 53); // 52.8
    EXPECT_EQ(enlargedTimeDisplaySize(62), 74); // 74.4
}

TEST(FontSteps, ShrinkKeepsThirteenPointFloor)
{
    EXPECT_EQ(shrunkSize(15), 15); // 12.5 -> 12 is not above 12
    EXPECT_EQ(shrunkSize(16), 13);
    EXPECT_EQ(shrunkSize(14), 14);
    EXPECT_EQ(shrunkSize(13), 13);
    EXPECT_EQ(shrunkSize(120), 100);
    EXPECT_EQ(shrunkSize(42), 35);
}

TEST(FontSteps, EnlargeStopsAtLargestSize)
{
    EXPECT_EQ(enlargedLabelSize(550), kLargestFontPoints);
    EXPECT_EQ(enlargedLabelSize(kLargestFontPoints), kLargestFontPoints);
    EXPECT_EQ(enlargedTimeDisplaySize(590), kLargestFontPoints);
    int size = 100;
    for (int i = 0; i < 40; ++i)
        size = enlargedLabelSize(size);
    EXPECT_EQ(size, kLargestFontPoints);
    EXPECT_EQ(shrunkSize(kLargestFontPoints), 500);
}

TEST(FontSteps, EnlargeAboveLargestSize_NeverShrinks)
{
    EXPECT_EQ(enlargedLabelSize(700), 700);
    EXPECT_EQ(enlargedTimeDisplaySize(650), 650);
}

} // namespace
