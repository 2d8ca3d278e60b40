// The classroom window's draw record and the called name read aloud,
// driven by clicks on the big label and the menu items' actions.
#include "ClassroomFixture.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdReport : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void calledPerson_recordedWithClassAndPool_nameSpokenAfterTheRoll();
    void drawWhileGroupingPanelUp_callsNobody_recordsNothing();
    void newItems_comeAfterReturnAndFormatItems();
};

void tst_FrmKtHdReport::calledPerson_recordedWithClassAndPool_nameSpokenAfterTheRoll()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    finishSetup(w);
    w->findChild<QAction*>(QStringLiteral("MnVoice"))->trigger();
    QVERIFY(w->MnFs(2)->isChecked());
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    int ticks = 0;
    while (w->isRolling() && ticks++ < 100) {
        QVERIFY(ts->voice.said.isEmpty());
        QVERIFY(ts->drawLog.events.empty());
        w->Timer1_Timer();
    }
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
    const DrawEvent& event = ts->drawLog.events[0];
    QCOMPARE(event.window, QStringLiteral("课堂互动"));
    QCOMPARE(event.subject, control<QComboBox>(w, "cmbBj")->itemText(0));
    QCOMPARE(event.poolBefore, 10);
    QCOMPARE(event.result, w->lblXm()->text());
    QCOMPARE(ts->voice.said, QStringList{calledName(w)});
}

void tst_FrmKtHdReport::drawWhileGroupingPanelUp_callsNobody_recordsNothing()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    finishSetup(w);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    for (int tick = 0; w->isRolling() && tick < 100; ++tick)
        w->Timer1_Timer();
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F1); // 分组规则: the grouping panel comes up
    QVERIFY(w->fraFz()->isVisible());
    const size_t picks = ts->random.counts.size();
    QTest::keyClick(w, Qt::Key_F3); // 下一个: the selection moves, nobody is called
    QCOMPARE(ts->random.counts.size(), picks + 1);
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
}

void tst_FrmKtHdReport::newItems_comeAfterReturnAndFormatItems()
{
    FrmKtHd* w = open();
    finishSetup(w);
    auto* record = w->findChild<QAction*>(QStringLiteral("MnRecord"));
    auto* names = qobject_cast<QMenu*>(record->parent());
    QCOMPARE(names->actions().indexOf(w->MnMd(6)), 6);
    QCOMPARE(names->actions().last(), record);
    QMenu* format = w->displayFormat().MnGeShi();
    QCOMPARE(format->actions().last(), w->findChild<QAction*>(QStringLiteral("MnVoice")));
}

QTEST_MAIN(tst_FrmKtHdReport)
#include "tst_FrmKtHdReport.moc"
