// The classroom window with a roll book that is damaged or changed by another
// program during the lesson, driven as the teacher drives it.
#include "ClassroomFixture.h"
#include "DamagedBook.h"
#include "RealInput.h"
#include "WineSkips.h"

#include "shell/core/SystemProcessControl.h"

#include <QFileInfo>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kClass1 = QStringLiteral("初一(1)班");
const QString kClass2 = QStringLiteral("初一(2)班");

// LibreOffice on another computer holds the roll book: it reads, but no
// save can succeed until the lock goes.
void lockBook(const QString& book)
{
    QFile lock(QFileInfo(book).dir().filePath(QStringLiteral(".~lock.点名册.xls#")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("Teacher,teacher,another-pc,05.03.2026 10:00,file:///x;\n");
}

void unlockBook(const QString& book)
{
    QVERIFY(QFile::remove(QFileInfo(book).dir().filePath(QStringLiteral(".~lock.点名册.xls#"))));
}

// Another program saves the file: a new modification time first.
void elsewhere(const std::function<void()>& change)
{
    QTest::qWait(20);
    change();
}

} // namespace

class tst_FrmKtHdBook : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        ZELVANO_SKIP_LISTED_UNDER_WINE();
        setUp();
    }
    void cleanup() { tearDown(); }

    void damagedClassChosenMidLesson_isReported_andTheClassIsChosenAgain_data();
    void damagedClassChosenMidLesson_isReported_andTheClassIsChosenAgain();
    void resetAfterAnEmptyClass_touchesNoOtherClass();
    void pendingScores_afterAnotherProgramChangedTheRows_followOrAreKept();
    void unsavedScore_retriedAfterChoosingSomeoneElseAndBack_isAddedOnce();
    void score_whileAProgramHoldsTheBook_namesIt_andAsksItToCloseOnlyWhenChosen();

private:
    // The guided setup as the teacher clicks through it, class 1.
    FrmKtHd* openAndSetUp();
};

FrmKtHd* tst_FrmKtHdBook::openAndSetUp()
{
    FrmKtHd* w = open();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    click(w->fraBj(), "cmdOk3");
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    return w->setupStage() == ClassroomStep::Ready ? w : nullptr;
}

void tst_FrmKtHdBook::damagedClassChosenMidLesson_isReported_andTheClassIsChosenAgain_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("text past the string table") << int(Damage::TextPastStringTable);
    QTest::newRow("cell record cut short") << int(Damage::CellCutShort);
    QTest::newRow("whole file cut short") << -1;
}

void tst_FrmKtHdBook::damagedClassChosenMidLesson_isReported_andTheClassIsChosenAgain()
{
    QFETCH(int, damage);
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    elsewhere([&] {
        if (damage < 0) {
            QFile file(book());
            QVERIFY(file.resize(file.size() / 2));
        } else {
            QVERIFY(damageCell(book(), kClass2, 5, 2, Damage(damage)));
        }
    });
    w->MnBj(1)->trigger();
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("请打开并检查Excel文档是否损坏。")});
    QCOMPARE(programEnd->calls, 0);
    QVERIFY(w->isVisible());
    QVERIFY(w->roster().empty());
    QCOMPARE(w->drawSession().poolSize(), 0);
    // Back to the class choice, as at the first one: no dead stage.
    QCOMPARE(w->setupStage(), ClassroomStep::ChoosingClass);
    QVERIFY(w->fraBj()->isVisible());
    QVERIFY(!w->fraFz()->isVisible());
    QVERIFY(!w->fraTs()->isVisible());
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请选择班级"));
    if (damage < 0)
        QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                            book() + QStringLiteral(".good")) &&
                QFile::remove(book()) && QFile::rename(book() + QStringLiteral(".good"), book()));
    finishSetup(w, 2);
    QCOMPARE(w->personCount(), 40);
    QCOMPARE(w->roster()[0].name, QStringLiteral("张娟勇"));
    QCOMPARE(messages->shown.size(), size_t(1));
}

void tst_FrmKtHdBook::resetAfterAnEmptyClass_touchesNoOtherClass()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    QCOMPARE(w->scoreColumn(), 9);
    // Class 2 had a third lesson; then someone emptied its first number.
    elsewhere([&] {
        editBook([](xls::Workbook& b) {
            b.setText(1, 2, 9, "09月18");
            for (int row = 3; row <= 42; ++row)
                b.setNumber(1, row, 9, 2);
            b.setEmpty(1, 3, 1);
        });
    });
    w->MnBj(1)->trigger();
    QCOMPARE(messages->texts(), QStringList{QStringLiteral("检测到名单表格为空，请检查")});
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F6);
    // The class is chosen again first: the menus wait for it.
    QVERIFY(w->fraBj()->isVisible());
    for (int row : {3, 4, 20, 42})
        QCOMPARE(xlrdCell(1, row, 9), QStringLiteral("2.0"));
    QCOMPARE(xlrdCell(0, 3, 8), QStringLiteral("1.0")); // class 1 as it was
    QCOMPARE(xlrdCell(1, 2, 9), QStringLiteral("'09月18'"));
}

void tst_FrmKtHdBook::pendingScores_afterAnotherProgramChangedTheRows_followOrAreKept()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    lockBook(book());
    w->MnXm(3)->trigger(); // number 4, row 6
    const QString name = calledName(w);
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    w->MnXm(9)->trigger(); // number 10, row 12
    const QString tenth = calledName(w);
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), size_t(2));
    QCOMPARE(messages->shown[1].title, QStringLiteral("错误"));
    // Meanwhile another program sorts rows 5 and 6 the other way round and
    // renames number 10.
    elsewhere([&] {
        editBook([](xls::Workbook& b) {
            for (int col = 1; col <= 8; ++col) {
                const CellValue a = b.cell(0, 5, col);
                const CellValue c = b.cell(0, 6, col);
                for (auto [row, v] : {std::pair{5, c}, std::pair{6, a}}) {
                    if (v.type == CellValue::Type::Number)
                        b.setNumber(0, row, col, v.number);
                    else
                        b.setText(0, row, col, v.text);
                }
            }
            b.setText(0, 12, 2, "别人");
        });
    });
    unlockBook(book());
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), size_t(3));
    const QString report = messages->shown[2].text;
    QVERIFY2(report.contains(QStringLiteral("2处修改已重新写入")) &&
                 report.contains(QStringLiteral("另有1处修改没有写入")) &&
                 report.contains(QStringLiteral("初一(1)班!I12（10 %1）").arg(tenth)),
             qPrintable(report));
    // The score of number 10 did not land: no success, the button stays.
    QVERIFY(!sound->played.contains(QStringLiteral("sound\\yes.wav")));
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isHidden());
    QVERIFY(w->MnJs(2)->isVisible());
    // Pressed again, 写 says why the score waits instead of doing nothing.
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), size_t(4));
    QVERIFY2(
        messages->shown[3].text.startsWith(QStringLiteral("10 %1 的分数还没有写入").arg(tenth)),
        qPrintable(messages->shown[3].text));
    QCOMPARE(xlrdCell(0, 5, 2), QStringLiteral("'%1'").arg(name));
    QCOMPARE(xlrdCell(0, 5, 9), QStringLiteral("5.0"));
    QCOMPARE(xlrdCell(0, 6, 9), QStringLiteral("''"));
    QCOMPARE(xlrdCell(0, 12, 9), QStringLiteral("''"));
    QCOMPARE(xlrdCell(0, 2, 9), QStringLiteral("'03月05'"));
    // Never dropped silently: listed when the window closes.
    w->close();
    QVERIFY(messages->texts().last().contains(
        QStringLiteral("初一(1)班!I12（10 %1） 写入5（找不到原来那一行的人或奖品）").arg(tenth)));
}

void tst_FrmKtHdBook::unsavedScore_retriedAfterChoosingSomeoneElseAndBack_isAddedOnce()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    lockBook(book());
    w->MnXm(3)->trigger(); // number 4, row 6
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), size_t(1)); // the save failed: try again
    w->MnXm(4)->trigger();                       // number 5, nothing written
    w->MnXm(3)->trigger();                       // and number 4 again
    unlockBook(book());
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    // The roll book still held number 4's points: saved, not added again.
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(xlrdCell(0, 6, 9), QStringLiteral("5.0"));
    QCOMPARE(xlrdCell(0, 7, 9), QStringLiteral("''"));
    QVERIFY(sound->played.contains(QStringLiteral("sound\\yes.wav")));
}

void tst_FrmKtHdBook::score_whileAProgramHoldsTheBook_namesIt_andAsksItToCloseOnlyWhenChosen()
{
    SystemProcessControl system;
    services->processes = &system;
    clock->onWait = [](int ms) { QTest::qWait(ms); };
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    // A second program of the teacher's keeps the roll book open.
    QProcess holder;
    holder.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, time\nf = open(sys.argv[1], 'rb')\n"
                                 "print('ready', flush=True)\ntime.sleep(60)"),
                  book()});
    QVERIFY(holder.waitForReadyRead(20000));
    w->MnXm(3)->trigger(); // number 4, row 6
    QToolButton* write = control<QToolButton>(w, "imgXie", 1);
    messages->answers = {MessageAnswer::Cancel};
    QTest::mouseClick(write, Qt::LeftButton);
    QCOMPARE(messages->shown.size(), size_t(1)); // one box: who holds it, nothing else
    QVERIFY2(
        messages->shown[0].text.contains(QStringLiteral("（进程 %1）使用。请在那里保存并关闭它，"
                                                        "然后点“重试”。")
                                             .arg(holder.processId())),
        qPrintable(messages->shown[0].text));
    QCOMPARE(messages->shown[0].buttons, MessageButtons::RetryCloseCancel);
    QCOMPARE(holder.state(), QProcess::Running); // never ended without asking
    QVERIFY(fileCell(0, 6, 9).isEmpty());
    QVERIFY(!write->isHidden()); // the score waits

    messages->answers = {MessageAnswer::Close};
    QTest::mouseClick(write, Qt::LeftButton);
    // The write waited for it to end, and QProcess may have seen that already.
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(10000));
    QCOMPARE(holder.exitStatus(), QProcess::CrashExit); // its own end on SIGTERM
    QCOMPARE(xlrdCell(0, 6, 9), QStringLiteral("5.0"));
    QVERIFY(write->isHidden());
    QVERIFY(sound->played.contains(QStringLiteral("sound\\yes.wav")));
}

QTEST_MAIN(tst_FrmKtHdBook)
#include "tst_FrmKtHdBook.moc"
