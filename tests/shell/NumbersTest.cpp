#include "shell/core/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace zelvano;

namespace
{

struct ValCase {
    const char* name;
    const char16_t* text;
    double expected;
};

const ValCase kValCases[] = {
    {"Empty", u"", 0},
    {"TrailingChinese", u"5个", 5},
    {"TrailingLetters", u"12abc", 12},
    {"TrailingZeroes", u"1.50", 1.5},
    {"Negative", u"-3", -3},
    {"NegativeFractionOnly", u"-.5", -0.5},
    {"BlanksInside", u" 1 2", 12},
    {"SecondPointEnds", u"2.5.3", 2.5},
    {"Exponent", u"1e3", 1000},
    {"ExponentWithSign", u"2.5E-1", 0.25},
    {"ExponentWithoutDigits", u"7e", 7},
    {"DExponent", u"1d2", 100},
    {"Letters", u"abc", 0},
    {"Infinity", u"inf", 0},
    {"NotANumber", u"nan", 0},
    {"Overflow", u"1e400", 0},
    {"PlusSign", u"+4", 4},
    {"Hex", u"&H1F", 31},
    {"Octal", u"&O17", 15},
    {"TabsAndNewlines", u"\t3\n4", 34},
    {"CommaEndsNumber", u"1,5", 1},
    {"LoneSign", u"-", 0},
    {"LonePoint", u".", 0},
    {"FullWidthDigitsAreNotDigits", u"１２", 0},
};

class ValTable : public ::testing::TestWithParam<ValCase>
{
};

TEST_P(ValTable, ReadsLeadingNumber)
{
    const ValCase& c = GetParam();
    EXPECT_DOUBLE_EQ(Val(QString::fromUtf16(c.text)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Val, ValTable, ::testing::ValuesIn(kValCases),
                         [](const auto& test) { return std::string(test.param.name); });

// The decimal mark is '.', whatever locale the system runs in.
class CommaLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        m_previous = previous ? previous : "C";
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, m_previous.c_str()); }
    std::string m_previous;
};

TEST_F(CommaLocale, ValAndNumberTextKeepThePoint)
{
    for (const ValCase& c : kValCases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf16(c.text)), c.expected) << c.name;
    EXPECT_EQ(numberText(2.5), "2.5");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(booleanFromText(u"0.5"), true);
}

struct RoundCase {
    double value;
    int expected;
};

class Int16Table : public ::testing::TestWithParam<RoundCase>
{
};

TEST_P(Int16Table, RoundsHalfToEvenAndClamps)
{
    EXPECT_EQ(toInt16(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ToInt16, Int16Table,
    ::testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2},
                      RoundCase{-3.5, -4}, RoundCase{0.5, 0}, RoundCase{1.5, 2},
                      RoundCase{2.4999, 2}, RoundCase{32767.5, 32767}, RoundCase{32767.4, 32767},
                      RoundCase{1e9, 32767}, RoundCase{-32768.5, -32768}, RoundCase{-1e9, -32768},
                      RoundCase{std::numeric_limits<double>::infinity(), 32767},
                      RoundCase{std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(IntegerArithmetic, IntRoundsDown)
{
    EXPECT_EQ(Int(2.7), 2);
    EXPECT_EQ(Int(-2.5), -3);
    EXPECT_EQ(Int(-0.0001), -1);
    EXPECT_EQ(Int(std::nan("")), 0);
}

TEST(IntegerArithmetic, DivisionRoundsOperandsThenTruncates)
{
    EXPECT_EQ(intDivide(7, 2), 3);
    EXPECT_EQ(intDivide(-7, 2), -3);
    EXPECT_EQ(intDivide(7.5, 2), 4); // 7.5 rounds to 8
    EXPECT_EQ(intDivide(6.5, 2), 3); // 6.5 rounds to 6
    EXPECT_EQ(intDivide(5, 0), 0);
    EXPECT_EQ(intDivide(5, 0.4), 0); // 0.4 rounds to 0
}

TEST(NumberText, ShortestWithinFifteenDigits)
{
    EXPECT_EQ(numberText(7), "7");
    EXPECT_EQ(numberText(2.5), "2.5");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(100), "100");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(123456789012345.0), "123456789012345");
    EXPECT_EQ(numberText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(numberText(1e20), "1E+20");
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), "0");
}

TEST(NumberText, ReadsBackThroughVal)
{
    for (double v : {7.0, 2.5, -0.125, 32767.0, 1234.5678, 1e-7})
        EXPECT_DOUBLE_EQ(Val(numberText(v)), v);
}

TEST(BooleanText, WordsInAnyCaseOrNumbers)
{
    EXPECT_EQ(booleanFromText(u"True"), true);
    EXPECT_EQ(booleanFromText(u"FALSE"), false);
    EXPECT_EQ(booleanFromText(u"tRuE"), true);
    EXPECT_EQ(booleanFromText(u"0"), false);
    EXPECT_EQ(booleanFromText(u"-1"), true);
    EXPECT_EQ(booleanFromText(u"2.5"), true);
    EXPECT_EQ(booleanFromText(u" true "), true);
    EXPECT_EQ(booleanFromText(u""), std::nullopt);
    EXPECT_EQ(booleanFromText(u"yes"), std::nullopt);
    EXPECT_EQ(booleanFromText(u"1abc"), std::nullopt);
}

TEST(TimeTexts, DurationAndDayColumn)
{
    EXPECT_EQ(durationText(0), "00:00:00");
    EXPECT_EQ(durationText(59), "00:00:59");
    EXPECT_EQ(durationText(3661), "01:01:01");
    EXPECT_EQ(durationText(32767), "09:06:07");
    EXPECT_EQ(durationText(100 * 3600), "100:00:00");
    EXPECT_EQ(durationText(-5), "00:00:00");
    EXPECT_EQ(dayText(QDate(2026, 3, 5)), "03月05");
    EXPECT_EQ(dayText(QDate(2026, 12, 31)), "12月31");
}

} // namespace

namespace
{

TEST(IsNumeric, WholeTextMustBeANumber)
{
    EXPECT_TRUE(isNumeric(u"12"));
    EXPECT_TRUE(isNumeric(u" -3.5 "));
    EXPECT_TRUE(isNumeric(u"1E3"));
    EXPECT_TRUE(isNumeric(u".5"));
    EXPECT_FALSE(isNumeric(u""));
    EXPECT_FALSE(isNumeric(u"  "));
    EXPECT_FALSE(isNumeric(u"12abc"));
    EXPECT_FALSE(isNumeric(u"1 2"));
    EXPECT_FALSE(isNumeric(u"abc"));
    EXPECT_FALSE(isNumeric(u"-"));
    EXPECT_FALSE(isNumeric(u"４"));
}

} // namespace
