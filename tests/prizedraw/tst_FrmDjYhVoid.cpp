// "作废重抽" as the host uses it, on a copy of the sample roll book: the
// prize sheet read back with the independent reader after every void.
#include "PrizeFixture.h"
#include "PrizeParts.h"

#include "prizedraw/FrmDjYh.h"
#include "rollbook/Workbook.h"
#include "shell/gui/ModeNavigator.h"

#include "NoWindows.h"
#include "TestServices.h"

#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSheet = QStringLiteral("抽奖品");
constexpr int kPengJun = 24; // row of "4 彭军"
constexpr int kGuo = 21;     // row of "1 郭文诗"

std::vector<DrawEvent> voidedEvents(const TestServices& ts)
{
    std::vector<DrawEvent> events;
    for (const DrawEvent& event : ts.drawLog.events) {
        if (event.kind == DrawEventKind::Voided)
            events.push_back(event);
    }
    return events;
}

bool inPool(const FrmDjYh* w, int row)
{
    const auto& entries = w->drawSession().pool().entries();
    return std::find(entries.begin(), entries.end(), row) != entries.end();
}

} // namespace

class tst_FrmDjYhVoid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void item_lastOfTheListMenu_enabledWhileAnAwardStands();
    void fixedPrize_voidRestoresEverything_thenRedrawsTheSamePrize();
    void fixedPerson_voidOnlyRestores_ticketBack_personOut();
    void declined_changesNothing();
    void twoVoidsInARow_restoreBothAwards();
    void failedSave_keepsTheVoidPending_andAppliesItOnce();
    void cellChangedElsewhere_isRefused_andTheAwardStands();
    void reset_letsTheVoidedWinAgain();

private:
    FrmDjYh* open(Mode mode);
    void roll(FrmDjYh* w);
    // 彭军 wins 三等奖 笔记本 (row 5), in either mode.
    void awardPengJun(FrmDjYh* w);
    void pressVoid(FrmDjYh* w, MessageAnswer answer);
    QAction* voidItem(FrmDjYh* w) { return namedPart<QAction>(w, QStringLiteral("MnZf")); }
    QString book() const { return ts->folder.file(QStringLiteral("点名册.xls")); }
    QJsonObject sheetCells() { return xlrdCells(book(), kSheet); }

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYhVoid::init()
{
    ts = std::make_unique<TestServices>();
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    QDir(ts->folder.path()).mkpath(QStringLiteral("img"));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmDjYhVoid::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmDjYh* tst_FrmDjYhVoid::open(Mode mode)
{
    window = new FrmDjYh(ts->services, *navigator, mode);
    window->show();
    // Shortcuts reach the active window only.
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowActive(window))
        return nullptr;
    window->Form_Activate();
    for (int i = 0; i < 2 && window->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(okButton(window), Qt::LeftButton);
    return window->setupStep() == PrizeStep::Ready ? window.data() : nullptr;
}

void tst_FrmDjYhVoid::roll(FrmDjYh* w)
{
    for (int ticks = 0; w->isRolling() && ticks < 100; ++ticks)
        w->Timer1_Timer();
}

void tst_FrmDjYhVoid::awardPengJun(FrmDjYh* w)
{
    if (w->drawSession().fixedPerson()) {
        ts->random.picks = std::deque<int>(28, 5); // a ticket of row 5
        MnMd(w, 3)->trigger();
    } else {
        ts->random.picks = std::deque<int>(28, 4);
        MnDj(w, 2)->trigger();
    }
    roll(w);
}

void tst_FrmDjYhVoid::pressVoid(FrmDjYh* w, MessageAnswer answer)
{
    ts->messages.answers.push_back(answer);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
}

void tst_FrmDjYhVoid::item_lastOfTheListMenu_enabledWhileAnAwardStands()
{
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(w);
    QCOMPARE(voidItem(w)->text(), QStringLiteral("作废重抽"));
    // Right after the last item of the list menu, which keep their places;
    // the right-button menus lack it.
    QCOMPARE(topMenu(w, 0)->actions().indexOf(MnSz(w, 8)), 8);
    QCOMPARE(topMenu(w, 0)->actions().indexOf(voidItem(w)), 9);
    QVERIFY(!MnSz(w, 0)->menu()->actions().contains(voidItem(w)));
    QVERIFY(!MnSz(w, 1)->menu()->actions().contains(voidItem(w)));
    QVERIFY(!voidItem(w)->isEnabled());
    pressVoid(w, MessageAnswer::Yes);
    QVERIFY(ts->messages.shown.empty()); // nothing stands: not even asked
    ts->messages.answers.clear();
    awardPengJun(w);
    QVERIFY(voidItem(w)->isEnabled());
}

void tst_FrmDjYhVoid::fixedPrize_voidRestoresEverything_thenRedrawsTheSamePrize()
{
    const QJsonObject before = sheetCells();
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    awardPengJun(w);
    QCOMPARE(lstHj(w)->item(1)->text(), QStringLiteral("1  4\r\n彭军获三等奖,笔记本"));
    QCOMPARE(sheetCells().value("24,3").toString(), QStringLiteral("三等奖"));

    ts->random.picks = std::deque<int>(28, 1);
    pressVoid(w, MessageAnswer::Yes);
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    QCOMPARE(ts->messages.shown[0].buttons, MessageButtons::YesNo);
    QVERIFY2(ts->messages.shown[0].text.contains(QStringLiteral("4 彭军")),
             qPrintable(ts->messages.shown[0].text));
    // Saved before the redraw rolls: the sheet exactly as before the award.
    QCOMPARE(sheetCells(), before);
    const auto events = voidedEvents(*ts);
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(events[0].window, QStringLiteral("定奖摇号"));
    QCOMPARE(events[0].subject, QStringLiteral("三等奖 笔记本"));
    QCOMPARE(events[0].result, QStringLiteral("4\r\n彭军")); // as the draw recorded it
    QVERIFY(w->isRolling());                                 // the same prize again
    QVERIFY(lstHj(w)->count() == 0);
    QVERIFY(!inPool(w, kPengJun));
    roll(w);

    const QJsonObject after = sheetCells();
    QCOMPARE(after.value("5,6").toDouble(), 1.0);
    QCOMPARE(after.value("5,7").toString(), QStringLiteral("1\r\n郭文诗"));
    QCOMPARE(after.value("21,3").toString(), QStringLiteral("三等奖"));
    QVERIFY(!after.contains("24,3") && !after.contains("24,4"));
    QCOMPARE(lstHj(w)->count(), 2);
    QCOMPARE(lstHj(w)->item(1)->text(), QStringLiteral("1  1\r\n郭文诗获三等奖,笔记本"));
    QCOMPARE(w->drawSession().sheet().prizes[2].remaining, 4);
    // 彭军 never comes up again in this window, refresh or not.
    QTest::keyClick(w, Qt::Key_F5);
    QVERIFY(!inPool(w, kPengJun));
    QCOMPARE(w->drawSession().pool().size(), 38);
}

void tst_FrmDjYhVoid::fixedPerson_voidOnlyRestores_ticketBack_personOut()
{
    const QJsonObject before = sheetCells();
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(w);
    awardPengJun(w);
    QCOMPARE(w->drawSession().pool().size(), 35);
    QVERIFY(!MnMd(w, 3)->isEnabled());
    const QJsonObject awarded = sheetCells();
    voidItem(w)->trigger();
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    QCOMPARE(sheetCells(), awarded); // answered No by default: nothing yet
    ts->messages.answers.push_back(MessageAnswer::Yes);
    voidItem(w)->trigger();
    QCOMPARE(sheetCells(), before);
    QVERIFY(!w->isRolling());
    QCOMPARE(w->drawSession().pool().size(), 36); // the ticket is back
    QCOMPARE(lstHj(w)->count(), 0);
    QVERIFY(!MnMd(w, 3)->isEnabled());
    for (int i = 0; i < cmbMd(w)->count(); ++i)
        QVERIFY(cmbMd(w)->itemText(i) != QStringLiteral("4 彭军"));
    QCOMPARE(w->drawSession().sheet().prizes[2].remaining, 5);
    QVERIFY(!voidItem(w)->isEnabled());
}

void tst_FrmDjYhVoid::declined_changesNothing()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    awardPengJun(w);
    const QJsonObject awarded = sheetCells();
    pressVoid(w, MessageAnswer::No);
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    QCOMPARE(sheetCells(), awarded);
    QVERIFY(voidedEvents(*ts).empty());
    QCOMPARE(lstHj(w)->count(), 2);
    QVERIFY(!w->isRolling());
    QVERIFY(voidItem(w)->isEnabled());
}

void tst_FrmDjYhVoid::twoVoidsInARow_restoreBothAwards()
{
    const QJsonObject before = sheetCells();
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(w);
    awardPengJun(w);
    ts->random.picks = std::deque<int>(28, 1); // 一等奖 台灯
    MnMd(w, 0)->trigger();
    roll(w);
    QCOMPARE(sheetCells().value("3,6").toDouble(), 1.0);
    pressVoid(w, MessageAnswer::Yes);
    // The newest first: 郭文诗's 台灯.
    QVERIFY(ts->messages.shown.back().text.contains(QStringLiteral("1 郭文诗")));
    QCOMPARE(sheetCells().value("3,6").toDouble(), 0.0);
    QCOMPARE(sheetCells().value("24,3").toString(), QStringLiteral("三等奖"));
    pressVoid(w, MessageAnswer::Yes);
    QCOMPARE(sheetCells(), before);
    QCOMPARE(lstHj(w)->count(), 0);
    QCOMPARE(w->drawSession().pool().size(), 36);
    QVERIFY(!MnMd(w, 0)->isEnabled() && !MnMd(w, 3)->isEnabled());
    QVERIFY(!voidItem(w)->isEnabled());
}

void tst_FrmDjYhVoid::failedSave_keepsTheVoidPending_andAppliesItOnce()
{
    const QJsonObject before = sheetCells();
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(w);
    awardPengJun(w);
    const QJsonObject awarded = sheetCells();
    lockBook(ts->folder.path());
    pressVoid(w, MessageAnswer::Yes);
    QCOMPARE(ts->messages.shown.size(), size_t(2));
    QCOMPARE(ts->messages.shown[1].title, QStringLiteral("错误"));
    QCOMPARE(sheetCells(), awarded);
    QVERIFY(w->hasUnsavedAward());
    unlockBook(ts->folder.path());
    // 写: the waiting change is saved, once.
    QTest::mouseClick(namedPart<QToolButton>(w, QStringLiteral("imgXie")), Qt::LeftButton);
    QCOMPARE(sheetCells(), before);
    QVERIFY(!w->hasUnsavedAward());
    QTest::keyClick(w, Qt::Key_F5);
    QCOMPARE(sheetCells(), before);
    QCOMPARE(ts->messages.shown.size(), size_t(2));
}

void tst_FrmDjYhVoid::cellChangedElsewhere_isRefused_andTheAwardStands()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    awardPengJun(w);
    QTest::qWait(20);
    {
        xls::Workbook other = xls::Workbook::open(book().toStdU16String());
        other.setText(3, 5, 7, "4\r\n彭军,9\r\n别人");
        other.save();
    }
    const QJsonObject changed = sheetCells();
    pressVoid(w, MessageAnswer::Yes);
    QCOMPARE(ts->messages.shown.size(), size_t(2));
    QVERIFY2(ts->messages.shown[1].text.contains(QStringLiteral("抽奖品!G5")),
             qPrintable(ts->messages.shown[1].text));
    QCOMPARE(sheetCells(), changed);
    QCOMPARE(lstHj(w)->count(), 2);
    QVERIFY(!w->isRolling());
}

void tst_FrmDjYhVoid::reset_letsTheVoidedWinAgain()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    awardPengJun(w);
    ts->random.picks = std::deque<int>(28, 1);
    pressVoid(w, MessageAnswer::Yes);
    roll(w);
    QVERIFY(!inPool(w, kPengJun) && !inPool(w, kGuo));
    ts->messages.answers.push_back(MessageAnswer::Yes);
    QTest::keyClick(w, Qt::Key_F6);
    QVERIFY(inPool(w, kPengJun) && inPool(w, kGuo));
    QCOMPARE(w->drawSession().pool().size(), 40);
    QVERIFY(!voidItem(w)->isEnabled());
}

QTEST_MAIN(tst_FrmDjYhVoid)
#include "tst_FrmDjYhVoid.moc"
