// The classroom window: roll call, scoring and reset.
#include "ClassroomFixture.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdCalls : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void randomDraws_callEveryoneOncePerRound();
    void rollingDraw_twentyEightTicksCuesAndBars();
    void sequentialDraws_runAcrossGroups_andTakeTheShownPersonOut();
    void callByName_greysItemAndTakesThatPersonOut();
    void nextGroup_wrapsAndDoesNothingWithOneGroup();
    void compositionMenu_mapsByCaption();
    void emptyPool_asksBeforeDrawing();
    void score_writtenTwiceForOnePerson_addsUpUnderTodaysDate();
    void score_previousColumn_poolAndWrite();
    void score_studentNumbersOrSortedSheet_goToThePersonsRow();
    void score_sheetResortedByAnotherProgram_findsThePerson();
    void score_failedSaveThenRetry_writesOnce();
    void scoreBox_plusMinusAndKeyFilter();
    void reset_clearsColumnAndSettings_closeWritesCurrentOnes();
    void reset_whileTheFileIsHeld_tellsAndKeepsWhatWasWritten();
    void rollBookButtons_showTheCurrentClass();
};

// --- Roll call --------------------------------------------------------------------------

void tst_FrmKtHdCalls::randomDraws_callEveryoneOncePerRound()
{
    cutClass(10, true);
    FrmKtHd* w = open();
    finishSetup(w);
    QCOMPARE(w->drawSession().poolSize(), 10);
    w->MnFs(2)->setChecked(false);
    w->MnFs(1)->setChecked(false);
    random->picks = {3, 9, 1, 7, 2, 5, 4, 1, 2, 1, 6};
    std::set<QString> called;
    for (int i = 0; i < 10; ++i) {
        w->lblXm_Click();
        called.insert(lastLine(w->lblXm()->text()));
        QVERIFY(control<QFrame>(w, "FraPf2")->isVisible());
        QVERIFY(control<QToolButton>(w, "imgXie", 1)->isVisible());
        QVERIFY(!control<QFrame>(w, "FraPf3")->isVisible());
    }
    QCOMPARE(called.size(), size_t(10));
    QCOMPARE(w->drawSession().poolSize(), 10); // a new round
    QCOMPARE(w->setupStage(), ClassroomStep::Calling);
    w->lblXm_Click();
    QCOMPARE(lastLine(w->lblXm()->text()), w->roster()[5].name);
    QCOMPARE(control<QLabel>(w, "LabCz")->text(),
             QStringLiteral("第 1 组 6 号 ，6 ") + w->roster()[5].name);
    QVERIFY(random->reseeds >= 11);
    // With repeats the pool never shrinks.
    w->MnFs(1)->setChecked(true);
    w->lblXm_Click();
    QCOMPARE(w->drawSession().poolSize(), 9);
}

void tst_FrmKtHdCalls::rollingDraw_twentyEightTicksCuesAndBars()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(true);
    w->lblXm_Click();
    QVERIFY(w->isRolling());
    QVERIFY(!w->imgOk()->isVisible());
    QVERIFY(!control<QFrame>(w, "FraPf2")->isVisible());
    QCOMPARE(sound->played, QStringList{QStringLiteral("sound\\type0.wav")});
    w->lblXm_Click(); // ignored while rolling
    w->MnJs_Click(0);
    w->Form_Click();
    QCOMPARE(sound->played.size(), 1);
    int ticks = 0;
    while (w->isRolling() && ticks < 100) {
        w->Timer1_Timer();
        ++ticks;
    }
    QCOMPARE(ticks, 28);
    QCOMPARE(random->counts.size(), size_t(28));
    QCOMPARE(w->drawSession().poolSize(), 39);
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
    QVERIFY(w->imgOk()->isVisible());
    QVERIFY(control<QFrame>(w, "FraPf2")->isVisible());
    QVERIFY(w->MnJs(2)->isVisible());
    QCOMPARE(w->speechTimer().imgJs()->toolTip(), QStringLiteral("开始计时"));
    QCOMPARE(w->Timer1()->objectName(), QStringLiteral("Timer1"));
    // Rolling while the grouping panel is open draws at once.
    w->MnMd_Click(1);
    w->lblXm_Click();
    QVERIFY(!w->isRolling());
    QCOMPARE(w->drawSession().poolSize(), 38);
}

void tst_FrmKtHdCalls::sequentialDraws_runAcrossGroups_andTakeTheShownPersonOut()
{
    cutClass(7, true);
    FrmKtHd* w = open();
    confirmClass(w);
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("3"));
    w->imgFz_Click(1);
    w->cmdOk_Click(1);
    w->cmdOk_Click(0);
    w->cmdOk_Click(2);
    w->MnFs(2)->setChecked(false);
    // One random call first: person 7 leaves the pool.
    random->picks = {7};
    w->lblXm_Click();
    QCOMPARE(lastLine(w->lblXm()->text()), w->roster()[6].name);
    w->MnSx_Click(1);
    QVERIFY(w->MnJs(1)->isVisible());
    QCOMPARE(w->lblXm()->text(), QStringLiteral("顺序\r\n点名"));
    QStringList shown;
    for (int i = 0; i < 7; ++i) {
        w->lblXm_Click();
        shown << lastLine(w->lblXm()->text());
    }
    QStringList expected;
    for (int k : {1, 2, 3, 4, 5, 6, 7})
        expected << w->roster()[static_cast<size_t>(k - 1)].name;
    // After person 7, the last member of group 3, the calls begin at group 1.
    QCOMPARE(shown.size(), 7);
    QCOMPARE(shown, expected);
    // Persons 1..6 left the pool and so did 7; the pool began again at 7.
    QCOMPARE(w->drawSession().poolSize(), 7 - 1);
}

void tst_FrmKtHdCalls::callByName_greysItemAndTakesThatPersonOut()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    random->picks = {1, 1, 1};
    w->lblXm_Click();
    w->lblXm_Click(); // persons 1 and 2 gone: positions have shifted
    w->MnXm_Click(9);
    QVERIFY(!w->MnXm(9)->isEnabled());
    QCOMPARE(calledName(w), w->roster()[9].name);
    QCOMPARE(lastLine(w->lblXm()->text()), w->roster()[9].name);
    QCOMPARE(w->drawSession().poolSize(), 37);
    QCOMPARE(w->drawSession().pool().find(QStringLiteral("10")), 0);
    w->MnXm_Click(2);
    QVERIFY(w->MnXm(9)->isEnabled());
    QVERIFY(!w->MnXm(2)->isEnabled());
    QCOMPARE(w->drawSession().poolSize(), 36);
    QVERIFY(control<QToolButton>(w, "imgXie", 1)->isVisible());
    QVERIFY(w->MnJs(2)->isVisible());
}

void tst_FrmKtHdCalls::nextGroup_wrapsAndDoesNothingWithOneGroup()
{
    FrmKtHd* w = open();
    confirmClass(w);
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("3"));
    w->imgFz_Click(1);
    w->cmdOk_Click(1);
    w->cmdOk_Click(0);
    w->cmdOk_Click(2);
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        w->MnJs_Click(1);
        seen << control<QListWidget>(w, "List2")->currentItem()->text();
    }
    QCOMPARE(seen, QStringList({"2", "3", "1"}));
    w->MnMd_Click(1);
    control<QLineEdit>(w, "txtFz", 0)->setText(QStringLiteral("1"));
    w->imgFz_Click(1);
    w->MnJs_Click(1);
    QCOMPARE(control<QListWidget>(w, "List2")->currentRow(), 0);
}

void tst_FrmKtHdCalls::compositionMenu_mapsByCaption()
{
    FrmKtHd* w = open();
    QCOMPARE(control<QComboBox>(w, "cmbZh")->currentIndex(), 2); // delivered setting
    QVERIFY(!w->MnZh(2)->isEnabled());
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    w->MnZh_Click(4); // "组号学号姓名"
    QCOMPARE(control<QComboBox>(w, "cmbZh")->currentIndex(), 5);
    QVERIFY(!w->MnZh(4)->isEnabled());
    QVERIFY(w->MnZh(2)->isEnabled());
    w->MnXm_Click(0);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("1组\r\n1") + w->roster()[0].name);
    // "组号组员号姓名", one above the current choice, has no menu item of its own.
    control<QComboBox>(w, "cmbZh")->setFocus();
    QTest::keyClick(control<QComboBox>(w, "cmbZh"), Qt::Key_Up);
    QCOMPARE(control<QComboBox>(w, "cmbZh")->currentIndex(), 4);
    for (int i = 0; i < 6; ++i)
        QVERIFY(w->MnZh(i)->isEnabled());
    w->MnXm_Click(1);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("1组2号\r\n") + w->roster()[1].name);
    w->MnZh_Click(3);
    w->MnXm_Click(0);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("1组 \r\n") + w->roster()[0].name);
}

void tst_FrmKtHdCalls::emptyPool_asksBeforeDrawing()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnFs(2)->setChecked(false);
    // The roll book disappears: the score column cannot be chosen again.
    QFile::rename(book(), temp->file(QStringLiteral("moved.xls")));
    control<QComboBox>(w, "cmbPfWz")->setCurrentIndex(1);
    w->cmbPfWz_Click();
    QCOMPARE(w->drawSession().poolSize(), 0);
    messages->answers = {MessageAnswer::No};
    w->lblXm_Click();
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("所有人都抽到了，还要继续码？")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("提醒"));
    QVERIFY(sound->played.isEmpty());
    QVERIFY(w->imgOk()->isVisible());
    messages->answers = {MessageAnswer::Yes};
    w->lblXm_Click();
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\type.wav"));
}

// --- Scoring and reset -----------------------------------------------------------------------

void tst_FrmKtHdCalls::score_writtenTwiceForOnePerson_addsUpUnderTodaysDate()
{
    FrmKtHd* w = open();
    finishSetup(w);
    QCOMPARE(w->scoreColumn(), 9); // 09月04 and 09月11 are there
    w->MnFs(2)->setChecked(false);
    w->MnXm_Click(3); // number 4
    w->imgXie_Click(1);
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\yes.wav"));
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isVisible());
    QVERIFY(!w->MnJs(2)->isVisible());
    QVERIFY(!control<QFrame>(w, "FraPf3")->isVisible());
    QCOMPARE(fileCell(0, 2, 9), CellValue::ofText("03月05"));
    QCOMPARE(fileCell(0, 6, 9), CellValue::ofNumber(5));
    w->MnXm_Click(3);
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isHidden());
    QVERIFY(w->MnJs(2)->isVisible());
    w->MnJs_Click(2);
    QCOMPARE(fileCell(0, 6, 9), CellValue::ofNumber(10));
    QCOMPARE(xlrdCell(0, 6, 9), QStringLiteral("10.0"));
    QCOMPARE(xlrdCell(0, 2, 9), QStringLiteral("'03月05'"));
    // The next roster load with "今天" moves on to the next free column.
    w->MnMd_Click(4);
    QCOMPARE(w->scoreColumn(), 10);
}

void tst_FrmKtHdCalls::score_previousColumn_poolAndWrite()
{
    FrmKtHd* w = open();
    finishSetup(w);
    control<QComboBox>(w, "cmbPfWz")->setCurrentIndex(1);
    w->cmbPfWz_Click();
    QCOMPARE(w->scoreColumn(), 8);
    int unscored = 0;
    for (int row = 3; row <= 42; ++row)
        unscored += fileCell(0, row, 8).isEmpty() ? 1 : 0;
    QCOMPARE(w->drawSession().poolSize(), unscored);
    QVERIFY(unscored > 0 && unscored < 40);
    const int first = w->drawSession().pool().at(1).toInt();
    const double before = fileCell(0, first + 2, 8).number;
    w->MnFs(2)->setChecked(false);
    random->picks = {1};
    w->lblXm_Click();
    QCOMPARE(calledName(w), w->roster()[static_cast<size_t>(first - 1)].name);
    control<QComboBox>(w, "cmbFs0")->setEditText(QStringLiteral("0.5"));
    w->imgXie_Click(1);
    QCOMPARE(fileCell(0, first + 2, 8), CellValue::ofNumber(before + 0.5));
    QCOMPARE(fileCell(0, 2, 8), CellValue::ofText("09月11")); // header kept
}

void tst_FrmKtHdCalls::score_studentNumbersOrSortedSheet_goToThePersonsRow()
{
    editBook([](xls::Workbook& b) {
        for (int row = 3; row <= 42; ++row)
            b.setNumber(0, row, 1, 2024000 + row); // class 1: student numbers
        b.setNumber(1, 3, 1, 5);                   // class 2: 5 and 1 swapped
        b.setNumber(1, 7, 1, 1);
    });
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnXm_Click(10);
    QCOMPARE(calledNumber(w), QStringLiteral("2024013"));
    w->imgXie_Click(1);
    QCOMPARE(fileCell(0, 13, 9), CellValue::ofNumber(5));
    QVERIFY(messages->shown.empty());

    w->MnBj_Click(1);
    w->cmdOk_Click(1);
    QCOMPARE(w->scoreColumn(), 9);
    w->MnXm_Click(0); // number 5 read from row 3; row 7 holds number 1
    QCOMPARE(calledNumber(w), QStringLiteral("5"));
    w->imgXie_Click(1);
    QCOMPARE(fileCell(1, 3, 9), CellValue::ofNumber(5));
    QVERIFY(fileCell(1, 7, 9).isEmpty());
    w->MnXm_Click(1); // number 2 in row 4: the row of number 2 holds it
    w->imgXie_Click(1);
    QCOMPARE(fileCell(1, 4, 9), CellValue::ofNumber(5));
}

void tst_FrmKtHdCalls::score_sheetResortedByAnotherProgram_findsThePerson()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnXm_Click(3); // number 4, row 6
    const QString name = calledName(w);
    // Another program swaps rows 5 and 6 and saves.
    editBook([](xls::Workbook& b) {
        for (int col = 1; col <= 8; ++col) {
            const CellValue a = b.cell(0, 5, col);
            const CellValue c = b.cell(0, 6, col);
            auto put = [&](int row, const CellValue& v) {
                if (v.type == CellValue::Type::Number)
                    b.setNumber(0, row, col, v.number);
                else if (v.type == CellValue::Type::Text)
                    b.setText(0, row, col, v.text);
                else
                    b.setEmpty(0, row, col);
            };
            put(5, c);
            put(6, a);
        }
    });
    w->imgXie_Click(1);
    QCOMPARE(fileCell(0, 5, 2), CellValue::ofText(name.toStdString()));
    QCOMPARE(fileCell(0, 5, 9), CellValue::ofNumber(5));
    QVERIFY(fileCell(0, 6, 9).isEmpty());
    // A person deleted meanwhile is not scored in anyone's row.
    w->MnXm_Click(20);
    editBook([](xls::Workbook& b) { b.setText(0, 23, 2, "别人"); });
    w->imgXie_Click(1);
    QVERIFY(messages->texts().last().contains(QStringLiteral("分数没有写入")));
    QVERIFY(fileCell(0, 23, 9).isEmpty());
}

void tst_FrmKtHdCalls::score_failedSaveThenRetry_writesOnce()
{
    FrmKtHd* w = open();
    finishSetup(w);
    w->MnXm_Click(3);
    // LibreOffice on another computer holds the file: it reads, but no save
    // can succeed.
    QFile lock(temp->file(QStringLiteral(".~lock.点名册.xls#")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("Teacher,teacher,another-pc,05.03.2026 10:00,file:///x;\n");
    lock.close();
    w->imgXie_Click(1);
    // The teacher is told who holds it, with the buttons the text names.
    QCOMPARE(messages->texts().last(),
             QStringLiteral("点名册.xls 正在被 LibreOffice Calc（Teacher，电脑 another-pc）使用。"
                            "请在那里保存并关闭它，然后点“重试”。"));
    QCOMPARE(messages->shown.back().buttons, MessageButtons::RetryCancel);
    QCOMPARE(messages->shown.back().title, QStringLiteral("错误"));
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isHidden()); // still there to try again
    QVERIFY(!sound->played.contains(QStringLiteral("sound\\yes.wav")));
    QVERIFY(fileCell(0, 6, 9).isEmpty());
    // The other computer lets go; the retry saves the points once.
    QVERIFY(QFile::remove(lock.fileName()));
    w->imgXie_Click(1);
    QCOMPARE(fileCell(0, 6, 9), CellValue::ofNumber(5));
    QCOMPARE(sound->played.last(), QStringLiteral("sound\\yes.wav"));
    QVERIFY(control<QToolButton>(w, "imgXie", 1)->isHidden());
    QCOMPARE(messages->shown.size(), size_t(1));
}

void tst_FrmKtHdCalls::scoreBox_plusMinusAndKeyFilter()
{
    FrmKtHd* w = open();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    finishSetup(w);
    control<QComboBox>(w, "cmbFs0")->setEditText(QStringLiteral("2.5"));
    w->MnFs(2)->setChecked(false); // no rolling: the call stops at once
    w->MnXm(3)->trigger();         // a person called: the score items are shown
    QTest::mouseClick(control<QToolButton>(w, "imgDf0"), Qt::LeftButton); // opens the score editor
    QTest::mouseClick(control<QPushButton>(w, "Command1", 0), Qt::LeftButton); // "+"
    QCOMPARE(control<QComboBox>(w, "cmbFs0")->currentText(), QStringLiteral("3"));
    QTest::mouseClick(control<QPushButton>(w, "Command1", 1), Qt::LeftButton); // "-"
    QCOMPARE(control<QComboBox>(w, "cmbFs0")->currentText(), QStringLiteral("2"));
    control<QComboBox>(w, "cmbFs0")->setEditText(QString());
    control<QComboBox>(w, "cmbFs0")->setFocus();
    QTest::keyClicks(control<QComboBox>(w, "cmbFs0"), QStringLiteral("a1x.5"));
    QCOMPARE(control<QComboBox>(w, "cmbFs0")->currentText(), QStringLiteral("1.5"));
    QVERIFY(!control<QFrame>(w, "FraPf3")->isHidden());
    QTest::mouseClick(control<QToolButton>(w, "imgDf0"), Qt::LeftButton);
    QVERIFY(control<QFrame>(w, "FraPf3")->isHidden());
    QTest::mouseClick(control<QToolButton>(w, "imgDf0"), Qt::LeftButton);
    QVERIFY(!control<QFrame>(w, "FraPf3")->isHidden());
}

void tst_FrmKtHdCalls::reset_clearsColumnAndSettings_closeWritesCurrentOnes()
{
    settings->writeSetting(QStringLiteral("BTs"), QStringLiteral("False"), 1);
    FrmKtHd* w = open();
    finishSetup(w);
    control<QComboBox>(w, "cmbPfWz")->setCurrentIndex(1);
    w->cmbPfWz_Click(); // column 8, mostly scored
    QVERIFY(!fileCell(0, 3, 8).isEmpty());
    w->MnZh_Click(0);
    w->MnFs(1)->setChecked(true);
    w->MnMd_Click(5);
    for (int row = 3; row <= 42; ++row)
        QVERIFY2(fileCell(0, row, 8).isEmpty() || fileCell(0, row, 8) == CellValue::ofText(""),
                 qPrintable(QString::number(row)));
    QCOMPARE(fileCell(0, 2, 8), CellValue::ofText("09月11"));
    QVERIFY(!fileCell(0, 3, 7).isEmpty()); // other lessons untouched
    QCOMPARE(setting("BzhFs"), QStringLiteral("2"));
    QCOMPARE(setting("BCf"), QStringLiteral("False"));
    QCOMPARE(setting("BTs"), QStringLiteral("True"));
    QCOMPARE(w->drawSession().poolSize(), 40);
    w->close();
    QCOMPARE(setting("BzhFs"), QStringLiteral("0"));
    QCOMPARE(setting("BCf"), QStringLiteral("True"));
    QCOMPARE(setting("BTs"), QStringLiteral("True"));
}

void tst_FrmKtHdCalls::reset_whileTheFileIsHeld_tellsAndKeepsWhatWasWritten()
{
    FrmKtHd* w = open();
    finishSetup(w);
    control<QComboBox>(w, "cmbPfWz")->setCurrentIndex(1);
    w->cmbPfWz_Click();
    w->MnZh_Click(0);
    QFile lock(temp->file(QStringLiteral(".~lock.点名册.xls#")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("Teacher,teacher,another-pc,05.03.2026 10:00,file:///x;\n");
    lock.close();
    w->MnMd_Click(5);
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(messages->shown[0].title, QStringLiteral("错误"));
    QCOMPARE(setting("BzhFs"), QStringLiteral("2")); // the settings were written
    QVERIFY(!fileCell(0, 3, 8).isEmpty());           // the file was not
    // Once the file is free, the next access saves the emptied column.
    QVERIFY(QFile::remove(lock.fileName()));
    w->MnMd_Click(4);
    QVERIFY(fileCell(0, 3, 8).isEmpty() || fileCell(0, 3, 8) == CellValue::ofText(""));
    QCOMPARE(fileCell(0, 2, 8), CellValue::ofText("09月11"));
    QCOMPARE(w->drawSession().poolSize(), 40);
}

void tst_FrmKtHdCalls::rollBookButtons_showTheCurrentClass()
{
    FrmKtHd* w = open();
    finishSetup(w, 1);
    w->ImgOpen_Click(1);
    QPointer<RollBookViewer> viewer;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<RollBookViewer*>(widget);
            candidate && candidate->isVisible())
            viewer = candidate;
    }
    QVERIFY(viewer);
    QCOMPARE(viewer->sheetTabs()->tabText(viewer->sheetTabs()->currentIndex()),
             QStringLiteral("初一(2)班"));
    QCOMPARE(w->MnMd(3)->shortcut(), QKeySequence(Qt::Key_F2));
    QVERIFY(messages->shown.empty());
    w->close(); // the viewer goes with the window
    QVERIFY(viewer.isNull() || !viewer->isVisible());
}

QTEST_MAIN(tst_FrmKtHdCalls)
#include "tst_FrmKtHdCalls.moc"
