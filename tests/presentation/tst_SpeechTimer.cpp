#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"

#include "Fakes.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

Q_DECLARE_METATYPE(zelvano::SpeechTimerConfig)

class tst_SpeechTimer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls_carryCaptionsListsAndAccessibleNames_data();
    void controls_carryCaptionsListsAndAccessibleNames();
    void countDownFromFive_stepsToZeroThenStopsWithEndCue();
    void cues_followWindow_data();
    void cues_followWindow();
    void timeZero_stopsAtFirstTickOnZero();
    void countUpOneMinute_endsOnOneMinute();
    void twoAndAHalfMinutes_runsTwoMinutes();
    void stopByHandAtThirtySeconds_restartBeginsAtFullMinute();
    void tenHours_clampedToLongestRun();
    void negativeTime_stopsAtFirstTickWithEndCue();
    void unitChangedWhileRunning_waitsForNextStart();
    void modeChangedWhileRunning_switchesDisplayAtNextTick();
    void runAcrossMidnight_countsOnMonotonicClock();
    void unitChosenInCombo_greysItsMenuItem();
    void unitChosenInMenu_selectsItInCombo();
    void modeListAndMenu_keptInStep_data();
    void modeListAndMenu_keptInStep();
    void leftClickOnDisplay_togglesAndRightClickPopsUpMenu();
    void plusMinus_stepTimeBoxAndClampAtEnds();
    void plusMinus_onScoreBox();
    void numberBox_keepsOnlyNumberKeys();
    void numberBox_lostFocusKeepsDecimalValue();
    void drawCancelsRunningTimerSilently_andRearms();
    void barButton_togglesTimerPanel();
    void settingsPanel_opensFromMenuAndClosesWithOkOrCross();
    void settings_appliedAndReadBack();
    void settings_outOfRange_selectFirstEntries();
    void shortcuts_followWindow_data();
    void shortcuts_followWindow();

private:
    void build(const SpeechTimerConfig& config);
    void tickAfter(int ms);
    QStringList runTicks(int stepMs, int maxTicks);

    std::unique_ptr<QWidget> host;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<RecordingSound> sound;
    AppServices services;
    SpeechTimer* timer = nullptr;
};

void tst_SpeechTimer::init()
{
    clock = std::make_unique<FakeClock>();
    sound = std::make_unique<RecordingSound>();
    services = AppServices{};
    services.clock = clock.get();
    services.sound = sound.get();
    build(SpeechTimerConfig::numberDraw());
}

void tst_SpeechTimer::build(const SpeechTimerConfig& config)
{
    host = std::make_unique<QWidget>();
    host->resize(1280, 800);
    timer = new SpeechTimer(services, config, host.get());
}

void tst_SpeechTimer::cleanup()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
    for (QWidget* popup = QApplication::activePopupWidget(); popup;
         popup = QApplication::activePopupWidget())
        popup->close();
    host.reset();
}

void tst_SpeechTimer::tickAfter(int ms)
{
    clock->nowMs += ms;
    timer->timJs_Timer();
}

// Ticks every stepMs until the timer stops; the display after each tick.
QStringList tst_SpeechTimer::runTicks(int stepMs, int maxTicks)
{
    QStringList shown;
    for (int i = 0; i < maxTicks && timer->isRunning(); ++i) {
        tickAfter(stepMs);
        shown << timer->lblSj()->text();
    }
    return shown;
}

void tst_SpeechTimer::controls_carryCaptionsListsAndAccessibleNames_data()
{
    QTest::addColumn<SpeechTimerConfig>("config");
    QTest::addColumn<QString>("hint");
    QTest::newRow("number window")
        << SpeechTimerConfig::numberDraw() << QStringLiteral("* 倒计时还是正计时。");
    QTest::newRow("classroom window")
        << SpeechTimerConfig::classroom() << QStringLiteral("* 是倒计时还是正计时。");
}

void tst_SpeechTimer::controls_carryCaptionsListsAndAccessibleNames()
{
    QFETCH(SpeechTimerConfig, config);
    QFETCH(QString, hint);
    build(config);

    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:00"));
    QVERIFY(timer->lblSj()->font().bold());
    QCOMPARE(timer->lblSj()->font().pointSize(), 42);
    QCOMPARE(timer->cmbFs1()->currentText(), QStringLiteral("5"));
    QStringList items;
    for (int i = 0; i < timer->cmbFs1()->count(); ++i)
        items << timer->cmbFs1()->itemText(i);
    QCOMPARE(items, (QStringList{"5", "4", "3", "2", "1", "10", "20", "30", "40", "50"}));
    QCOMPARE(timer->cmbJsDw()->itemText(2), QStringLiteral("时"));
    QCOMPARE(timer->cmbJsFs()->itemText(1), QStringLiteral("正计时"));
    QCOMPARE(timer->Command1(2)->text(), QStringLiteral("+"));
    QCOMPARE(timer->Command1(3)->text(), QStringLiteral("-"));
    QCOMPARE(timer->Label3()->text(), QStringLiteral("计时"));
    QCOMPARE(timer->imgJs()->toolTip(), QStringLiteral("开始计时"));
    QCOMPARE(timer->imgJs0()->toolTip(), QStringLiteral("开始计时"));
    QCOMPARE(timer->cmdOk2()->text(), QStringLiteral("确定"));
    QCOMPARE(timer->lblClose2()->text(), QStringLiteral("×"));
    QCOMPARE(timer->lblFangshi()->text(), QStringLiteral("方式"));
    QStringList panelTexts;
    for (QLabel* label : timer->fraJs()->findChildren<QLabel*>())
        panelTexts << label->text();
    QVERIFY(panelTexts.contains(QStringLiteral("计时设置")));
    QVERIFY(panelTexts.contains(hint));
    QVERIFY(panelTexts.contains(QStringLiteral("* 默认时间是多少。")));
    QCOMPARE(timer->modeMenu()->title(), QStringLiteral("计时方式(&J)"));
    QCOMPARE(timer->unitMenu()->title(), QStringLiteral("时间单位(&D)"));
    QCOMPARE(timer->settingsAction()->text(), QStringLiteral("计时设置"));
    QCOMPARE(timer->timJs()->interval(), 500);
    QVERIFY(!timer->timJs()->isActive());

    for (QAbstractButton* button : host->findChildren<QAbstractButton*>())
        QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    for (QComboBox* box : host->findChildren<QComboBox*>())
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
}

void tst_SpeechTimer::countDownFromFive_stepsToZeroThenStopsWithEndCue()
{
    timer->imgJs()->click();
    QVERIFY(timer->isRunning());
    QVERIFY(timer->timJs()->isActive());
    QCOMPARE(timer->imgJs()->toolTip(), QStringLiteral("暂停计时"));
    QCOMPARE(timer->startAction()->text(), QStringLiteral("暂停计时"));
    QCOMPARE(sound->played, QStringList{QStringLiteral("sound\\start.wav")});

    const QStringList shown = runTicks(500, 40);
    QCOMPARE(shown.first(), QStringLiteral("00:00:05"));
    QCOMPARE(shown.last(), QStringLiteral("00:00:00"));
    QCOMPARE(shown.size(), 10);
    QVERIFY(shown.contains(QStringLiteral("00:00:03")));

    QVERIFY(!timer->isRunning());
    QVERIFY(!timer->timJs()->isActive());
    QCOMPARE(timer->imgJs()->toolTip(), QStringLiteral("开始计时"));
    QCOMPARE(timer->startAction()->text(), QStringLiteral("开始计时"));
    QCOMPARE(sound->played,
             (QStringList{"sound\\start.wav", "sound\\type.wav", "sound\\type.wav"}));
}

void tst_SpeechTimer::cues_followWindow_data()
{
    QTest::addColumn<SpeechTimerConfig>("config");
    QTest::addColumn<QString>("stopCue");
    QTest::addColumn<QString>("endCue");
    QTest::newRow("number window")
        << SpeechTimerConfig::numberDraw() << QStringLiteral("sound\\type.wav")
        << QStringLiteral("sound\\type.wav");
    QTest::newRow("classroom window")
        << SpeechTimerConfig::classroom() << QStringLiteral("sound\\start.wav")
        << QStringLiteral("sound\\over.wav");
}

void tst_SpeechTimer::cues_followWindow()
{
    QFETCH(SpeechTimerConfig, config);
    QFETCH(QString, stopCue);
    QFETCH(QString, endCue);
    build(config);

    timer->imgJs_Click();
    tickAfter(1500);
    timer->imgJs_Click();
    QCOMPARE(sound->played, (QStringList{"sound\\start.wav", stopCue}));

    sound->played.clear();
    timer->imgJs_Click();
    runTicks(500, 40);
    QCOMPARE(sound->played, (QStringList{"sound\\start.wav", stopCue, endCue}));
    QCOMPARE(sound->played.last(), endCue); // the cue heard at time-out
}

void tst_SpeechTimer::timeZero_stopsAtFirstTickOnZero()
{
    timer->cmbFs1()->setEditText(QStringLiteral("0"));
    timer->imgJs_Click();
    tickAfter(500);
    QVERIFY(!timer->isRunning());
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
}

void tst_SpeechTimer::countUpOneMinute_endsOnOneMinute()
{
    timer->MnJsFs_Click(1);
    timer->MnJsDw_Click(1);
    timer->cmbFs1()->setEditText(QStringLiteral("1"));
    timer->imgJs_Click();
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:00"));
    tickAfter(30'000);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:30"));
    const QStringList rest = runTicks(500, 200);
    QVERIFY(!timer->isRunning());
    QCOMPARE(rest.last(), QStringLiteral("00:01:00"));
    QCOMPARE(rest.at(rest.size() - 2), QStringLiteral("00:00:59"));
}

void tst_SpeechTimer::twoAndAHalfMinutes_runsTwoMinutes()
{
    timer->cmbFs1()->setEditText(QStringLiteral("2.5"));
    timer->selectUnit(1);
    timer->imgJs_Click();
    QCOMPARE(timer->durationSeconds(), 120);
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:02:00"));
}

void tst_SpeechTimer::stopByHandAtThirtySeconds_restartBeginsAtFullMinute()
{
    timer->selectUnit(1);
    timer->cmbFs1()->setEditText(QStringLiteral("1"));
    timer->lblSj_Click();
    tickAfter(30'000);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:30"));
    timer->lblSj_Click();
    QVERIFY(!timer->isRunning());
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:30")); // keeps its last value
    clock->nowMs += 10'000;
    timer->startAction()->trigger();
    QVERIFY(timer->isRunning());
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:01:00"));
}

void tst_SpeechTimer::tenHours_clampedToLongestRun()
{
    timer->selectUnit(2);
    timer->cmbFs1()->setEditText(QStringLiteral("10"));
    timer->imgJs_Click();
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("09:06:07"));
    tickAfter(32'766'000);
    QVERIFY(timer->isRunning());
    tickAfter(500);
    QVERIFY(!timer->isRunning());
}

void tst_SpeechTimer::negativeTime_stopsAtFirstTickWithEndCue()
{
    timer->cmbFs1()->setEditText(QStringLiteral("-5"));
    timer->imgJs_Click();
    tickAfter(500);
    QVERIFY(!timer->isRunning());
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:00"));
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
}

void tst_SpeechTimer::unitChangedWhileRunning_waitsForNextStart()
{
    timer->imgJs_Click();
    timer->MnJsDw_Click(2);
    timer->cmbFs1()->setEditText(QStringLiteral("3"));
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:05"));
    timer->imgJs_Click();
    timer->imgJs_Click();
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("03:00:00"));
}

void tst_SpeechTimer::modeChangedWhileRunning_switchesDisplayAtNextTick()
{
    timer->cmbFs1()->setEditText(QStringLiteral("50"));
    timer->imgJs_Click();
    tickAfter(20'000);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:30"));
    timer->MnJsFs_Click(1);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:30"));
    tickAfter(500);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:20"));
}

void tst_SpeechTimer::runAcrossMidnight_countsOnMonotonicClock()
{
    clock->secondsOfDay = 86'395.0; // 23:59:55
    timer->cmbFs1()->setEditText(QStringLiteral("20"));
    timer->imgJs_Click();
    clock->secondsOfDay = 5.0; // the wall clock wrapped; the timer must not care
    tickAfter(10'000);
    QCOMPARE(timer->lblSj()->text(), QStringLiteral("00:00:10"));
    QVERIFY(timer->isRunning());
    tickAfter(10'000);
    QVERIFY(!timer->isRunning());
}

void tst_SpeechTimer::unitChosenInCombo_greysItsMenuItem()
{
    QVERIFY(!timer->MnJsDw(0)->isEnabled());
    timer->cmbJsDw()->setCurrentIndex(1);
    emit timer->cmbJsDw()->activated(1); // what a person's choice delivers
    QCOMPARE(timer->timerUnit(), 1);
    QVERIFY(timer->MnJsDw(0)->isEnabled());
    QVERIFY(!timer->MnJsDw(1)->isEnabled());
    QVERIFY(timer->MnJsDw(2)->isEnabled());
}

void tst_SpeechTimer::unitChosenInMenu_selectsItInCombo()
{
    timer->MnJsDw(2)->trigger();
    QCOMPARE(timer->cmbJsDw()->currentText(), QStringLiteral("时"));
    QCOMPARE(timer->timerUnit(), 2);
    QVERIFY(!timer->MnJsDw(2)->isEnabled());
    QVERIFY(timer->MnJsDw(0)->isEnabled());
    QVERIFY(timer->MnJsDw(1)->isEnabled());
}

void tst_SpeechTimer::modeListAndMenu_keptInStep_data()
{
    QTest::addColumn<SpeechTimerConfig>("config");
    QTest::newRow("number window: combo does the work") << SpeechTimerConfig::numberDraw();
    QTest::newRow("classroom window: menu does the work") << SpeechTimerConfig::classroom();
}

void tst_SpeechTimer::modeListAndMenu_keptInStep()
{
    QFETCH(SpeechTimerConfig, config);
    build(config);
    QCOMPARE(timer->timerMode(), 0);
    QVERIFY(!timer->MnJsFs(0)->isEnabled());

    timer->cmbJsFs()->setCurrentIndex(1);
    emit timer->cmbJsFs()->activated(1);
    QCOMPARE(timer->timerMode(), 1);
    QVERIFY(timer->MnJsFs(0)->isEnabled());
    QVERIFY(!timer->MnJsFs(1)->isEnabled());

    timer->MnJsFs(0)->trigger();
    QCOMPARE(timer->timerMode(), 0);
    QCOMPARE(timer->cmbJsFs()->currentIndex(), 0);
    QVERIFY(!timer->MnJsFs(0)->isEnabled());
    QVERIFY(timer->MnJsFs(1)->isEnabled());

    // Choosing the current mode again changes nothing.
    emit timer->cmbJsFs()->activated(0);
    QCOMPARE(timer->timerMode(), 0);
    QVERIFY(!timer->MnJsFs(0)->isEnabled());
    QVERIFY(timer->MnJsFs(1)->isEnabled());
}

#include "tst_SpeechTimerInput.inc"

QTEST_MAIN(tst_SpeechTimer)
#include "tst_SpeechTimer.moc"
