// What the teacher is told about changes that waited for the roll book.
#include "rollbook/gui/ChangeReports.h"

#include <gtest/gtest.h>

using namespace zelvano;

namespace
{

PendingChange score(const QString& sheet, int row, const QString& number, const QString& name)
{
    return {sheet, row, 9, 5.0, CellAnchor::rowHolding({{1, number}, {2, name}}, 3)};
}

} // namespace

TEST(ChangeReports, CountByReasonAndNameEachCell)
{
    const std::vector<KeptChange> kept{{score("一班", 6, "4", "彭军"), KeptReason::RowGone},
                                       {score("一班", 7, "5", "郭文诗"), KeptReason::RowGone},
                                       {score("二班", 3, "1", "甲"), KeptReason::SheetGone}};
    const QString report = reloadReport(2, kept);
    EXPECT_TRUE(report.startsWith("点名册.xls已被其他程序修改，已重新读取；\r\n"
                                  "本程序尚未保存的2处修改已重新写入。\r\n"
                                  "另有3处修改没有写入，仍由本程序保留："));
    EXPECT_TRUE(report.contains("\r\n1处所在的工作表已不存在：二班!I3（1 甲）"));
    EXPECT_TRUE(report.contains("\r\n2处找不到原来那一行的人或奖品：一班!I6（4 彭军）、一班!I7"));
    const QString atClose = unplacedReport(kept);
    EXPECT_TRUE(atClose.startsWith("以下3处修改没能写入点名册.xls，请手动补记："));
    EXPECT_TRUE(atClose.contains("一班!I6（4 彭军） 写入5（找不到原来那一行的人或奖品）"));
    EXPECT_EQ(cellAddress("抽奖品", 5, 6), QStringLiteral("抽奖品!F5"));
    EXPECT_EQ(columnLetters(256), QStringLiteral("IV"));
}
