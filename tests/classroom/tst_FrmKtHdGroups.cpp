// The classroom window's grouping: forming, the boxes' bounds, saving to
// the roll book and restoring from it.
#include "ClassroomFixture.h"
#include "RealInput.h"

#include <set>

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdGroups : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void grouping_examplesOfTenPersons();
    void grouping_neverGrouped_putsEveryoneInTheBoxCount();
    void grouping_orderedSavedAndReloaded_comesBackUnchanged();
    void grouping_randomSavedAndReloaded_comesBackAsBlocks();
    void grouping_savedLastGroupTooLarge_isExplained();
    void grouping_thatKeepsFailing_isRetriedThenReported();
    void grouping_saveRefused_whenTheSheetChangedOnDisk();
    void grouping_optionChosenWithArrowKeys_picksTheBoxRead();
};

// --- Grouping ------------------------------------------------------------------------

void tst_FrmKtHdGroups::grouping_examplesOfTenPersons()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    confirmClass(w);
    QCOMPARE(w->personCount(), 10);
    // Each person per group of 3.
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 1), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 1), QStringLiteral("3"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    QCOMPARE(int(w->drawSession().groups().size()), 4);
    QCOMPARE(control<QLineEdit>(w, "txtFz", 0)->text(), QStringLiteral("4"));
    QCOMPARE(control<QListWidget>(w, "List2")->count(), 4);
    control<QListWidget>(w, "List2")->setCurrentRow(3); // as the arrow keys select
    QCOMPARE(control<QLabel>(w, "LabXx")->text(), QStringLiteral("10人分4组，第4组有1人"));
    QCOMPARE(control<QListWidget>(w, "List1")->item(0)->text(), w->roster()[9].name);
    QVERIFY(control<QToolButton>(w, "imgXie", 0)->isVisible());
    QCOMPARE(control<QLabel>(w, "lblXx2")->text(),
             QStringLiteral("注意：点击保存按钮，可保存分组结果。"));
    // Six groups.
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 0), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 0), QStringLiteral("6"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(w, "txtFz", 1)->text().toInt(), 2);
    QCOMPARE(control<QListWidget>(w, "List2")->count(), 6);
    control<QListWidget>(w, "List2")->setCurrentRow(5);
    QCOMPARE(control<QLabel>(w, "LabXx")->text(), QStringLiteral("10人分6组，第6组有0人"));
    // Out of range.
    for (const char* text : {"0", "11"}) {
        control<QLineEdit>(w, "txtFz", 0)->setText(QLatin1String(text));
        QVERIFY(!w->applyGroupInput(0));
        QCOMPARE(messages->texts().last(), QStringLiteral("请输入正确的组数，值范围为[1~10]"));
        QCOMPARE(messages->shown.back().icon, MessageIcon::None);
    }
    QCOMPARE(int(w->drawSession().groups().size()), 6);
    // One more than the class is a group size still.
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 1), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 1), QStringLiteral("11"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 0), Qt::LeftButton);
    QCOMPARE(int(w->drawSession().groups().size()), 1);
    QCOMPARE(w->drawSession().groups()[0].count, 10);
    control<QLineEdit>(w, "txtFz", 1)->setText(QStringLiteral("12"));
    QVERIFY(!w->applyGroupInput(1));
    QCOMPARE(messages->texts().last(), QStringLiteral("请输入每组的人数，值范围为[1~11]"));
}

void tst_FrmKtHdGroups::grouping_neverGrouped_putsEveryoneInTheBoxCount()
{
    cutClass(12, true);
    FrmKtHd* w = open();
    confirmClass(w);
    QCOMPARE(int(w->drawSession().groups().size()), 1);
    QCOMPARE(w->drawSession().groups()[0].count, 12);
    QCOMPARE(control<QLineEdit>(w, "txtFz", 0)->text(), QStringLiteral("1"));
    QCOMPARE(control<QLineEdit>(w, "txtFz", 1)->text(), QStringLiteral("12"));
    QVERIFY(!control<QToolButton>(w, "imgXie", 0)->isVisible());
    // The box's count is used by the next roster load of a never-grouped class.
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("3"));
    w->MnMd(4)->trigger();
    QCOMPARE(int(w->drawSession().groups().size()), 3);
    QCOMPARE(w->drawSession().groups()[2].count, 4);
    // A count the class cannot take falls back to one group, without a message.
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("30"));
    w->MnMd(4)->trigger();
    QCOMPARE(int(w->drawSession().groups().size()), 1);
    QVERIFY(messages->shown.empty());
}

void tst_FrmKtHdGroups::grouping_orderedSavedAndReloaded_comesBackUnchanged()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    confirmClass(w);
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 1), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 1), QStringLiteral("3"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    const auto before = w->drawSession().groups();
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 0), Qt::LeftButton);
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\yes.wav"));
    QVERIFY(!control<QToolButton>(w, "imgXie", 0)->isVisible());
    QCOMPARE(fileCell(0, 12, 5), CellValue::ofNumber(4));
    QCOMPARE(fileCell(0, 12, 6), CellValue::ofNumber(1));
    QCOMPARE(fileCell(0, 7, 5), CellValue::ofNumber(2));
    QCOMPARE(fileCell(0, 7, 6), CellValue::ofNumber(2));
    QCOMPARE(xlrdCell(0, 12, 5), QStringLiteral("4.0"));
    w->MnMd(4)->trigger();
    QCOMPARE(int(w->drawSession().groups().size()), 4);
    QCOMPARE(control<QLineEdit>(w, "txtFz", 1)->text().toInt(), 3);
    QVERIFY(sameGroups(w->drawSession().groups(), before));
}

void tst_FrmKtHdGroups::grouping_randomSavedAndReloaded_comesBackAsBlocks()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    confirmClass(w);
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 1), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 1), QStringLiteral("3"));
    random->picks = {10, 1, 8, 2, 3, 1, 4, 2, 1, 1};
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 0), Qt::LeftButton);
    QCOMPARE(w->drawSession().groups()[0].members[0], QStringLiteral("10")); // person 10 first
    std::multiset<QString> everyone;
    for (const Group& g : w->drawSession().groups())
        everyone.insert(g.members.begin(), g.members.end());
    QCOMPARE(everyone.size(), size_t(10));
    QCOMPARE(std::set<QString>(everyone.begin(), everyone.end()).size(), size_t(10));
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 0), Qt::LeftButton);
    QCOMPARE(fileCell(0, 12, 5), CellValue::ofNumber(1)); // person 10: group 1 member 1
    QCOMPARE(fileCell(0, 12, 6), CellValue::ofNumber(1));
    w->MnMd(4)->trigger();
    QCOMPARE(int(w->drawSession().groups().size()), 4);
    const std::vector<QString> second{QStringLiteral("4"), QStringLiteral("5"),
                                      QStringLiteral("6")};
    QVERIFY(w->drawSession().groups()[1].members == second);
    QCOMPARE(w->drawSession().groups()[3].count, 1);
}

void tst_FrmKtHdGroups::grouping_savedLastGroupTooLarge_isExplained()
{
    cutClass(10, false);
    editBook([](xls::Workbook& b) {
        for (int row = 3; row <= 12; ++row) {
            b.setNumber(0, row, 5, row < 8 ? 1 : 2);
            b.setNumber(0, row, 6, 1);
        }
    });
    FrmKtHd* w = open();
    confirmClass(w);
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(messages->texts()[0].contains(QStringLiteral("最后一组却有9人")));
    QCOMPARE(control<QListWidget>(w, "List2")->count(), 0);
    // The setup goes on: the panel offers a new grouping.
    QVERIFY(w->fraFz()->isVisible());
    QVERIFY(control<QToolButton>(w, "imgFz", 1)->isVisible());
    enter(control<QLineEdit>(w, "txtFz", 0), QStringLiteral("2"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    QCOMPARE(int(w->drawSession().groups().size()), 2);
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 0), Qt::LeftButton);
    QCOMPARE(fileCell(0, 12, 6), CellValue::ofNumber(5));
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
    w->MnMd(4)->trigger();
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(w->drawSession().groups()[1].count, 5);
}

void tst_FrmKtHdGroups::grouping_thatKeepsFailing_isRetriedThenReported()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    confirmClass(w);
    QTest::mouseClick(control<QRadioButton>(w, "OptFz", 1), Qt::LeftButton);
    enter(control<QLineEdit>(w, "txtFz", 1), QStringLiteral("3"));
    // A pick outside the range makes the random source throw, every time.
    random->picks = {99, 99, 99, 99, 99};
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 0), Qt::LeftButton);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral(
                                    "分组没有成功，请检查点名册中的名单后按F5刷新，再重新分组。")});
    QCOMPARE(random->picks.size(), size_t(2));          // three attempts
    QCOMPARE(int(w->drawSession().groups().size()), 1); // the reloaded grouping stands
    QCOMPARE(w->drawSession().groups()[0].count, 10);
}

void tst_FrmKtHdGroups::grouping_saveRefused_whenTheSheetChangedOnDisk()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    confirmClass(w);
    enter(control<QLineEdit>(w, "txtFz", 0), QStringLiteral("2"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    editBook([](xls::Workbook& b) { b.setText(0, 5, 2, "新同学"); });
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 0), Qt::LeftButton);
    QVERIFY(messages->texts().last().contains(QStringLiteral("名单已被改动")));
    QVERIFY(fileCell(0, 3, 5).isEmpty());
}

void tst_FrmKtHdGroups::grouping_optionChosenWithArrowKeys_picksTheBoxRead()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    QApplication::setActiveWindow(w);
    confirmClass(w);
    auto* byCount = control<QRadioButton>(w, "OptFz", 0);
    byCount->setFocus();
    QTest::keyClick(byCount, Qt::Key_Down);
    QVERIFY(control<QRadioButton>(w, "OptFz", 1)->isChecked());
    control<QLineEdit>(w, "txtFz", 1)->setText(QStringLiteral("3"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    QCOMPARE(control<QListWidget>(w, "List2")->count(), 4); // groups of 3
}

QTEST_MAIN(tst_FrmKtHdGroups)
#include "tst_FrmKtHdGroups.moc"
