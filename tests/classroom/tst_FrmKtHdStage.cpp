// The classroom stage as the teacher meets it during a lesson: what a roll
// offers while it runs, a long name, a class loaded again, a grouping that
// could not be rebuilt, and Ctrl+Z from the score box.
#include "ClassroomFixture.h"
#include "RealInput.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdStage : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void rollingNames_offerNoWrite_theScoreGoesToTheOneAtRest();
    void longName_fitsTheWindow_andTheNextNameIsBigAgain();
    void reloadedClass_showsTheSetupCaptionAndItsOwnTexts_data();
    void reloadedClass_showsTheSetupCaptionAndItsOwnTexts();
    void groupingNotRebuilt_startSaysSo_andOffersThePanel();
    void ctrlZInTheScoreBox_takesTheScoreBack();
    void miniWindow_callsWithoutFocus_isDraggedAndRemembered_doubleClickReturns();

private:
    FrmKtHd* openAndSetUp()
    {
        FrmKtHd* w = open();
        finishSetup(w);
        QApplication::setActiveWindow(w);
        return w;
    }
    int rowOf(const FrmKtHd* w, const QString& name) const
    {
        for (const Person& person : w->roster())
            if (person.name == name)
                return person.row;
        return 0;
    }
};

void tst_FrmKtHdStage::rollingNames_offerNoWrite_theScoreGoesToTheOneAtRest()
{
    FrmKtHd* w = openAndSetUp();
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QVERIFY(w->isRolling());
    w->Timer1_Timer();
    w->Timer1_Timer(); // names flash past
    QVERIFY(!w->MnJs(2)->isVisible());
    QVERIFY(control<QToolButton>(w, "imgXie", 1)->isHidden());
    QTest::keyClick(w, Qt::Key_F4);
    while (w->isRolling())
        w->Timer1_Timer();
    QVERIFY(xlrdEmpty(0, 2, 9)); // nothing written
    const int row = rowOf(w, calledName(w));
    QTest::keyClick(w, Qt::Key_F4);
    QCOMPARE(xlrdCell(0, row, 9), QStringLiteral("5.0"));
    QVERIFY(w->topMenu(3)->actions().last()->isEnabled());
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(xlrdEmpty(0, row, 9));
}

void tst_FrmKtHdStage::longName_fitsTheWindow_andTheNextNameIsBigAgain()
{
    const QString longName = QStringLiteral("阿卜杜热西提·买买提江·艾力");
    editBook([&](xls::Workbook& b) { b.setText(0, 6, 2, longName.toStdString()); });
    FrmKtHd* w = openAndSetUp();
    w->MnXm(4)->trigger();
    const double shortSize = w->lblXm()->font().pointSizeF();
    w->MnXm(3)->trigger();
    QCOMPARE(lastLine(w->lblXm()->text()), longName);
    const QRect stage = w->centralWidget()->rect();
    QVERIFY2(stage.contains(w->lblXm()->geometry()), "the name runs out of the window");
    QVERIFY(w->lblXm()->height() >= w->lblXm()->heightForWidth(w->lblXm()->width()));
    w->MnXm(4)->trigger();
    QCOMPARE(w->lblXm()->font().pointSizeF(), shortSize);
}

void tst_FrmKtHdStage::reloadedClass_showsTheSetupCaptionAndItsOwnTexts_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("another class") << 0;
    QTest::newRow("刷新 (F5)") << 1;
    QTest::newRow("重置 (F6)") << 2;
}

void tst_FrmKtHdStage::reloadedClass_showsTheSetupCaptionAndItsOwnTexts()
{
    QFETCH(int, how);
    FrmKtHd* w = open();
    confirmClass(w);
    const QFont setupFont = w->lblXm()->font();
    const QPoint setupPlace = w->lblXm()->pos();
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    QApplication::setActiveWindow(w);
    w->MnXm(3)->trigger();
    QVERIFY(control<QLabel>(w, "LabCz")->text().contains(QStringLiteral("彭军")));
    if (how == 0)
        w->MnBj(1)->trigger();
    else
        QTest::keyClick(w, how == 1 ? Qt::Key_F5 : Qt::Key_F6);
    QVERIFY(w->fraFz()->isVisible());
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置分组信息"));
    QCOMPARE(w->lblXm()->font(), setupFont);
    QCOMPARE(w->lblXm()->pos(), setupPlace);
    QVERIFY(w->fraFz()->y() >= w->lblXm()->geometry().bottom()); // not covered
    QCOMPARE(control<QLabel>(w, "LabCz")->text(), QString());
    QCOMPARE(control<QLabel>(w, "LabXx")->text(), w->drawSession().view().summary);
    // Closing the panel gives the stage its calling size again.
    click(w->fraFz(), "cmdOk1");
    QVERIFY(w->lblXm()->font().pointSizeF() > setupFont.pointSizeF());
}

void tst_FrmKtHdStage::groupingNotRebuilt_startSaysSo_andOffersThePanel()
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
    QCOMPARE(messages->shown.size(), size_t(1)); // the grouping is not rebuilt
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QVERIFY(!w->isRolling());
    QCOMPARE(messages->shown.size(), size_t(2));
    QVERIFY(messages->shown[1].text.contains(QStringLiteral("重新分组")));
    QVERIFY(w->fraFz()->isVisible());
    QVERIFY(control<QToolButton>(w, "imgFz", 1)->isVisible());
}

void tst_FrmKtHdStage::ctrlZInTheScoreBox_takesTheScoreBack()
{
    FrmKtHd* w = openAndSetUp();
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier); // 滚动 off: one click, one call
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    const int row = rowOf(w, calledName(w));
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(xlrdCell(0, row, 9), QStringLiteral("5.0"));
    QTest::mouseClick(control<QToolButton>(w, "imgDf0"), Qt::LeftButton); // opens the box
    auto* box = control<QComboBox>(w, "cmbFs0");
    QVERIFY(box->isVisible());
    box->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(xlrdEmpty(0, row, 9));
    QVERIFY(messages->shown.empty());
}

void tst_FrmKtHdStage::miniWindow_callsWithoutFocus_isDraggedAndRemembered_doubleClickReturns()
{
    cutClass(5, true);
    FrmKtHd* w = openAndSetUp();
    w->MnFs(2)->setChecked(false);
    w->findChild<QAction*>(QStringLiteral("MnMini"))->trigger();
    QWidget* mini = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QStringLiteral("MiniWindow"))
            mini = top;
    }
    QVERIFY(mini && mini->isVisible());
    QVERIFY(mini->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(mini->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->isMinimized());
    QCOMPARE(mini->findChild<QLabel*>(QStringLiteral("lblMiniBj"))->text(),
             control<QComboBox>(w, "cmbBj")->itemText(0));

    auto* button = mini->findChild<QToolButton*>(QStringLiteral("cmdMiniDm"));
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(w->drawSession().poolSize(), 4); // the class's own pool
    QCOMPARE(mini->findChild<QLabel*>(QStringLiteral("lblMiniXm"))->text(), calledName(w));
    QCOMPARE(ts->drawLog.events.size(), size_t(1));

    const QPoint from = mini->pos();
    // Away from the right edge it starts at, so the new place stays on screen.
    QTest::mousePress(mini, Qt::LeftButton, {}, QPoint(44, 4));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 34), mini->mapToGlobal(QPointF(4, 34)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(mini, &move);
    QTest::mouseRelease(mini, Qt::LeftButton, {}, QPoint(4, 34));
    QCOMPARE(mini->pos(), from + QPoint(-40, 30));

    QTest::mouseDClick(mini, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(!mini->isVisible());
    QVERIFY(!w->isMinimized());

    w->findChild<QAction*>(QStringLiteral("MnMini"))->trigger();
    QCOMPARE(mini->pos(), from + QPoint(-40, 30)); // its place is kept
}

QTEST_MAIN(tst_FrmKtHdStage)
#include "tst_FrmKtHdStage.moc"
