// The classroom window's draw record and the called name read aloud,
// driven by clicks on the big label and the menu items' actions.
#include "ClassroomFixture.h"
#include "drawrecord/logic/RecordLines.h"

#include <QDateTime>
#include <QImage>
#include <QTableWidget>

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
    void balance_weighsByTheRecord_showsOdds_isRememberedPerClass();
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
    QCOMPARE(names->actions().at(names->actions().size() - 2), record);
    QCOMPARE(names->actions().last(), w->findChild<QAction*>(QStringLiteral("MnTj")));
    QMenu* format = w->displayFormat().MnGeShi();
    QCOMPARE(format->actions().last(), w->findChild<QAction*>(QStringLiteral("MnVoice")));
}

void tst_FrmKtHdReport::balance_weighsByTheRecord_showsOdds_isRememberedPerClass()
{
    cutClass(3, true);
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    const QString className = control<QComboBox>(w, "cmbBj")->itemText(0);
    // Before this run: the first person was called three times last lesson.
    ts->drawLog.path = temp->file(QStringLiteral("抽取记录.csv"));
    QFile record(ts->drawLog.path);
    QVERIFY(record.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3; ++i) {
        record.write(recordLine({DrawEventKind::Draw, QStringLiteral("课堂互动"), className, 3,
                                 w->roster()[0].number + QStringLiteral(" ") + w->roster()[0].name},
                                QDateTime(QDate(2026, 12, 1), QTime(8, i))));
    }
    record.close();

    auto* balance = w->findChild<QAction*>(QStringLiteral("MnJh"));
    QVERIFY(!balance->isChecked());
    balance->trigger();
    QVERIFY(balance->isChecked());
    w->findChild<QAction*>(QStringLiteral("MnTj"))->trigger();
    auto* stats = w->findChild<QWidget*>(QStringLiteral("CallStatsWindow"));
    QVERIFY(stats && stats->isVisible());
    auto* table = stats->findChild<QTableWidget*>(QStringLiteral("lstTj"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("3"));
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("11.1%")); // 1/4 against 1 and 1
    QCOMPARE(table->item(1, 3)->text(), QStringLiteral("44.4%"));

    ts->files.answer = temp->file(QStringLiteral("统计"));
    QTest::mouseClick(stats->findChild<QPushButton*>(QStringLiteral("cmdDcTp")), Qt::LeftButton);
    QVERIFY(!QImage(temp->file(QStringLiteral("统计.png"))).isNull());

    // One pick over the weights' sum: 1/4 + 1 + 1 of 27720.
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QCOMPARE(random->counts.back(), 6930 + 27720 + 27720);

    delete w;
    w = open();
    finishSetup(w);
    QVERIFY(w->findChild<QAction*>(QStringLiteral("MnJh"))->isChecked());
    w->findChild<QAction*>(QStringLiteral("MnJh"))->trigger(); // off: uniform again
    w->MnFs(2)->setChecked(false);
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QCOMPARE(random->counts.back(), 3);
}

QTEST_MAIN(tst_FrmKtHdReport)
#include "tst_FrmKtHdReport.moc"
