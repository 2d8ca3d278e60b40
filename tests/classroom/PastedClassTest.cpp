// A class list pasted from wherever a teacher has one: who becomes the class,
// in which order, and what the preview counts.
#include "classroom/logic/PastedClass.h"

#include <gtest/gtest.h>

using namespace zelvano;

namespace
{

struct Pasted {
    const char* what;
    const char* text;
    QStringList names;
    const char* summary;
};

class PastedLists : public testing::TestWithParam<Pasted>
{
};

TEST_P(PastedLists, GiveTheClassAndTheCount)
{
    const PastedClass pasted = readPastedClass(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(pasted.names(), GetParam().names);
    EXPECT_EQ(pasted.summary(), QString::fromUtf8(GetParam().summary));
}

const QStringList kThree{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五")};

INSTANTIATE_TEST_SUITE_P(
    Cases, PastedLists,
    testing::Values(
        Pasted{"OnePerLine", "张三\r\n李四\r\n王五\r\n", kThree, "3人"},
        Pasted{"ChatWithCommasAndDun", "张三，李四、王五", kThree, "3人"},
        Pasted{"SpreadsheetColumnWithLabel", "姓名\n张三\n李四\n王五\n", kThree,
               "3人，序号或列名1处已略过"},
        Pasted{"NumberAndNameColumns", "1\t张三\n2\t李四\n3\t王五", kThree,
               "3人，序号或列名3处已略过"},
        Pasted{"NumberedChatList", "1.张三\n2、李四\n3）王五", kThree, "3人，序号或列名1处已略过"},
        Pasted{"DuplicatesAndEmptyLines", "张三\n\n李四\n张  三\n王五\n李四\n", kThree,
               "3人，重复2人已标出，空行1处已略过"},
        Pasted{"WesternNamesKeepTheirSpace", "Anna  Li\nanna li", {"Anna Li", "anna li"}, "2人"},
        Pasted{"Nothing", " \n\n", {}, "0人"}),
    [](const auto& c) { return std::string(c.param.what); });

TEST(PastedClass, DuplicateNamesTheEarlierNumber)
{
    const PastedClass pasted = readPastedClass(QStringLiteral("张三\n李四\n李四"));
    ASSERT_EQ(pasted.entries.size(), 3u);
    EXPECT_EQ(pasted.entries[2].kind, PastedEntry::Kind::Duplicate);
    EXPECT_EQ(pasted.entries[2].number, 2);
}

TEST(PastedClass, NameRefusedInTheTeachersWords)
{
    const QStringList sheets{QStringLiteral("一班"), QStringLiteral("抽奖品")};
    EXPECT_TRUE(classNameProblem(QStringLiteral("二班"), sheets).isEmpty());
    EXPECT_TRUE(classNameProblem(QStringLiteral("一班"), sheets).contains(QStringLiteral("已有")));
    EXPECT_TRUE(classNameProblem(QStringLiteral("抽奖品"), {}).contains(QStringLiteral("奖品表")));
    EXPECT_TRUE(classNameProblem(QStringLiteral("3/2班"), sheets).contains(QStringLiteral("符号")));
}

} // namespace
