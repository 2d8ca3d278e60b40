// The classroom window's draw record and the called name read aloud,
// driven by clicks on the big label and the menu items' actions.
#include "ClassroomFixture.h"
#include "drawrecord/logic/RecordLines.h"

#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
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
    void callChart_namesEveryPersonOfALargeClass();
    void newClass_pastedList_waitsForAHeldFile_thenIsTheChosenSheet();
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
    QCOMPARE(names->actions().at(names->actions().size() - 3), record);
    QCOMPARE(names->actions().at(names->actions().size() - 2),
             w->findChild<QAction*>(QStringLiteral("MnTj")));
    QCOMPARE(names->actions().last(), w->findChild<QAction*>(QStringLiteral("MnXjBj")));
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

void tst_FrmKtHdReport::callChart_namesEveryPersonOfALargeClass()
{
    FrmKtHd* w = open();
    finishSetup(w);
    QVERIFY(w->roster().size() >= 40);
    w->findChild<QAction*>(QStringLiteral("MnTj"))->trigger();
    auto* stats = w->findChild<QWidget*>(QStringLiteral("CallStatsWindow"));
    auto* chart = stats->findChild<QGraphicsView*>(QStringLiteral("chtTj"));
    if (!chart)
        QSKIP("built without Qt Charts: the window shows the table alone");
    const auto unnamed = [&] {
        QSet<QString> shown;
        for (const QGraphicsItem* item : chart->scene()->items())
            if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
                text && text->isVisible())
                shown << text->toPlainText();
        QStringList missing;
        for (const auto& person : w->roster())
            if (!shown.contains(person.name))
                missing << person.name;
        return missing.join(QLatin1Char(' '));
    };
    QTRY_COMPARE(unnamed(), QString());
}

void tst_FrmKtHdReport::newClass_pastedList_waitsForAHeldFile_thenIsTheChosenSheet()
{
    FrmKtHd* w = open();
    finishSetup(w);
    const QString existing = control<QComboBox>(w, "cmbBj")->itemText(0);
    w->findChild<QAction*>(QStringLiteral("MnXjBj"))->trigger();
    QPointer<QDialog> dialog = w->findChild<QDialog*>(QStringLiteral("NewClassDialog"));
    QVERIFY(dialog && dialog->isVisible());
    QApplication::clipboard()->setText(QStringLiteral("姓名\n张三\n李四\n\n王五\n李四\n"));
    auto* list = control<QPlainTextEdit>(dialog, "txtMd");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(control<QLabel>(dialog, "lblRs")->text(),
             QStringLiteral("3人，重复1人已标出，空行1处已略过，序号或列名1处已略过"));
    auto* name = control<QLineEdit>(dialog, "txtBjMc");
    auto* create = control<QPushButton>(dialog, "cmdJl");
    // Chinese arrives from the input method as committed text.
    const auto type = [name](const QString& text) {
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(name, &typed);
    };
    name->setFocus();
    type(existing);
    QVERIFY(control<QLabel>(dialog, "lblTs")->text().contains(QStringLiteral("已有")));
    QVERIFY(!create->isEnabled());
    name->clear();
    type(QStringLiteral("新班"));
    QVERIFY(create->isEnabled());
    if (const QString shots = QString::fromLocal8Bit(qgetenv("ZELVANO_SHOTS")); !shots.isEmpty())
        dialog->grab().save(shots + QStringLiteral("/new-class.png"));

    // WPS holds the file and the teacher cancels: no sheet, the list stays.
    const QString sheetsBefore = xlrdAt(book(), 0, 1, 1, "sys.stdout.write(str(s.book.nsheets))");
    processes->holders = {{4242, "WPS 表格"}};
    messages->answers = {MessageAnswer::Cancel};
    QTest::mouseClick(create, Qt::LeftButton);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(xlrdAt(book(), 0, 1, 1, "sys.stdout.write(str(s.book.nsheets))"), sheetsBefore);

    processes->holders.clear();
    QTest::mouseClick(create, Qt::LeftButton);
    QTRY_VERIFY(!dialog);
    QCOMPARE(xlrdAt(book(), -1, 1, 1,
                    "sys.stdout.write(s.name + '|' + s.cell_value(0, 0) + '|' + "
                    "'|'.join(str(v) for v in s.col_values(1)))"),
             QStringLiteral("新班|新班||姓名|张三|李四|王五"));
    auto* classes = control<QComboBox>(w, "cmbBj");
    QCOMPARE(classes->currentText(), QStringLiteral("新班"));
    QCOMPARE(w->roster().size(), size_t(3));
    QCOMPARE(w->roster()[2].name, QStringLiteral("王五"));
}

QTEST_MAIN(tst_FrmKtHdReport)
#include "tst_FrmKtHdReport.moc"
