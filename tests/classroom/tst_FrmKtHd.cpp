// The classroom window: class list, roster, guided setup, settings and
// screens (grouping in tst_FrmKtHdGroups.cpp).
#include "ClassroomFixture.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHd : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void open_listsClassesButNeverThePrizeSheet();
    void classList_choosingLoadsNothing_untilConfirmed();
    void savedClassIndex_validOrOutsideTheList();
    void noClassSelected_asksAndEndsOnlyOnYes();
    void missingRollBook_isReportedAndEndsTheProgram();
    void setup_panelsInOrder_enableTheStage();
    void setup_panelsOutOfOrder_onlyHide();
    void classMenu_afterSetup_reloadsRosterAndShowsGrouping();
    void rollBookMadeByLibreOffice_loads();
    void badRosters_emptyOrOnePerson_areReported();
    void longNamesAndTextInCells_loadWithoutHarm();
    void close_writesSettingsInOrderAndForms();
    void speechTimer_classroomCuesAndKeys();
    void returnToMenu_closesAndShowsTheMenu();
    void everyClickableControl_hasAccessibleName();
    void setupPanels_and_calledName_fitProjectorScreens_data();
    void setupPanels_and_calledName_fitProjectorScreens();
    void benchmark_classConfirmedToGroupingPanel();
};

// --- Class, roster and guided setup ----------------------------------------------

void tst_FrmKtHd::open_listsClassesButNeverThePrizeSheet()
{
    FrmKtHd* w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("Zelvano >> 课堂互动"));
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    QCOMPARE(control<QComboBox>(w, "cmbBj")->count(), 3);
    QCOMPARE(control<QComboBox>(w, "cmbBj")->itemText(2), QStringLiteral("初一(3)班"));
    int shownItems = 0;
    for (int i = 0; w->MnBj(i); ++i)
        shownItems += w->MnBj(i)->isVisible() ? 1 : 0;
    QCOMPARE(shownItems, 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY(w->MnBj(i)->text() != QStringLiteral("抽奖品"));
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请选择班级"));
    QVERIFY(w->fraBj()->isVisible());
    QVERIFY(!w->fraFz()->isVisible());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!w->topMenu(i)->menuAction()->isEnabled());
    QCOMPARE(control<QComboBox>(w, "cmbFs0")->currentText(), QStringLiteral("5"));
    QCOMPARE(control<QComboBox>(w, "cmbPfWz")->currentIndex(), 0);
    QVERIFY(messages->shown.empty());
}

void tst_FrmKtHd::classList_choosingLoadsNothing_untilConfirmed()
{
    FrmKtHd* w = open();
    control<QComboBox>(w, "cmbBj")->setCurrentIndex(2);
    w->cmbBj_Click();
    QCOMPARE(w->personCount(), 0);
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    w->cmdOk_Click(3);
    QCOMPARE(w->setupStage(), ClassroomStep::SettingUp);
    QCOMPARE(w->classIndex(), 2);
    QCOMPARE(w->personCount(), 40);
    QCOMPARE(control<QLabel>(w, "lblFzBt")->text(), QStringLiteral("40人 分组规则"));
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置分组信息"));
    QVERIFY(w->fraFz()->isVisible());
    QVERIFY(!w->fraBj()->isVisible());
    QVERIFY(!w->MnBj(2)->isEnabled());
    QVERIFY(w->MnBj(0)->isEnabled());
    QCOMPARE(w->MnXm(39)->text(), QStringLiteral("40_") + w->roster()[39].name);
    QCOMPARE(control<QLabel>(w, "lblXx2")->text(), QStringLiteral("注意：修改数据后回车确认"));
    QVERIFY(!control<QToolButton>(w, "imgFz", 0)->isVisible() &&
            !control<QToolButton>(w, "imgXie", 0)->isVisible());
}

void tst_FrmKtHd::savedClassIndex_validOrOutsideTheList()
{
    settings->writeSetting(QStringLiteral("BBj"), QStringLiteral("1"), 0);
    FrmKtHd* w = open();
    QCOMPARE(control<QComboBox>(w, "cmbBj")->currentIndex(), 1);
    delete w;
    settings->writeSetting(QStringLiteral("BBj"), QStringLiteral("3"),
                           0); // the prize sheet's place
    w = open();
    QCOMPARE(control<QComboBox>(w, "cmbBj")->currentIndex(), 0);
}

void tst_FrmKtHd::noClassSelected_asksAndEndsOnlyOnYes()
{
    FrmKtHd* w = open();
    control<QComboBox>(w, "cmbBj")->setCurrentIndex(-1);
    messages->answers = {MessageAnswer::No};
    w->cmdOk_Click(3);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("您没有选择班级，想退出吗？")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("警告"));
    QCOMPARE(programEnd->calls, 0);
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    messages->answers = {MessageAnswer::Yes};
    w->lblClose_Click(3);
    QCOMPARE(programEnd->calls, 1);
}

void tst_FrmKtHd::missingRollBook_isReportedAndEndsTheProgram()
{
    QFile::remove(book());
    FrmKtHd* w = open();
    // No sample to offer beside the program: the data folder searched is named.
    QCOMPARE(messages->texts(),
             QStringList{QStringLiteral("在数据文件夹 %1 中找不到点名册.xls文件，请修正！")
                             .arg(QDir::toNativeSeparators(temp->path()))});
    QCOMPARE(messages->shown[0].icon, MessageIcon::Critical);
    QCOMPARE(programEnd->calls, 1);
    QCOMPARE(control<QComboBox>(w, "cmbBj")->count(), 0);
}

void tst_FrmKtHd::setup_panelsInOrder_enableTheStage()
{
    FrmKtHd* w = open();
    confirmClass(w);
    w->cmdOk_Click(1);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置评分参数"));
    QVERIFY(!w->fraFz()->isVisible());
    QVERIFY(w->FraPf()->isVisible());
    QVERIFY(control<QFrame>(w, "FraPf2")->isVisible());
    QCOMPARE(control<QFrame>(w, "FraPf2")->parentWidget(), w->FraPf());
    QVERIFY(!w->MnMd(1)->isChecked());
    w->lblClose_Click(0);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设计时参数"));
    QVERIFY(!w->FraPf()->isVisible());
    QVERIFY(!control<QFrame>(w, "FraPf2")->isVisible());
    QVERIFY(w->speechTimer().fraJs()->isVisible());
    QCOMPARE(w->setupStage(), ClassroomStep::SettingUp);
    w->speechTimer().closeSettingsPanel();
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("随机\r\n点名"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(w->topMenu(i)->menuAction()->isEnabled());
    QVERIFY(!w->MnSx(0)->isEnabled());
    QVERIFY(w->fraTs()->isVisible());
    QVERIFY(w->imgOk()->isVisible());
    QVERIFY(!w->MnJs(2)->isVisible());
}

void tst_FrmKtHd::setup_panelsOutOfOrder_onlyHide()
{
    FrmKtHd* w = open();
    w->cmdOk_Click(1); // before a class: nothing to lead on to
    w->cmdOk_Click(2);
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    QVERIFY(w->fraBj()->isVisible());
    confirmClass(w);
    w->cmdOk_Click(2); // the timer panel before the grouping panel
    w->cmdOk_Click(0);
    QCOMPARE(w->setupStage(), ClassroomStep::SettingUp);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请设置分组信息"));
    QVERIFY(w->fraFz()->isVisible());
    w->lblXm_Click();
    QVERIFY(sound->played.isEmpty());
    w->cmdOk_Click(1);
    w->cmdOk_Click(0);
    w->cmdOk_Click(2);
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
}

void tst_FrmKtHd::classMenu_afterSetup_reloadsRosterAndShowsGrouping()
{
    editBook([](xls::Workbook& b) { b.setEmpty(1, 13, 1); }); // class 2: ten persons
    FrmKtHd* w = open();
    finishSetup(w);
    const QString first = w->roster()[0].name;
    w->MnBj_Click(1);
    QCOMPARE(w->classIndex(), 1);
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
    QVERIFY(w->fraFz()->isVisible());
    QVERIFY(w->MnBj(0)->isEnabled());
    QVERIFY(!w->MnBj(1)->isEnabled());
    QVERIFY(w->roster()[0].name != first);
    QCOMPARE(w->personCount(), 10);
    QVERIFY(w->MnXm(9)->isVisible());
    QVERIFY(!w->MnXm(10)->isVisible());
    QCOMPARE(control<QComboBox>(w, "cmbPfWz")->currentIndex(), 0);
    w->cmdOk_Click(1);
    QVERIFY(!w->fraFz()->isVisible());
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("随机\r\n点名"));
}

void tst_FrmKtHd::rollBookMadeByLibreOffice_loads()
{
    QFile::remove(book());
    QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xls/rollbook_lo.xls"),
                        book()));
    QFile::setPermissions(book(), QFile::ReadOwner | QFile::WriteOwner);
    FrmKtHd* w = open();
    QCOMPARE(control<QComboBox>(w, "cmbBj")->count(), 2);
    confirmClass(w, 1);
    QCOMPARE(w->personCount(), 40);
    QVERIFY(messages->shown.empty());
}

void tst_FrmKtHd::badRosters_emptyOrOnePerson_areReported()
{
    editBook([](xls::Workbook& b) {
        b.setText(0, 3, 1, "  "); // class 1: the list ends at once
        for (int row = 4; row <= 42; ++row)
            b.setEmpty(1, row, 1); // class 2: one person
    });
    FrmKtHd* w = open();
    confirmClass(w, 0);
    QCOMPARE(w->personCount(), 0);
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("检测到名单表格为空，请检查")});
    QCOMPARE(control<QLabel>(w, "lblFzBt")->text(), QStringLiteral("0人 分组规则"));
    // Nothing to group: the class panel is offered again, not a dead end.
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    QVERIFY(w->fraBj()->isVisible());
    QVERIFY(!w->fraFz()->isVisible());
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请选择班级"));
    confirmClass(w, 1);
    QCOMPARE(w->personCount(), 1);
    QCOMPARE(messages->shown.size(), size_t(2));
    QVERIFY(w->fraBj()->isVisible());
    // A class chosen from the menu after setup may be empty too.
    finishSetup(w, 2);
    w->MnBj(1)->trigger();
    QCOMPARE(w->personCount(), 1);
    QCOMPARE(messages->shown.size(), size_t(3));
    // ... and then the class is chosen again, as at the first choice: no
    // stage left with the previous class's start button.
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    QVERIFY(w->fraBj()->isVisible());
    QVERIFY(!w->fraTs()->isVisible());
    QTest::mouseClick(w->lblXm(), Qt::LeftButton); // nothing to call
    QCOMPARE(messages->shown.size(), size_t(3));
    finishSetup(w, 2);
    QCOMPARE(w->personCount(), 40);
}

void tst_FrmKtHd::longNamesAndTextInCells_loadWithoutHarm()
{
    const std::string longName(300, 'x');
    editBook([&](xls::Workbook& b) {
        b.setText(0, 3, 2, longName);
        b.setText(0, 2, 7, "期中"); // a header that is no date
        b.setText(0, 4, 9, "缺考");
    });
    FrmKtHd* w = open();
    finishSetup(w);
    QCOMPARE(w->roster()[0].name.size(), 300);
    QCOMPARE(w->scoreColumn(), 9); // "期中" and "09月11" are headers
    w->MnFs(2)->setChecked(false);
    w->MnXm_Click(0);
    QVERIFY(w->lblXm()->text().endsWith(QString::fromStdString(longName)));
    w->MnXm_Click(1);
    w->imgXie_Click(1);
    QCOMPARE(fileCell(0, 4, 9), CellValue::ofNumber(5)); // "缺考" counted as 0
}

// --- Settings, timer, menus, screens

void tst_FrmKtHd::close_writesSettingsInOrderAndForms()
{
    FrmKtHd* w = open();
    finishSetup(w, 2);
    w->MnZh_Click(5);
    w->MnSx_Click(1);
    w->MnFs(1)->setChecked(true);
    w->MnFs(2)->setChecked(false);
    w->speechTimer().MnJsDw_Click(1);
    w->speechTimer().MnJsFs_Click(1);
    w->speechTimer().cmbFs1()->setEditText(QStringLiteral("3"));
    control<QComboBox>(w, "cmbFs0")->setEditText(QStringLiteral("2.5分"));
    control<QComboBox>(w, "cmbPfWz")->setCurrentIndex(1);
    w->cmbPfWz_Click();
    w->displayFormat().MnYs_Click(1);
    w->close();
    QCOMPARE(settings->lastStatement(), QStringLiteral("update sz set BGd=False"));
    QCOMPARE(setting("BBj"), QStringLiteral("2"));
    QCOMPARE(setting("BbjYs"), QStringLiteral("1"));
    QCOMPARE(setting("BzhFs"), QStringLiteral("6"));
    QCOMPARE(setting("Bsx"), QStringLiteral("1"));
    QCOMPARE(setting("BsjDw"), QStringLiteral("1"));
    QCOMPARE(setting("BJsFs"), QStringLiteral("1"));
    QCOMPARE(setting("Bsj"), QStringLiteral("3"));
    QCOMPARE(setting("Bpf"), QStringLiteral("2.5"));
    QCOMPARE(setting("BpfWz"), QStringLiteral("1"));
    QCOMPARE(setting("BCf"), QStringLiteral("True"));
    QCOMPARE(setting("BGd"), QStringLiteral("False"));
    QCOMPARE(programEnd->calls, 1);

    FrmKtHd* again = open();
    QCOMPARE(control<QComboBox>(again, "cmbBj")->currentIndex(), 2);
    QCOMPARE(control<QComboBox>(again, "cmbZh")->currentIndex(), 6);
    QCOMPARE(control<QComboBox>(again, "cmbFs0")->currentText(), QStringLiteral("2.5"));
    QCOMPARE(control<QComboBox>(again, "cmbPfWz")->currentIndex(), 1);
    QVERIFY(again->MnFs(1)->isChecked());
    QVERIFY(!again->MnFs(2)->isChecked());
}

void tst_FrmKtHd::speechTimer_classroomCuesAndKeys()
{
    settings->writeSetting(QStringLiteral("Bsj"), QStringLiteral("2"), 0);
    FrmKtHd* w = open();
    finishSetup(w);
    QCOMPARE(w->MnJs(3)->shortcut(), QKeySequence(Qt::Key_F7));
    QCOMPARE(w->MnJs(5)->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(w->MnJs(2)->shortcut(), QKeySequence(Qt::Key_F4));
    QCOMPARE(w->displayFormat().MnGs(0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    w->speechTimer().imgJs_Click();
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\start.wav"));
    QCOMPARE(w->MnJs(3)->text(), w->speechTimer().imgJs()->toolTip());
    sound->played.clear();
    w->speechTimer().imgJs_Click(); // stopped by hand
    QCOMPARE(sound->played, QStringList{QStringLiteral("sound\\start.wav")});
    w->speechTimer().imgJs_Click();
    clock->nowMs += 3000; // past the two seconds
    w->speechTimer().timJs_Timer();
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\over.wav"));
    QVERIFY(!w->speechTimer().isRunning());
    // A draw stops a running timer without a cue.
    w->speechTimer().imgJs_Click();
    sound->played.clear();
    w->MnFs(2)->setChecked(false);
    w->lblXm_Click();
    QVERIFY(!w->speechTimer().isRunning());
    QCOMPARE(sound->played, QStringList{QStringLiteral("sound\\type.wav")});
    // The menu drives the counting mode and keeps the list in step.
    w->speechTimer().MnJsFs_Click(1);
    QCOMPARE(w->speechTimer().cmbJsFs()->currentIndex(), 1);
    QVERIFY(!w->speechTimer().MnJsFs(1)->isEnabled());
}

void tst_FrmKtHd::returnToMenu_closesAndShowsTheMenu()
{
    FrmKtHd* w = open();
    finishSetup(w);
    QCOMPARE(w->MnMd(6)->text(), QStringLiteral("返回主页(&F)"));
    QCOMPARE(w->MnMd(6)->shortcut(), QKeySequence(Qt::Key_F12));
    w->MnMd_Click(6);
    QVERIFY(!w->isVisible());
    QCOMPARE(programEnd->calls, 0);
    QCOMPARE(setting("BBj"), QStringLiteral("0"));
    QWidget* menu = navigator->currentWindow();
    QVERIFY(menu && menu->isVisible());
    delete menu;
}

void tst_FrmKtHd::everyClickableControl_hasAccessibleName()
{
    FrmKtHd* w = open();
    finishSetup(w);
    const auto buttons = w->findChildren<QAbstractButton*>();
    QVERIFY(!buttons.isEmpty());
    for (QAbstractButton* button : buttons) {
        if (button->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(!button->accessibleName().isEmpty(),
                 qPrintable(button->objectName() + button->toolTip() + button->text()));
    }
    for (auto* box : w->findChildren<QComboBox*>())
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
    QCOMPARE(control<QToolButton>(w, "imgXie", 1)->accessibleName(), QStringLiteral("写成绩"));
    QCOMPARE(control<QToolButton>(w, "imgXie", 0)->accessibleName(), QStringLiteral("写分组"));
}

void tst_FrmKtHd::setupPanels_and_calledName_fitProjectorScreens_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1280x800") << QSize(1280, 800);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("3840x2160") << QSize(3840, 2160);
}

void tst_FrmKtHd::setupPanels_and_calledName_fitProjectorScreens()
{
    QFETCH(QSize, screen);
    FrmKtHd* w = open();
    w->resize(screen);
    QApplication::processEvents();
    const QString shots = QString::fromLocal8Bit(qgetenv("ZELVANO_SHOTS"));
    QWidget* canvas = w->centralWidget();
    const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
    auto check = [&](QWidget* panel, const char* name) {
        QVERIFY2(panel->isVisible(), name);
        QVERIFY2(canvas->rect().contains(panel->geometry()), name);
        QVERIFY2(!panel->geometry().intersects(w->lblXm()->geometry()), name);
        if (!shots.isEmpty())
            w->grab().save(
                QStringLiteral("%1/kthd-%2-%3.png").arg(shots, size, QLatin1String(name)));
    };
    check(w->fraBj(), "class");
    confirmClass(w);
    check(w->fraFz(), "groups");
    w->cmdOk_Click(1);
    check(w->FraPf(), "scoring");
    w->cmdOk_Click(0);
    check(w->speechTimer().fraJs(), "timer");
    w->cmdOk_Click(2);
    w->MnZh_Click(5);
    w->MnFs(2)->setChecked(false);
    random->picks = {12};
    w->lblXm_Click();
    QApplication::processEvents();
    const QRect label = w->lblXm()->geometry();
    QVERIFY(canvas->rect().contains(label));
    QVERIFY(!label.intersects(w->speechTimer().lblSj()->geometry()));
    QVERIFY(!label.intersects(w->fraTs()->geometry()));
    QVERIFY(!control<QFrame>(w, "FraPf2")->geometry().intersects(w->fraTs()->geometry()));
    QVERIFY(!control<QFrame>(w, "FraPf2")->geometry().intersects(label));
    QVERIFY(canvas->rect().contains(control<QFrame>(w, "FraPf2")->geometry()));
    QVERIFY(canvas->rect().contains(w->speechTimer().fraJs2()->geometry()));
    QVERIFY(!w->speechTimer().fraJs2()->geometry().intersects(
        control<QFrame>(w, "FraPf2")->geometry()));
    if (!shots.isEmpty())
        w->grab().save(QStringLiteral("%1/kthd-%2-called.png").arg(shots, size));
}

void tst_FrmKtHd::benchmark_classConfirmedToGroupingPanel()
{
    // The big roll book: 30 classes of 60 with 40 lessons each.
    QFile::remove(book());
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {QStringLiteral(ZELVANO_SOURCE_DIR "/bench/xls_make_book.py"), book(),
                  QStringLiteral("30"), QStringLiteral("40")});
    QVERIFY(python.waitForFinished(120000));
    QCOMPARE(python.exitCode(), 0);
    FrmKtHd* w = open();
    QCOMPARE(control<QComboBox>(w, "cmbBj")->count(), 30);
    control<QComboBox>(w, "cmbBj")->setCurrentIndex(29);
    QElapsedTimer timer;
    timer.start();
    w->cmdOk_Click(3);
    const qint64 ms = timer.elapsed();
    QVERIFY(w->fraFz()->isVisible());
    QCOMPARE(w->personCount(), 60);
    QCOMPARE(int(w->drawSession().groups().size()), 10);
    qInfo("classroom_class_to_grouping_panel: %lld ms (30 classes x 60, 40 lessons)", ms);
    QVERIFY2(ms < 100, qPrintable(QString::number(ms)));
}

QTEST_MAIN(tst_FrmKtHd)
#include "tst_FrmKtHd.moc"
