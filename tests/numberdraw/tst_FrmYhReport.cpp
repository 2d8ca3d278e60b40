// The number and seat window's draw record and result read aloud, driven as
// a teacher does: clicks on the big label, menu items through their actions.
#include "drawrecord/logic/DrawRecordFile.h"
#include "numberdraw/FrmYh.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/gui/ModeNavigator.h"

#include "FrmYhParts.h"
#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmYhReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawAtRest_recordsOneLinePerDraw_data();
    void drawAtRest_recordsOneLinePerDraw();
    void rollingDraw_spokenOnceAfterTheRoll_neverDuringIt();
    void nextDraw_cutsTheAnnouncementOff();
    void voiceItem_keptInOwnSettingsFile();
    void noEngine_voiceItemGreyedWithReason();
    void recordItem_listsTodaysDrawsNewestFirst_andOpensFolder();
    void newItems_comeAfterEveryExistingItem();

private:
    FrmYh* open(Mode mode);
    QAction* item(FrmYh* w, const char* name) const;
    void drawAndRest(FrmYh* w);

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmYh> window;
};

void tst_FrmYhReport::init()
{
    ts = std::make_unique<TestServices>();
    ts->services.appDir = QStringLiteral(ZELVANO_APP_DIR);
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmYhReport::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

// Opens the window and closes its three setup panels with their buttons.
FrmYh* tst_FrmYhReport::open(Mode mode)
{
    window = new FrmYh(ts->services, *navigator, mode);
    window->show();
    click(window, "cmdOk0");
    click(window, "cmdOk1");
    QTest::mouseClick(window->speechTimer().cmdOk2(), Qt::LeftButton);
    [&] { QCOMPARE(window->lblXm()->text(), QStringLiteral("单击\r\n摇号")); }();
    return window;
}

QAction* tst_FrmYhReport::item(FrmYh* w, const char* name) const
{
    return w->findChild<QAction*>(QLatin1String(name));
}

// A click on the big label, then the rolling display's ticks until rest.
void tst_FrmYhReport::drawAndRest(FrmYh* w)
{
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    for (int tick = 0; w->isRolling() && tick < 100; ++tick)
        w->Timer1_Timer();
}

void tst_FrmYhReport::drawAtRest_recordsOneLinePerDraw_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("rolls");
    QTest::addColumn<QString>("shownIn");
    QTest::newRow("numbers, rolling") << 1 << true << QStringLiteral("摇号码");
    QTest::newRow("numbers, at once") << 1 << false << QStringLiteral("摇号码");
    QTest::newRow("seats, rolling") << 2 << true << QStringLiteral("摇座位");
}

void tst_FrmYhReport::drawAtRest_recordsOneLinePerDraw()
{
    QFETCH(int, mode);
    QFETCH(bool, rolls);
    QFETCH(QString, shownIn);
    FrmYh* w = open(modeAt(mode));
    if (w->MnFs(2)->isChecked() != rolls)
        w->MnFs(2)->trigger();
    const int pool = w->session().poolSize();
    drawAndRest(w);
    QVERIFY(ts->drawLog.events.size() == 1);
    drawAndRest(w);
    QCOMPARE(ts->drawLog.events.size(), size_t(2));
    const DrawEvent& first = ts->drawLog.events[0];
    QCOMPARE(first.kind, DrawEventKind::Draw);
    QCOMPARE(first.window, shownIn);
    QCOMPARE(first.poolBefore, pool);
    QCOMPARE(ts->drawLog.events[1].poolBefore, pool - 1);
    QCOMPARE(ts->drawLog.events[1].result, w->lblXm()->text());
}

void tst_FrmYhReport::rollingDraw_spokenOnceAfterTheRoll_neverDuringIt()
{
    FrmYh* w = open(Mode::NumberDraw);
    item(w, "MnVoice")->trigger();
    QVERIFY(w->MnFs(2)->isChecked());
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QVERIFY(w->isRolling());
    int ticks = 0;
    while (w->isRolling() && ticks < 100) {
        QVERIFY2(ts->voice.said.isEmpty(), "spoken during the roll");
        w->Timer1_Timer();
        ++ticks;
    }
    QCOMPARE(ts->voice.said, QStringList{w->lblXm()->text()});
    QVERIFY(ts->drawLog.events.size() == 1);
}

void tst_FrmYhReport::nextDraw_cutsTheAnnouncementOff()
{
    FrmYh* w = open(Mode::NumberDraw);
    item(w, "MnVoice")->trigger();
    w->MnFs(2)->trigger(); // draws at once
    QVERIFY(!w->MnFs(2)->isChecked());
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QCOMPARE(ts->voice.said.size(), 1);
    const int stops = ts->voice.stops;
    w->MnJs(0)->trigger(); // "下一个"
    QVERIFY(ts->voice.stops > stops);
    QCOMPARE(ts->voice.said.size(), 2);
    QCOMPARE(ts->voice.said.last(), w->lblXm()->text());
}

void tst_FrmYhReport::voiceItem_keptInOwnSettingsFile()
{
    FrmYh* w = open(Mode::NumberDraw);
    QAction* voice = item(w, "MnVoice");
    QVERIFY(voice->isCheckable() && voice->isEnabled() && !voice->isChecked());
    voice->trigger();
    QVERIFY(voice->isChecked());
    delete w;

    QFile ini(ts->folder.file(QStringLiteral("zelvano.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    QVERIFY2(text.contains(QStringLiteral("[voice]")) &&
                 text.contains(QStringLiteral("announceResults=true")),
             qPrintable(text));

    FrmYh* again = open(Mode::SeatDraw);
    QVERIFY(item(again, "MnVoice")->isChecked());
    drawAndRest(again);
    QCOMPARE(ts->voice.said.size(), 1);
}

void tst_FrmYhReport::noEngine_voiceItemGreyedWithReason()
{
    ts->voice.reason = QStringLiteral("没有中文语音");
    FrmYh* w = open(Mode::NumberDraw);
    QAction* voice = item(w, "MnVoice");
    QVERIFY(!voice->isEnabled());
    QCOMPARE(voice->toolTip(), QStringLiteral("没有中文语音"));
    drawAndRest(w);
    QVERIFY(ts->voice.said.isEmpty());
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
}

void tst_FrmYhReport::recordItem_listsTodaysDrawsNewestFirst_andOpensFolder()
{
    DrawRecordFile record(ts->folder.path(), ts->messages, ts->clock);
    ts->services.drawLog = &record;
    FrmYh* w = open(Mode::NumberDraw);
    if (w->MnFs(2)->isChecked())
        w->MnFs(2)->trigger();
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(w->lblXm(), Qt::LeftButton);
        shown.prepend(w->lblXm()->text());
        ts->clock.secondsOfDay += 1;
    }
    item(w, "MnRecord")->trigger();
    auto* list = w->findChild<QWidget*>(QStringLiteral("DrawRecordWindow"));
    QVERIFY(list && list->isVisible());
    auto* table = list->findChild<QTableWidget*>(QStringLiteral("lstRecord"));
    QCOMPARE(table->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(table->item(row, 1)->text(), QStringLiteral("摇号码"));
        QCOMPARE(table->item(row, 4)->text(), shown[row]);
    }
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("2026-03-05 10:00:02"));
    click(list, "cmdOpenFolder");
    QCOMPARE(ts->folderOpener.opened, QStringList{ts->folder.path()});
    click(list, "cmdClose");
    QTRY_VERIFY(!w->findChild<QWidget*>(QStringLiteral("DrawRecordWindow")));
}

void tst_FrmYhReport::newItems_comeAfterEveryExistingItem()
{
    FrmYh* w = open(Mode::NumberDraw);
    QMenu* names = qobject_cast<QMenu*>(w->MnHm(0)->parent());
    QVERIFY(names);
    QCOMPARE(names->actions().last(), item(w, "MnRecord"));
    QCOMPARE(names->actions().indexOf(w->MnHm(2)), 2);
    QMenu* format = w->displayFormat().MnGeShi();
    QCOMPARE(format->actions().last(), item(w, "MnVoice"));
    QCOMPARE(format->actions().indexOf(w->displayFormat().MnGs(0)), 0);
}

QTEST_MAIN(tst_FrmYhReport)
#include "tst_FrmYhReport.moc"
