// The classroom window driven as a teacher does: pointer and keys on the
// shown widgets, then what the window shows and what the roll book holds.
#include "ClassroomFixture.h"
#include "RealInput.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdInput : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void arrowKeysInGroupList_scoreGoesToThePersonShown();
    void groupCount_enterThenLeavingTheBox_tellsOnce();
    void clicksOnOpenPanel_drawNothing_bareCanvasDrawsOnce();
    void closingGroupingPanel_keepsCalledNameAndNextGroup();
    void refresh_takesTheWriteItemsAway();
    void nextGroupKey_afterACall_callLineKeepsOnePerson();
    void drawEndingAfterRefresh_offersNoWriteThatWritesNothing();
    void timerSettingsClosedDuringLesson_leaveTheBarAsItWas();

private:
    // Setup done with the class in four groups formed in roster order.
    FrmKtHd* openInFourGroups();
};

FrmKtHd* tst_FrmKtHdInput::openInFourGroups()
{
    FrmKtHd* w = open();
    confirmClass(w);
    enter(control<QLineEdit>(w, "txtFz", 0), QStringLiteral("4"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    return w;
}

void tst_FrmKtHdInput::arrowKeysInGroupList_scoreGoesToThePersonShown()
{
    FrmKtHd* w = openInFourGroups();
    QListWidget* groups = control<QListWidget>(w, "List2");
    groups->setFocus();
    QTest::keyClick(groups, Qt::Key_Down);
    QTest::keyClick(groups, Qt::Key_Down);
    const Person third = w->roster()[20]; // the first of group 3 (10 per group)
    QCOMPARE(control<QListWidget>(w, "List1")->item(0)->text(), third.name);
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    w->MnSx(1)->trigger();
    w->MnFs(2)->setChecked(false);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QCOMPARE(control<QLabel>(w, "LabCz")->text(),
             QStringLiteral("第 3 组 1 号 ，%1 %2").arg(third.number, third.name));
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(xlrdCell(0, third.row, w->scoreColumn()), QStringLiteral("5.0"));
}

void tst_FrmKtHdInput::groupCount_enterThenLeavingTheBox_tellsOnce()
{
    FrmKtHd* w = open();
    confirmClass(w);
    messages->onShow = loseFocusToMessageBox;
    QLineEdit* box = control<QLineEdit>(w, "txtFz", 0);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("99"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(messages->texts().first().startsWith(QStringLiteral("请输入正确的组数")));
}

void tst_FrmKtHdInput::clicksOnOpenPanel_drawNothing_bareCanvasDrawsOnce()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    w->MnMd(1)->trigger();
    QFrame* panel = w->fraFz();
    QVERIFY(panel->isVisible());
    QTest::mouseClick(panel, Qt::LeftButton, {}, bareSpot(panel));
    for (QLabel* label : panel->findChildren<QLabel*>()) {
        if (label->isVisible())
            QTest::mouseClick(label, Qt::LeftButton);
    }
    QCOMPARE(w->drawSession().poolSize(), 40);
    click(w->fraFz(), "cmdOk1");
    QWidget* canvas = w->centralWidget();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, bareSpot(canvas));
    QCOMPARE(w->drawSession().poolSize(), 39);
}

void tst_FrmKtHdInput::closingGroupingPanel_keepsCalledNameAndNextGroup()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    const QString called = w->lblXm()->text();
    // Regrouped during the lesson: "下一组" comes with more than one group.
    w->MnMd(1)->trigger();
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("4"));
    QTest::mouseClick(control<QToolButton>(w, "imgFz", 1), Qt::LeftButton);
    QVERIFY(w->MnJs(1)->isVisible());
    click(w->fraFz(), "cmdOk1");
    QCOMPARE(w->lblXm()->text(), called);
    QVERIFY(w->MnJs(1)->isVisible());
}

void tst_FrmKtHdInput::refresh_takesTheWriteItemsAway()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QVERIFY(control<QToolButton>(w, "imgXie", 1)->isVisible());
    w->MnMd(4)->trigger();
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isVisible());
    QVERIFY(!w->MnJs(2)->isVisible());
}

void tst_FrmKtHdInput::nextGroupKey_afterACall_callLineKeepsOnePerson()
{
    FrmKtHd* w = openInFourGroups();
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    w->MnSx(1)->trigger();
    const Person sixthOfThird = w->roster()[25];
    w->MnXm(25)->trigger();
    const QString called =
        QStringLiteral("第 3 组 6 号 ，%1 %2").arg(sixthOfThird.number, sixthOfThird.name);
    QCOMPARE(control<QLabel>(w, "LabCz")->text(), called);
    // Ctrl+W moves the lists on to group 4; the member list is refilled,
    // which must not call group 4's sixth number under the old name.
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(control<QListWidget>(w, "List2")->currentRow(), 3);
    QCOMPARE(control<QLabel>(w, "LabCz")->text(), called);
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(xlrdCell(0, sixthOfThird.row, w->scoreColumn()), QStringLiteral("5.0"));
}

void tst_FrmKtHdInput::drawEndingAfterRefresh_offersNoWriteThatWritesNothing()
{
    FrmKtHd* w = open();
    finishSetup(w);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QVERIFY(w->isRolling());
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_F5); // 刷新 while the names roll
    while (w->isRolling())
        w->Timer1_Timer();
    // The reload opened the grouping panel, so the draw called nobody. 写,
    // when offered, must write a score or say why not.
    QVERIFY(w->fraFz()->isVisible());
    const bool offered = control<QToolButton>(w, "imgXie", 1)->isVisible();
    const auto cues = sound->played.count(QStringLiteral("sound\\yes.wav"));
    if (offered)
        QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    const bool answered =
        sound->played.count(QStringLiteral("sound\\yes.wav")) > cues || !messages->shown.empty();
    QVERIFY(!offered || answered);
}

void tst_FrmKtHdInput::timerSettingsClosedDuringLesson_leaveTheBarAsItWas()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    auto* bar = w->findChild<QFrame*>(QStringLiteral("fraJs3"));
    QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("imgJs0")), Qt::LeftButton);
    QVERIFY(bar->isVisible());
    w->MnJs(5)->trigger();
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    // Outside the guided setup closing the panel only hides it.
    QVERIFY(!w->findChild<QFrame*>(QStringLiteral("fraJs"))->isVisible());
    QVERIFY(bar->isVisible());
}

QTEST_MAIN(tst_FrmKtHdInput)
#include "tst_FrmKtHdInput.moc"
