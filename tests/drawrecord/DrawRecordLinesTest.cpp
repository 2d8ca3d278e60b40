// The draw record's lines: one per event, fields as RFC 4180 quotes them,
// formula-like texts neutralised, the display's line breaks gone.
#include "drawrecord/logic/RecordLines.h"

#include <gtest/gtest.h>

using namespace zelvano;

namespace
{

const QDateTime kWhen(QDate(2026, 3, 5), QTime(10, 4, 9));

struct LineCase {
    const char* name;
    DrawEvent event;
    const char* line;
};

class RecordLine : public testing::TestWithParam<LineCase>
{
};

TEST_P(RecordLine, WritesTheEventAsOneCsvLine)
{
    EXPECT_EQ(recordLine(GetParam().event, kWhen), QByteArray(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecordLine,
    testing::Values(LineCase{"NumberDraw",
                             {DrawEventKind::Draw, "摇号码", "", 48, "第3组\r\n15"},
                             "2026-03-05 10:04:09,摇号码,,48,第3组 15,抽取\r\n"},
                    LineCase{"ClassroomDraw",
                             {DrawEventKind::Draw, "课堂互动", "高一(3)班", 40, "12\r\n\r\n李雷"},
                             "2026-03-05 10:04:09,课堂互动,高一(3)班,40,12 李雷,抽取\r\n"},
                    LineCase{"VoidedAward",
                             {DrawEventKind::Voided, "定奖摇号", "一等奖", -1, "7 韩梅梅"},
                             "2026-03-05 10:04:09,定奖摇号,一等奖,,7 韩梅梅,作废\r\n"},
                    LineCase{"ScoreTakenBack",
                             {DrawEventKind::ScoreTakenBack, "课堂互动", "高一(3)班", -1, "李雷 5"},
                             "2026-03-05 10:04:09,课堂互动,高一(3)班,,李雷 5,撤销成绩\r\n"},
                    LineCase{"CommaAndQuoteAreQuoted",
                             {DrawEventKind::Draw, "定名抽奖", "奖品,\"大\"", 3, "a\nb"},
                             "2026-03-05 10:04:09,定名抽奖,\"奖品,\"\"大\"\"\",3,a b,抽取\r\n"},
                    LineCase{
                        "FormulaLikeResultsNeutralised",
                        {DrawEventKind::Draw, "@窗口", "+1", 2, "=HYPERLINK(\"x\",1)"},
                        "2026-03-05 10:04:09,'@窗口,'+1,2,\"'=HYPERLINK(\"\"x\"\",1)\",抽取\r\n"},
                    LineCase{"NegativeNumberNeutralised",
                             {DrawEventKind::Draw, "摇号码", "", 1, "-3"},
                             "2026-03-05 10:04:09,摇号码,,1,'-3,抽取\r\n"}),
    [](const testing::TestParamInfo<LineCase>& test) { return std::string(test.param.name); });

TEST(RecordHeader, StartsWithByteOrderMarkAndTitles)
{
    const QByteArray header = recordHeader();
    EXPECT_TRUE(header.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(header.mid(3), QByteArray("时间,窗口,班级或奖品,抽取前人数,结果,类型\r\n"));
}

TEST(RecordRead, SplitUndoesQuotingOfWhatWasWritten)
{
    const DrawEvent event{DrawEventKind::Draw, "定名抽奖", "奖品,\"大\"", 3, "=1+1"};
    QString line = QString::fromUtf8(recordLine(event, kWhen));
    line.chop(2);
    QStringList fields = splitCsvLine(line);
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields[2], QStringLiteral("奖品,\"大\""));
    EXPECT_EQ(fields[4], QStringLiteral("'=1+1"));
    EXPECT_EQ(shownField(fields[4]), QStringLiteral("=1+1"));
    EXPECT_EQ(shownField(QStringLiteral("'abc")), QStringLiteral("'abc"));
}

TEST(RecordRead, LinesOfDay_NewestFirst_OtherDaysAndHeaderSkipped)
{
    QByteArray record = recordHeader();
    record += recordLine({DrawEventKind::Draw, "摇号码", "", 3, "1"}, kWhen.addDays(-1));
    record += recordLine({DrawEventKind::Draw, "摇号码", "", 3, "2"}, kWhen);
    record += recordLine({DrawEventKind::Voided, "定奖摇号", "一等奖", -1, "-5"}, kWhen.addSecs(5));
    record += "broken line without fields\r\n";
    const auto lines = linesOfDay(record, kWhen.date());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].join(QLatin1Char('|')),
              QStringLiteral("2026-03-05 10:04:14|定奖摇号|一等奖||-5|作废"));
    EXPECT_EQ(lines[1][4], QStringLiteral("2"));
}

} // namespace
