// The prize window's draw record and the prize and winner read aloud, for a
// fixed prize and for a fixed person, driven by clicks on the start button.
#include "PrizeFixture.h"
#include "PrizeParts.h"

#include "prizedraw/FrmDjYh.h"
#include "shell/core/AppServices.h"
#include "shell/gui/ModeNavigator.h"

#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmDjYhReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fixedPrize_winnerRecordedAndSpokenAfterTheRoll();
    void fixedPerson_prizeRecordedAndSpoken();
    void recordItem_comesAfterReturnToMenu();

private:
    FrmDjYh* open(Mode mode);
    int roll(FrmDjYh* w, bool silentWhileRolling);

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYhReport::init()
{
    ts = std::make_unique<TestServices>();
    const QString book = ts->folder.file(QStringLiteral("点名册.xls"));
    const QString error = makeBook(
        book, {SheetSpec{QStringLiteral("一班"), {{1, 1, QStringLiteral("一班")}}},
               prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 5},
                           {QStringLiteral("二等奖"), QStringLiteral("文具盒"), {}, 2}},
                          {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QDir(ts->folder.path()).mkpath(QStringLiteral("img"));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmDjYhReport::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmDjYh* tst_FrmDjYhReport::open(Mode mode)
{
    window = new FrmDjYh(ts->services, *navigator, mode);
    window->show();
    window->Form_Activate();
    for (int i = 0; i < 2 && window->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(okButton(window), Qt::LeftButton);
    window->findChild<QAction*>(QStringLiteral("MnVoice"))->trigger();
    return window;
}

int tst_FrmDjYhReport::roll(FrmDjYh* w, bool silentWhileRolling)
{
    int ticks = 0;
    while (w->isRolling() && ticks < 100) {
        if (silentWhileRolling && (!ts->voice.said.isEmpty() || !ts->drawLog.events.empty()))
            return -1;
        w->Timer1_Timer();
        ++ticks;
    }
    return ticks;
}

void tst_FrmDjYhReport::fixedPrize_winnerRecordedAndSpokenAfterTheRoll()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    ts->random.picks = {};
    QTest::mouseClick(imgOk(w), Qt::LeftButton); // 一等奖 from the choice list
    QVERIFY(w->isRolling());
    QCOMPARE(roll(w, true), 28);
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
    const DrawEvent& event = ts->drawLog.events[0];
    QCOMPARE(event.window, QStringLiteral("定奖摇号"));
    QCOMPARE(event.subject, QStringLiteral("一等奖 台灯"));
    QCOMPARE(event.poolBefore, 3);
    QCOMPARE(event.result, QStringLiteral("1\r\n甲"));
    QCOMPARE(ts->voice.said, QStringList{QStringLiteral("一等奖 台灯，甲")});

    const int stops = ts->voice.stops;
    QTest::mouseClick(lblXm(w), Qt::LeftButton); // the same prize again
    QVERIFY(ts->voice.stops > stops);
    roll(w, false);
    QCOMPARE(ts->drawLog.events.size(), size_t(2));
    QCOMPARE(ts->drawLog.events[1].poolBefore, 2);
    QCOMPARE(ts->voice.said.size(), 2);
}

void tst_FrmDjYhReport::fixedPerson_prizeRecordedAndSpoken()
{
    FrmDjYh* w = open(Mode::FixedPerson);
    ts->random.picks = std::deque<int>(28, 6);   // ticket 6: the second prize
    QTest::mouseClick(imgOk(w), Qt::LeftButton); // "1 甲" from the choice list
    QCOMPARE(roll(w, true), 28);
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
    const DrawEvent& event = ts->drawLog.events[0];
    QCOMPARE(event.window, QStringLiteral("定名抽奖"));
    QCOMPARE(event.subject, QStringLiteral("二等奖 文具盒"));
    QCOMPARE(event.poolBefore, 7);
    QCOMPARE(event.result, QStringLiteral("1\r\n甲"));
    QCOMPARE(ts->voice.said, QStringList{QStringLiteral("二等奖 文具盒，甲")});
}

void tst_FrmDjYhReport::recordItem_comesAfterReturnToMenu()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QMenu* names = topMenu(w, 0);
    QCOMPARE(names->actions().indexOf(MnSz(w, 8)), 8);
    QCOMPARE(names->actions().last()->objectName(), QStringLiteral("MnRecord"));
    QCOMPARE(topMenu(w, 1)->actions().last()->objectName(), QStringLiteral("MnVoice"));
}

QTEST_MAIN(tst_FrmDjYhReport)
#include "tst_FrmDjYhReport.moc"
