#include "numberdraw/FrmYh.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"

#include "FrmYhParts.h"
#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <set>

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmYh : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void open_numberMode_buildsRangeAndValueMenu();
    void setup_panelsInOrder_enableDrawing();
    void setup_panelsOutOfOrder_onlyHide();
    void boundChangedAfterSetup_blocksDrawingUntilPanelsClosedAgain();
    void nonNumericBound_isReported();
    void unreasonableBounds_areRefusedAndListKept_data();
    void unreasonableBounds_areRefusedAndListKept();
    void longList_valueMenuIsSplitAndBuiltWhenOpened();
    void addBox_addsNewPositiveNumbers();
    void clearThenAdd_keepsHandMadeList();
    void drawsWithoutRepeat_showEachValueOncePerCycle();
    void rollingDraw_twentyEightPicksAndCues();
    void rollingDraw_ignoresClicksWhileRolling();
    void sequentialOrder_wrapsThroughGroups();
    void directChoice_greysItemAndTakesShownValueOut();
    void grouping_rejectsOutOfRangeInput();
    void seatMode_listCaptionAndComposition();
    void seatMode_emptyHall_reportsGroupingAndAsksAtDraw();
    void close_writesSettingsAndCompositionPerMode();
    void reset_thenClose_keepsDefaultsOfUnwrittenColumns();
    void everyClickableControl_hasAccessibleName();
    void setupPanels_fitTheSmallScreen();
    void shortcuts_workOnlyOnceSetupIsDone();
    void bigDisplay_fitsProjectorScreens_data();
    void bigDisplay_fitsProjectorScreens();

    // Real pointer and key input.
    void clockClick_startsTimerWithoutDrawing();
    void bigLabelClick_withoutRolling_drawsOnce();
    void clicksOnPanels_drawNothing_data();
    void clicksOnPanels_drawNothing();
    void arrowKeysInGroupList_showThatGroupsMembers();
    void enterOnBadBound_thenLeavingTheBox_tellsOnce();
    void reopenedGroupingPanel_keepsItsSizeAndCloseBox();
    void timerStartedDuringRoll_stopsWithIt();
    void startButton_hoverShowsOnlyTheRoundPicture();
    void emptiedList_groupBoxLeftForValuePanelClose_tellsOnce();
    void pressesLetGoElsewhere_drawNothing();
    void clickerKeys_drawFromTheStage_leaveBoxesAndLists_data();
    void clickerKeys_drawFromTheStage_leaveBoxesAndLists();
    void clickerB_blanksTheResultUntilTheNextDraw();
    void projectTo_fullScreenOnTheScreen_F11Toggles_rememberedAtNextOpen();

    // After the first setup (tst_FrmYhFlow.inc).
    void drawWithGroupingPanelUp_isShownRecordedAndTakenOut_data();
    void drawWithGroupingPanelUp_isShownRecordedAndTakenOut();
    void repeatSwitchedOnMidCycle_makesEveryValueDrawable();
    void sequentialOrder_passesEmptyPlaces_data();
    void sequentialOrder_passesEmptyPlaces();
    void clearedList_leavesNoOldGroupsToDraw();
    void enterOnFocusedOk_closesSetupPanel_data();
    void enterOnFocusedOk_closesSetupPanel();
    void setupOver_liesAsTheFirst_data();
    void setupOver_liesAsTheFirst();
    void drawAtRest_liesAsTheLayoutPutsIt_besideTheBarDraws_data();
    void drawAtRest_liesAsTheLayoutPutsIt_besideTheBarDraws();
    void storedBackground_keepsResultReadable();

private:
    FrmYh* open(Mode mode, QSize size = {});
    void finishSetup(FrmYh* window);
    QList<QRect> closeSetupPanels(FrmYh* w);
    void drawAndRest(FrmYh* w, bool rolls);
    QString setting(const char* column) { return ts->setting(column); }

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    ScriptedMessages* messages = nullptr;
    ScriptedRandom* random = nullptr;
    RecordingSound* sound = nullptr;
    RecordingProgramEnd* programEnd = nullptr;
    SettingsStore* settings = nullptr;
    AppServices* services = nullptr;
    QPointer<FrmYh> window;
};

void tst_FrmYh::init()
{
    ts = std::make_unique<TestServices>();
    ts->services.appDir = QStringLiteral(ZELVANO_APP_DIR); // the start-button pictures
    messages = &ts->messages;
    random = &ts->random;
    sound = &ts->sound;
    programEnd = &ts->programEnd;
    settings = ts->settings.get();
    services = &ts->services;
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(*services, *windows);
}

void tst_FrmYh::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmYh* tst_FrmYh::open(Mode mode, QSize size)
{
    window = new FrmYh(*services, *navigator, mode);
    window->show();
    if (size.isValid()) {
        window->resize(size);
        QApplication::processEvents();
    }
    return window;
}

void tst_FrmYh::finishSetup(FrmYh* w)
{
    w->cmdOk_Click(0);
    w->cmdOk_Click(1);
    w->cmdOk_Click(2);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("单击\r\n摇号"));
}

void tst_FrmYh::open_numberMode_buildsRangeAndValueMenu()
{
    FrmYh* w = open(Mode::NumberDraw);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zelvano >> 摇号码"));
    QCOMPARE(valueList(w)->count(), 48);
    QCOMPARE(valueList(w)->item(47)->text(), QStringLiteral("48"));
    QCOMPARE(w->session().values().size(), size_t(48));
    QVERIFY(w->MnXm(47) && w->MnXm(47)->isVisible());
    QCOMPARE(w->MnXm(0)->text(), QStringLiteral("1"));
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请编辑号码"));
    QVERIFY(panelOf(w, 0)->isVisible());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!topMenu(w, i)->isEnabled());
    QCOMPARE(w->txtXh(0)->text(), QStringLiteral("1"));
    QCOMPARE(addBox(w)->text(), QStringLiteral("1,2,3,4"));
}

void tst_FrmYh::setup_panelsInOrder_enableDrawing()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->cmdOk_Click(0);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置分组信息"));
    QVERIFY(panelOf(w, 1)->isVisible());
    QCOMPARE(groupList(w)->count(), 1);
    QCOMPARE(memberList(w)->count(), 48);
    QCOMPARE(summaryLine(w)->text(), QStringLiteral("48人分1组，第1组有48人"));
    w->lblClose_Click(1);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置计时和评分细则"));
    QVERIFY(w->speechTimer().fraJs()->isVisible());
    w->speechTimer().closeSettingsPanel();
    QCOMPARE(w->lblXm()->text(), QStringLiteral("单击\r\n摇号"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(topMenu(w, i)->isEnabled());
    QVERIFY(!w->MnSx(0)->isEnabled());
    QVERIFY(w->MnSx(1)->isEnabled());
    QVERIFY(w->imgOk()->isVisible());
}

void tst_FrmYh::setup_panelsOutOfOrder_onlyHide()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->cmdOk_Click(1);
    w->cmdOk_Click(2);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请编辑号码"));
    w->lblXm_Click();
    QVERIFY(sound->played.isEmpty());
}

void tst_FrmYh::boundChangedAfterSetup_blocksDrawingUntilPanelsClosedAgain()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->txtXh(1)->setText(QStringLiteral("10"));
    w->rangeEntry(1);
    QCOMPARE(valueList(w)->count(), 10);
    QVERIFY(!w->MnXm(10));
    w->lblXm_Click();
    QVERIFY(sound->played.isEmpty());
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    w->lblXm_Click();
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
}

void tst_FrmYh::nonNumericBound_isReported()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->txtXh(0)->setText(QStringLiteral("abc"));
    w->rangeEntry(0);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请检查数据的合理性")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("警告"));
    QCOMPARE(valueList(w)->count(), 48);
}

void tst_FrmYh::unreasonableBounds_areRefusedAndListKept_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("beyond 16 bits") << 1 << "1"
                                    << "40000";
    QTest::newRow("below 16 bits") << 1 << "-40000"
                                   << "5";
    QTest::newRow("list past 32767") << 1 << "-20000"
                                     << "20000";
    QTest::newRow("200 x 200 seats") << 2 << "200"
                                     << "200";
    QTest::newRow("empty bound") << 1 << "1"
                                 << "";
}

void tst_FrmYh::unreasonableBounds_areRefusedAndListKept()
{
    QFETCH(int, mode);
    QFETCH(QString, first);
    QFETCH(QString, second);
    FrmYh* w = open(modeAt(mode));
    const int before = valueList(w)->count();
    w->txtXh(0)->setText(first);
    w->txtXh(1)->setText(second);
    w->rangeEntry(1);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请检查数据的合理性")});
    QCOMPARE(valueList(w)->count(), before);
}

void tst_FrmYh::longList_valueMenuIsSplitAndBuiltWhenOpened()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->txtXh(1)->setText(QStringLiteral("30000"));
    w->rangeEntry(1);
    QCOMPARE(valueList(w)->count(), 30000);
    QCOMPARE(w->MnXm(29999)->text(), QStringLiteral("30000"));
    // The count may not grow past 32767 by the add box either.
    w->txtXh(1)->setText(QStringLiteral("32767"));
    w->rangeEntry(1);
    addBox(w)->setText(QStringLiteral("40000"));
    w->ImgZdy_Click(0);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请检查数据的合理性")});
    QCOMPARE(valueList(w)->count(), 32767);
}

void tst_FrmYh::addBox_addsNewPositiveNumbers()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->txtXh(0)->setText(QStringLiteral("10"));
    w->txtXh(1)->setText(QStringLiteral("12"));
    w->rangeEntry(1);
    addBox(w)->setText(QStringLiteral("5，6, 7,0,-3,abc,6"));
    w->ImgZdy_Click(0);
    QStringList items;
    for (int i = 0; i < valueList(w)->count(); ++i)
        items << valueList(w)->item(i)->text();
    QCOMPARE(items, QStringList({"10", "11", "12", "5", "6", "7"}));
    QCOMPARE(w->MnXm(5)->text(), QStringLiteral("7"));
}

void tst_FrmYh::clearThenAdd_keepsHandMadeList()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->ImgZdy_Click(2);
    QCOMPARE(w->txtXh(0)->text(), QStringLiteral("1"));
    QCOMPARE(w->txtXh(1)->text(), QStringLiteral("0"));
    addBox(w)->setText(QStringLiteral("100,200"));
    w->ImgZdy_Click(0);
    w->rangeEntry(0); // bounds unchanged since the last entry: the list stays
    QCOMPARE(valueList(w)->count(), 2);
    QCOMPARE(w->session().values(), (std::vector<QString>{"100", "200"}));
}

void tst_FrmYh::drawsWithoutRepeat_showEachValueOncePerCycle()
{
    settings->writeSetting(QStringLiteral("CMin"), QStringLiteral("1"), 0);
    settings->writeSetting(QStringLiteral("CMax"), QStringLiteral("5"), 0);
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    random->picks = {3, 1, 3, 2, 1, 4};
    std::multiset<QString> shown;
    for (int i = 0; i < 5; ++i) {
        w->lblXm_Click();
        shown.insert(w->lblXm()->text());
    }
    QCOMPARE(shown, (std::multiset<QString>{"1", "2", "3", "4", "5"}));
    QCOMPARE(w->session().poolSize(), 5);
    w->lblXm_Click();
    QCOMPARE(w->lblXm()->text(), QStringLiteral("4"));
    QVERIFY(messages->shown.empty());
    QVERIFY(random->reseeds >= 6);
}

void tst_FrmYh::rollingDraw_twentyEightPicksAndCues()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnFs(2)->setChecked(true);
    w->MnFs(1)->setChecked(false);
    w->lblXm_Click();
    QVERIFY(w->isRolling());
    QVERIFY(!w->imgOk()->isVisible());
    QCOMPARE(sound->played, QStringList{QStringLiteral("sound\\type0.wav")});
    QCOMPARE(w->speechTimer().lblSj()->text(), QStringLiteral("00:00:00"));
    int ticks = 0;
    while (w->isRolling() && ticks < 100) {
        w->Timer1_Timer();
        ++ticks;
    }
    QCOMPARE(ticks, 28);
    QCOMPARE(random->counts.size(), size_t(28));
    QCOMPARE(w->session().poolSize(), 47);
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
    QVERIFY(w->imgOk()->isVisible());
    QCOMPARE(w->speechTimer().imgJs()->toolTip(), QStringLiteral("开始计时"));
}

void tst_FrmYh::rollingDraw_ignoresClicksWhileRolling()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnFs(2)->setChecked(true);
    w->lblXm_Click();
    w->lblXm_Click();
    w->MnJs_Click(0);
    QCOMPARE(sound->played.size(), 1);
    QCOMPARE(random->counts.size(), size_t(0));
}

void tst_FrmYh::sequentialOrder_wrapsThroughGroups()
{
    settings->writeSetting(QStringLiteral("CMax"), QStringLiteral("6"), 0);
    FrmYh* w = open(Mode::NumberDraw);
    w->cmdOk_Click(0);
    groupBox(w, 0)->setText(QStringLiteral("3"));
    w->imgFz_Click(1);
    w->cmdOk_Click(1);
    w->cmdOk_Click(2);
    w->MnFs(2)->setChecked(false);
    w->MnSx_Click(1);
    QVERIFY(w->MnJs(1)->isVisible());
    QCOMPARE(w->lblXm()->text(), QStringLiteral("顺序\r\n点名"));
    QStringList shown;
    for (int i = 0; i < 7; ++i) {
        w->lblXm_Click();
        shown << w->lblXm()->text().section(QStringLiteral("\r\n"), -1);
    }
    // The grouping selects no member, so the first step shows member 1.
    QCOMPARE(shown, QStringList({"1", "2", "3", "4", "5", "6", "1"}));
    // Each value shown left the pool, whatever its position there.
    QCOMPARE(w->session().poolSize(), 5);
}

void tst_FrmYh::directChoice_greysItemAndTakesShownValueOut()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnXm_Click(9);
    QVERIFY(!w->MnXm(9)->isEnabled());
    QCOMPARE(w->lblXm()->text().section(QStringLiteral("\r\n"), -1), QStringLiteral("10"));
    QCOMPARE(w->session().poolSize(), 47);
    w->MnXm_Click(2);
    QVERIFY(w->MnXm(9)->isEnabled());
    QVERIFY(!w->MnXm(2)->isEnabled());
    QCOMPARE(w->session().poolSize(), 46);
}

void tst_FrmYh::grouping_rejectsOutOfRangeInput()
{
    settings->writeSetting(QStringLiteral("CMax"), QStringLiteral("10"), 0);
    FrmYh* w = open(Mode::NumberDraw);
    w->cmdOk_Click(0);
    groupBox(w, 0)->setText(QStringLiteral("6"));
    w->imgFz_Click(0);
    QCOMPARE(groupList(w)->count(), 6);
    groupList(w)->setCurrentRow(5); // moving the selection shows that group
    QCOMPARE(summaryLine(w)->text(), QStringLiteral("10人分6组，第6组有0人"));
    groupBox(w, 0)->setText(QStringLiteral("0"));
    w->imgFz_Click(1);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请输入正确的组数，值范围为[1~10]")});
    QCOMPARE(groupList(w)->count(), 6);
    w->OptFz_Click(1);
    groupBox(w, 1)->setText(QStringLiteral("abc"));
    w->applyGroupInput(1);
    QCOMPARE(messages->texts().last(), QStringLiteral("请输入每组的人数，值范围为[1~10]"));
}

void tst_FrmYh::seatMode_listCaptionAndComposition()
{
    settings->writeSetting(QStringLiteral("Dhs"), QStringLiteral("12"), 0);
    settings->writeSetting(QStringLiteral("Dls"), QStringLiteral("3"), 0);
    FrmYh* w = open(Mode::SeatDraw);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zelvano >> 抽座位"));
    QCOMPARE(valueList(w)->count(), 36);
    QCOMPARE(valueList(w)->item(4)->text(), QStringLiteral("2-2"));
    QCOMPARE(w->MnZh(0)->text(), QStringLiteral("座号"));
    QCOMPARE(compositionBox(w)->itemText(0), QStringLiteral("号码"));
    valueList(w)->setCurrentRow(35); // selecting a value previews it
    QCOMPARE(w->lblXm()->text(), QStringLiteral("12行\r\n3列"));
    finishSetup(w);
    w->MnZh_Click(0);
    w->MnFs(2)->setChecked(false);
    random->picks = {36};
    w->lblXm_Click();
    QCOMPARE(w->lblXm()->text(), QStringLiteral("12行\r\n3列"));
    QCOMPARE(chosenLine(w)->text(), QStringLiteral("第 1 组 36 号 ，12行3列"));
}

void tst_FrmYh::seatMode_emptyHall_reportsGroupingAndAsksAtDraw()
{
    settings->writeSetting(QStringLiteral("Dhs"), QStringLiteral("0"), 0);
    FrmYh* w = open(Mode::SeatDraw);
    QCOMPARE(valueList(w)->count(), 0);
    finishSetup(w);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请输入正确的组数，值范围为[1~0]")});
    messages->answers = {MessageAnswer::No};
    w->lblXm_Click();
    QCOMPARE(messages->texts().last(), QStringLiteral("所有人都抽到了，还要继续码？"));
    QCOMPARE(messages->shown.back().buttons, MessageButtons::YesNo);
    QVERIFY(sound->played.isEmpty());
}

void tst_FrmYh::close_writesSettingsAndCompositionPerMode()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnZh_Click(1);
    w->MnSx_Click(1);
    w->MnFs(1)->setChecked(true);
    w->MnFs(2)->setChecked(false);
    groupBox(w, 0)->setText(QStringLiteral("4组"));
    w->close();
    QCOMPARE(setting("CzhFs"), QStringLiteral("1"));
    QCOMPARE(setting("DzhFs"), QStringLiteral("0"));
    QCOMPARE(setting("Bsx"), QStringLiteral("1"));
    QCOMPARE(setting("BCf"), QStringLiteral("True"));
    QCOMPARE(setting("BGd"), QStringLiteral("False"));
    QCOMPARE(setting("Czs"), QStringLiteral("4"));
    QCOMPARE(setting("CMax"), QStringLiteral("48"));
    QCOMPARE(programEnd->calls, 1); // the close box ends the program

    FrmYh* seats = open(Mode::SeatDraw);
    QCOMPARE(compositionBox(seats)->currentIndex(), 0);
    seats->MnZh_Click(2);
    seats->close();
    QCOMPARE(setting("DzhFs"), QStringLiteral("2"));
    FrmYh* again = open(Mode::NumberDraw);
    QCOMPARE(compositionBox(again)->currentIndex(), 1);
    QVERIFY(!again->MnZh(1)->isEnabled());
}

void tst_FrmYh::reset_thenClose_keepsDefaultsOfUnwrittenColumns()
{
    settings->writeSetting(QStringLiteral("BzhFs"), QStringLiteral("0"), 0);
    settings->writeSetting(QStringLiteral("BTs"), QStringLiteral("False"), 1);
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    w->MnFs(1)->setChecked(true);
    w->MnFs_Click(4);
    QCOMPARE(setting("BCf"), QStringLiteral("False"));
    QCOMPARE(setting("BzhFs"), QStringLiteral("2"));
    w->close();
    QCOMPARE(setting("BzhFs"), QStringLiteral("2"));
    QCOMPARE(setting("BTs"), QStringLiteral("True"));
    QCOMPARE(setting("BCf"), QStringLiteral("True"));
}

void tst_FrmYh::everyClickableControl_hasAccessibleName()
{
    FrmYh* w = open(Mode::NumberDraw);
    finishSetup(w);
    const auto buttons = w->findChildren<QAbstractButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QAbstractButton* button : buttons) {
        if (button->objectName().startsWith(QLatin1String("qt_")))
            continue; // the toolkit's own menu-bar overflow button
        QVERIFY2(!button->accessibleName().isEmpty(),
                 qPrintable(button->objectName() + button->toolTip()));
    }
    for (auto* box : w->findChildren<QLineEdit*>()) {
        if (!qobject_cast<QComboBox*>(box->parent()))
            QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
    }
}

void tst_FrmYh::setupPanels_fitTheSmallScreen()
{
    FrmYh* w = open(Mode::NumberDraw);
    w->resize(1024, 768);
    QApplication::processEvents();
    const QString shots = QString::fromLocal8Bit(qgetenv("ZELVANO_SHOTS"));
    QWidget* canvas = w->centralWidget();
    auto check = [&](QWidget* panel, const char* name) {
        QVERIFY2(panel->isVisible(), name);
        QVERIFY2(canvas->rect().contains(panel->geometry()), name);
        QVERIFY2(!panel->geometry().intersects(w->lblXm()->geometry()), name);
        if (!shots.isEmpty())
            w->grab().save(QStringLiteral("%1/setup-%2.png").arg(shots, QLatin1String(name)));
    };
    check(panelOf(w, 0), "values");
    w->cmdOk_Click(0);
    check(panelOf(w, 1), "groups");
    w->cmdOk_Click(1);
    check(w->speechTimer().fraJs(), "timer");
}

void tst_FrmYh::shortcuts_workOnlyOnceSetupIsDone()
{
    FrmYh* w = open(Mode::NumberDraw);
    QVERIFY(QTest::qWaitForWindowActive(w));
    const int before = w->lblXm()->font().pointSize();
    QTest::keyClick(w, Qt::Key_F4);
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(!w->speechTimer().isRunning());
    QCOMPARE(w->lblXm()->font().pointSize(), before);
    finishSetup(w);
    QTest::keyClick(w, Qt::Key_F4);
    QVERIFY(w->speechTimer().isRunning());
    const int size = w->lblXm()->font().pointSize();
    QTest::keyClick(w, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w->lblXm()->font().pointSize(), int(size * 1.2));
}

void tst_FrmYh::bigDisplay_fitsProjectorScreens_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("3840x2160") << QSize(3840, 2160);
}

void tst_FrmYh::bigDisplay_fitsProjectorScreens()
{
    QFETCH(QSize, screen);
    settings->writeSetting(QStringLiteral("Dhs"), QStringLiteral("12"), 0);
    settings->writeSetting(QStringLiteral("Dls"), QStringLiteral("12"), 0);
    FrmYh* w = open(Mode::SeatDraw);
    finishSetup(w);
    w->resize(screen);
    QApplication::processEvents();
    w->MnZh_Click(2);
    w->MnFs(2)->setChecked(false);
    random->picks = {144};
    w->lblXm_Click();
    QWidget* canvas = w->centralWidget();
    const QRect label = w->lblXm()->geometry();
    QVERIFY2(canvas->rect().contains(label),
             qPrintable(QDebug::toString(label) + QDebug::toString(canvas->size())));
    QVERIFY(!label.intersects(w->speechTimer().lblSj()->geometry()));
    const QString shot = QString::fromLocal8Bit(qgetenv("ZELVANO_SHOTS"));
    if (!shot.isEmpty())
        w->grab().save(QStringLiteral("%1/frmyh-%2x%3.png")
                           .arg(shot)
                           .arg(screen.width())
                           .arg(screen.height()));
}

#include "tst_FrmYhFlow.inc"
#include "tst_FrmYhInput.inc"
QTEST_MAIN(tst_FrmYh)

#include "tst_FrmYh.moc"
