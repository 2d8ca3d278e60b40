#include "PrizeFixture.h"
#include "PrizeParts.h"
#include "WineSkips.h"

#include "draw/RollingDraw.h"
#include "presentation/DisplayFormat.h"
#include "prizedraw/FrmDjYh.h"
#include "prizedraw/logic/PrizePool.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/Workbook.h"
#include "shell/core/AppServices.h"
#include "shell/core/EntropyRandom.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/WindowsColour.h"

#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

// Ends nothing: the tests only look at what would have been ended.

const QString kSheet = QStringLiteral("抽奖品");
// LibreOffice on another computer holds the roll book (lockBook).
const QString kHeld =
    QStringLiteral("点名册.xls 正在被 LibreOffice Calc（host，电脑 FESTSAAL-PC）使用。"
                   "请在那里保存并关闭它，然后点“重试”。");

} // namespace

class tst_FrmDjYh : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Opening and start-up.
    void open_fixedPrize_captionWithoutNameBoxOrNamesMenu();
    void open_fixedPerson_captionWithoutPrizeMenu();
    void startUp_withNames_takesTwoConfirmations();
    void startUp_withoutNameList_takesOne();
    void missingRollBook_warnsAndEndsProgram();
    void workbookWithoutPrizeSheet_isToldWhy();
    void onePrizeRow_reportsEmptyRegion_andNothingDraws();
    void prizeRowsIntoRow21_readAsPrizesOnly_andHostIsTold();
    void emptyNameList_worksWithoutNames();
    void damagedRollBook_reportsDamage();

    // Draws.
    void fixedPrize_fourPeople_fifthStartEndsTheEvent();
    void fixedPrize_twoUnits_leaveChoiceListOnSecondDraw();
    void fixedPrize_F1BeforeChoice_popsUpPrizeLevels();
    void rolling_twentyEightPicks_andCues();
    void menusAndChoices_refusedWhileRolling();
    void fixedPerson_afterWinning_clickOffersNames();
    void fixedPerson_ticketOdds_followRemainingUnits();
    void fixedPerson_noNameList_recordsPrizeOnly();
    void pictures_missingBrokenHugeOrNarrow_neverFail();
    void fixedPrize_sharedLevel_drawsTheRowWithUnitsLeft();

    // Write-back, refresh and reset.
    void award_writesCells_readBackByEngineAndXlrd();
    void failedSave_thenTwoRetries_countsAwardOnce();
    void failedSave_thenNextAward_savesBoth();
    void refresh_rereadsSheet_andRestartsNumbering();
    void reset_clearsAwards_savesAndKeepsWinnersRecord();
    void rollBookMenu_showsPrizeSheet();
    void close_withAwardStillUnsaved_hostIsTold();
    void returnToMenu_savesSettingsAndShowsMenu();

    // Settings, format, names, screens.
    void storedColours_loadAndSave();
    void unusableSettings_fallBackToDefaults();
    void textSize_stepsAndFloor();
    void everyClickableControl_hasAccessibleName();
    void projectorScreens_data();
    void projectorScreens();
    void bigRollBook_awardWrittenAndSaved();

    // Real pointer input.
    void clicksBesideTheDisplay_drawNothing();
    void exhaustedPrize_oneClickTellsItAndTheNextOffersLevels();
    void resultLabels_speakTheShownText();
    void longTexts_stayClearOfTheSidePanel();
    void formatMenu_textSize_keptWhenTheDisplayChanges();

    // Before a hall.
    void namesAddedThenRefresh_winnerShownIsRecorded_data();
    void namesAddedThenRefresh_winnerShownIsRecorded();
    void reset_asksFirst_andKeepsTheFirstBackup();
    void openPrizeList_followsEveryAward();
    void enlarge_atTheLimit_neverShrinks();
    void enterOnFocusedOk_confirmsAsSpaceDoes();
    void lists_lineUpTheirColumns();
    void sidePanel_scalesWithTheWindow();
    void unusableRollBook_saysWhatIsWrong_data();
    void unusableRollBook_saysWhatIsWrong();
    void voidAndPanelTexts();
    void menuDraws_updateChoices_andTheStartButtonStays();

private:
    FrmDjYh* open(Mode mode);
    void confirm(FrmDjYh* w);
    int roll(FrmDjYh* w);
    void useBook(const QList<SheetSpec>& sheets);
    void useFourPeople();
    QString book() const { return temp->file(QStringLiteral("点名册.xls")); }
    QString saved(int row, int column) { return savedText(book(), kSheet, row, column); }
    QString setting(const char* column) { return settings->readSetting(QLatin1String(column)); }

    std::unique_ptr<TestServices> ts;
    TempDir* temp = nullptr;
    ScriptedMessages* messages = nullptr;
    ScriptedRandom* random = nullptr;
    RecordingSound* sound = nullptr;
    RecordingProgramEnd* programEnd = nullptr;
    FakeClock* clock = nullptr;
    ScriptedColours* colours = nullptr;
    RecordingProcesses* processes = nullptr;
    SettingsStore* settings = nullptr;
    AppServices* services = nullptr;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYh::init()
{
    ZELVANO_SKIP_LISTED_UNDER_WINE();
    ts = std::make_unique<TestServices>();
    temp = &ts->folder;
    messages = &ts->messages;
    random = &ts->random;
    sound = &ts->sound;
    programEnd = &ts->programEnd;
    clock = &ts->clock;
    colours = &ts->colours;
    processes = &ts->processes;
    settings = ts->settings.get();
    services = &ts->services;
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    QDir(temp->path()).mkpath(QStringLiteral("img"));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(*services, *windows);
}

void tst_FrmDjYh::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmDjYh* tst_FrmDjYh::open(Mode mode)
{
    window = new FrmDjYh(*services, *navigator, mode);
    window->show();
    window->Form_Activate();
    return window;
}

void tst_FrmDjYh::confirm(FrmDjYh* w)
{
    for (int i = 0; i < 2 && w->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
}

int tst_FrmDjYh::roll(FrmDjYh* w)
{
    int ticks = 0;
    while (w->isRolling() && ticks < 100) {
        w->Timer1_Timer();
        ++ticks;
    }
    return ticks;
}

void tst_FrmDjYh::useBook(const QList<SheetSpec>& sheets)
{
    QFile::remove(book());
    const QString error = makeBook(book(), sheets);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void tst_FrmDjYh::useFourPeople()
{
    useBook({SheetSpec{QStringLiteral("一班"), {{1, 1, QStringLiteral("一班")}}},
             prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 5},
                         {QStringLiteral("二等奖"), QStringLiteral("文具盒"), {}, 2}},
                        {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                         QStringLiteral("丁")})});
}

// --- Opening and start-up ------------------------------------------------------

void tst_FrmDjYh::open_fixedPrize_captionWithoutNameBoxOrNamesMenu()
{
    settings->writeSetting(QStringLiteral("DmdYn"), QStringLiteral("1"), 0);
    FrmDjYh* w = open(Mode::FixedPrize);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zelvano >> 定奖摇号"));
    QVERIFY(!chkMd(w)->isVisible());
    QVERIFY(!chkMd(w)->isChecked());
    QVERIFY(!MnSz(w, 1)->isVisible());
    QVERIFY(MnSz(w, 0)->isVisible());
    QCOMPARE(w->prizeSheetIndex(), 3);
    QCOMPARE(w->setupStep(), PrizeStep::ConfirmPrizes);
    QVERIFY(fraJp(w)->isVisible());
    QCOMPARE(lblXx(w)->text(), QStringLiteral("请确认获奖信息"));
    QCOMPARE(lstJp(w)->count(), 13);
    QCOMPARE(lblXm(w)->text(), QStringLiteral("\r\n期末抽奖\r\n\r\n初一年级组"));
    QCOMPARE(w->drawSession().pool().size(), 40);
    QCOMPARE(cmbMd(w)->count(), 6);
    QCOMPARE(MnDj(w, 3)->text(), QStringLiteral("纪念奖"));
    for (int i = 0; i < 2; ++i)
        QVERIFY(!topMenu(w, i)->menuAction()->isEnabled());
    QVERIFY(messages->shown.empty());
}

void tst_FrmDjYh::open_fixedPerson_captionWithoutPrizeMenu()
{
    FrmDjYh* w = open(Mode::FixedPerson);
    QCOMPARE(w->windowTitle(), QStringLiteral("Zelvano >> 定名抽奖"));
    QVERIFY(!MnSz(w, 0)->isVisible());
    QVERIFY(MnSz(w, 1)->isVisible());
    QVERIFY(chkMd(w)->isVisible());
    QCOMPARE(w->drawSession().pool().size(), 36); // 1 + 3 + 5 + 10 + 2 + 15 tickets
    QCOMPARE(cmbMd(w)->count(), 40);
    QCOMPARE(cmbMd(w)->itemText(0), QStringLiteral("1 郭文诗"));
    QCOMPARE(MnMd(w, 39)->text(), cmbMd(w)->itemText(39));
}

void tst_FrmDjYh::startUp_withNames_takesTwoConfirmations()
{
    FrmDjYh* w = open(Mode::FixedPerson);
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::ConfirmNames);
    QCOMPARE(lblXx(w)->text(), QStringLiteral("请确认获奖名单"));
    QVERIFY(lstMd(w)->isVisible());
    QVERIFY(!lstJp(w)->isVisible());
    QCOMPARE(lstMd(w)->count(), 41);
    QCOMPARE(lstMd(w)->item(1)->text().left(3), QStringLiteral("  1"));
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
    QVERIFY(!fraJp(w)->isVisible());
    QVERIFY(imgOk(w)->isVisible());
    QCOMPARE(cmbMd(w)->currentIndex(), 0);
    for (int i = 0; i < 2; ++i)
        QVERIFY(topMenu(w, i)->menuAction()->isEnabled());
    // Later, the panel opened from the menu only closes.
    MnSz(w, 3)->trigger();
    QVERIFY(fraJp(w)->isVisible());
    QTest::mouseClick(closeButton(w), Qt::LeftButton);
    QVERIFY(!fraJp(w)->isVisible());
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
}

void tst_FrmDjYh::startUp_withoutNameList_takesOne()
{
    settings->writeSetting(QStringLiteral("DmdYn"), QStringLiteral("1"), 0);
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(chkMd(w)->isChecked());
    QVERIFY(!MnSz(w, 1)->isVisible());
    QVERIFY(!MnSz(w, 4)->isVisible());
    QVERIFY(!cmbMd(w)->isVisible());
    QCOMPARE(w->drawSession().chosenPerson(), -1);
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
    QVERIFY(imgOk(w)->isVisible());
}

void tst_FrmDjYh::missingRollBook_warnsAndEndsProgram()
{
    QFile::remove(book());
    FrmDjYh* w = open(Mode::FixedPrize);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("找不到点名册.xls文件，请检查")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("警告"));
    QCOMPARE(messages->shown[0].icon, MessageIcon::Critical);
    QCOMPARE(programEnd->calls, 1);
    QCOMPARE(w->setupStep(), PrizeStep::Ended);
}

void tst_FrmDjYh::workbookWithoutPrizeSheet_isToldWhy()
{
    useBook({SheetSpec{QStringLiteral("一班"), {{3, 1, 1}, {3, 2, QStringLiteral("甲")}}}});
    FrmDjYh* w = open(Mode::FixedPrize);
    QCOMPARE(messages->texts(),
             QStringList{QStringLiteral("点名册.xls中没有“抽奖品”工作表，请检查")});
    QCOMPARE(lstJp(w)->count(), 1);
    confirm(w);
    QTest::mouseClick(imgOk(w), Qt::LeftButton);
    MnSz(w, 2)->trigger();
    QVERIFY(!w->isRolling());
    QVERIFY(sound->played.isEmpty());
}

void tst_FrmDjYh::onePrizeRow_reportsEmptyRegion_andNothingDraws()
{
    useBook({prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 3}},
                        {QStringLiteral("甲")})});
    FrmDjYh* w = open(Mode::FixedPerson);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("检测到奖品区内容为空，请检查")});
    QCOMPARE(w->drawSession().pool().size(), 0);
    QCOMPARE(lstJp(w)->count(), 1);
    QVERIFY(!MnDj(w, 0) || !MnDj(w, 0)->isVisible());
    confirm(w);
    chkMd(w)->setChecked(true);
    w->chkMd_Click();
    MnSz(w, 2)->trigger();
    QVERIFY(!w->isRolling());
    // What is wrong, not an event that never took place.
    QVERIFY2(lblXm(w)->text().contains(QStringLiteral("奖品区不到两行")),
             qPrintable(lblXm(w)->text()));
    QVERIFY(!lblXm(w)->text().contains(QStringLiteral("圆满结束")));
}

void tst_FrmDjYh::prizeRowsIntoRow21_readAsPrizesOnly_andHostIsTold()
{
    QList<PrizeRowSpec> prizes;
    for (int i = 0; i < 20; ++i)
        prizes << PrizeRowSpec{QStringLiteral("奖%1").arg(i + 1), QStringLiteral("品"), {}, 1};
    SheetSpec sheet = prizeSheet(prizes, {});
    sheet.cells << QVariantList{23, 1, QStringLiteral("1")}
                << QVariantList{23, 2, QStringLiteral("甲")};
    useBook({sheet});
    FrmDjYh* w = open(Mode::FixedPrize);
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(messages->texts()[0].contains(QStringLiteral("第23行")));
    QCOMPARE(w->drawSession().sheet().prizes.size(), size_t(21));
    QVERIFY(w->drawSession().sheet().people.empty());
    QCOMPARE(w->drawSession().pool().size(), 0);
    QVERIFY(chkMd(w)->isChecked());
    // Nobody can be drawn, so nothing can overwrite the prize rows 21 and 22.
    confirm(w);
    QTest::mouseClick(imgOk(w), Qt::LeftButton);
    QVERIFY(!w->isRolling());
    QCOMPARE(saved(21, 2), QStringLiteral("奖19"));
    QCOMPARE(saved(21, 6), QStringLiteral("0"));
}

void tst_FrmDjYh::emptyNameList_worksWithoutNames()
{
    useBook({prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 1},
                         {QStringLiteral("二等奖"), QStringLiteral("笔"), {}, 1}},
                        {})});
    FrmDjYh* w = open(Mode::FixedPerson);
    QVERIFY(chkMd(w)->isChecked());
    QVERIFY(!chkMd(w)->isVisible());
    QVERIFY(!cmbMd(w)->isVisible());
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
    QTest::mouseClick(imgOk(w), Qt::LeftButton);
    QCOMPARE(roll(w), 28);
    QCOMPARE(lstHj(w)->item(1)->text(), QStringLiteral("1  获一等奖,台灯"));
}

#include "tst_FrmDjYhBook.inc"
void tst_FrmDjYh::damagedRollBook_reportsDamage()
{
    QFile::remove(book());
    QFile junk(book());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is no workbook");
    junk.close();
    FrmDjYh* w = open(Mode::FixedPrize);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请打开并检查Excel文档是否损坏。")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("警告"));
    QCOMPARE(w->drawSession().pool().size(), 0);
    QCOMPARE(w->setupStep(), PrizeStep::ConfirmPrizes);
    QVERIFY(!fraJp(w)->isVisible() || lstJp(w)->count() == 1);
}

#include "tst_FrmDjYhDraws.inc"
#include "tst_FrmDjYhHall.inc"
#include "tst_FrmDjYhInput.inc"

QTEST_MAIN(tst_FrmDjYh)
#include "tst_FrmDjYh.moc"
