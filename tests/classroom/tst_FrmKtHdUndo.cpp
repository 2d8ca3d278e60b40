// "撤销上次成绩" as the teacher uses it: Ctrl+Z or the menu item after a
// score was written, the roll book read back with the independent reader.
#include "ClassroomFixture.h"
#include "RealInput.h"

#include <QFileInfo>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

constexpr int kRow = 6;    // number 4
constexpr int kColumn = 9; // I: today's new column

// Another computer's LibreOffice holds the roll book: no save succeeds.
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

// The draw record's events of one kind.
std::vector<DrawEvent> logged(const TestServices& ts, DrawEventKind kind)
{
    std::vector<DrawEvent> events;
    for (const DrawEvent& event : ts.drawLog.events) {
        if (event.kind == kind)
            events.push_back(event);
    }
    return events;
}

void pressUndo(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
}

} // namespace

class tst_FrmKtHdUndo : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void itemComesLast_andOnlyAfterAScore();
    void ctrlZ_restoresScoreAndTheHeaderItMade_once();
    void menuItem_restoresAnEarlierNumber_andKeepsTheHeader();
    void cellChangedElsewhere_isRefused_andNothingChanges();
    void nextCallRefreshResetOrClass_disableIt_data();
    void nextCallRefreshResetOrClass_disableIt();
    void failedSave_keepsTheTakeBackPending_andAppliesItOnce();
    void unsavedScore_simplyLeaves();

private:
    FrmKtHd* openAndSetUp();
    // Calls number 4 from the name menu and writes the points with 写.
    void writeScoreForNumber4(FrmKtHd* w);
    QAction* undoItem(FrmKtHd* w) { return w->topMenu(3)->actions().last(); }
    bool xlrdEmpty(int row, int column);
};

FrmKtHd* tst_FrmKtHdUndo::openAndSetUp()
{
    FrmKtHd* w = open();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    finishSetup(w);
    return w->setupStage() == ClassroomStep::Ready ? w : nullptr;
}

void tst_FrmKtHdUndo::writeScoreForNumber4(FrmKtHd* w)
{
    w->MnXm(3)->trigger();
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
}

bool tst_FrmKtHdUndo::xlrdEmpty(int row, int column)
{
    return ClassroomFixture::xlrdEmpty(0, row, column);
}

void tst_FrmKtHdUndo::itemComesLast_andOnlyAfterAScore()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    QAction* undo = undoItem(w);
    QCOMPARE(undo->text(), QStringLiteral("撤销上次成绩"));
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    // The items before keep their places.
    QCOMPARE(w->topMenu(3)->actions().indexOf(w->MnJs(7)), 7);
    QVERIFY(!undo->isEnabled());
    w->MnXm(3)->trigger();
    QVERIFY(!undo->isEnabled()); // called, not scored
    pressUndo(w);
    QVERIFY(messages->shown.empty());
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QVERIFY(undo->isEnabled());
}

void tst_FrmKtHdUndo::ctrlZ_restoresScoreAndTheHeaderItMade_once()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    writeScoreForNumber4(w);
    QCOMPARE(xlrdCell(0, kRow, kColumn), QStringLiteral("5.0"));
    QCOMPARE(xlrdCell(0, 2, kColumn), QStringLiteral("'03月05'"));
    QVERIFY(control<QToolButton>(w, "imgXie", 1)->isHidden());
    const int pool = w->drawSession().poolSize();
    const size_t cues = sound->played.size();

    pressUndo(w);
    QVERIFY(xlrdEmpty(kRow, kColumn));
    QVERIFY(xlrdEmpty(2, kColumn)); // the header this score made goes too
    QVERIFY(messages->shown.empty());
    QCOMPARE(sound->played.size(), cues); // no success cue
    QVERIFY(!control<QToolButton>(w, "imgXie", 1)->isHidden());
    QVERIFY(w->MnJs(2)->isVisible());
    QCOMPARE(calledName(w), QStringLiteral("彭军"));
    QCOMPARE(w->drawSession().poolSize(), pool);
    QVERIFY(!undoItem(w)->isEnabled());
    const auto events = logged(*ts, DrawEventKind::ScoreTakenBack);
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(events[0].subject, QStringLiteral("初一(1)班"));
    QCOMPARE(events[0].result, QStringLiteral("4 彭军 5分"));

    // Only once: the second press finds nothing to take back.
    pressUndo(w);
    QVERIFY(messages->shown.empty());
    QCOMPARE(logged(*ts, DrawEventKind::ScoreTakenBack).size(), size_t(1));
    // The same person scored again goes into the emptied cell.
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(xlrdCell(0, kRow, kColumn), QStringLiteral("5.0"));
}

void tst_FrmKtHdUndo::menuItem_restoresAnEarlierNumber_andKeepsTheHeader()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    // 前一次 in the scoring panel (F8): the points add to the last dated
    // column, H "09月11", where number 4 has 1.
    QTest::keyClick(w, Qt::Key_F8);
    auto* position = control<QComboBox>(w, "cmbPfWz");
    position->setFocus();
    QTest::keyClick(position, Qt::Key_Down);
    QCOMPARE(w->scoreColumn(), 8);
    click(w->FraPf(), "cmdOk0");
    writeScoreForNumber4(w);
    QCOMPARE(xlrdCell(0, kRow, 8), QStringLiteral("6.0"));
    undoItem(w)->trigger();
    QCOMPARE(xlrdCell(0, kRow, 8), QStringLiteral("1.0"));
    QCOMPARE(xlrdCell(0, 2, 8), QStringLiteral("'09月11'"));
    QVERIFY(xlrdEmpty(2, kColumn));
}

void tst_FrmKtHdUndo::cellChangedElsewhere_isRefused_andNothingChanges()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    writeScoreForNumber4(w);
    QTest::qWait(20);
    editBook([](xls::Workbook& b) { b.setNumber(0, kRow, kColumn, 7); });
    pressUndo(w);
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY2(messages->shown[0].text.contains(QStringLiteral("初一(1)班!I6")) &&
                 messages->shown[0].text.contains(QStringLiteral("没有撤销")),
             qPrintable(messages->shown[0].text));
    QCOMPARE(xlrdCell(0, kRow, kColumn), QStringLiteral("7.0"));
    QCOMPARE(xlrdCell(0, 2, kColumn), QStringLiteral("'03月05'"));
    QVERIFY(!undoItem(w)->isEnabled());
    QVERIFY(logged(*ts, DrawEventKind::ScoreTakenBack).empty());
}

void tst_FrmKtHdUndo::nextCallRefreshResetOrClass_disableIt_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("classItem"); // -1: the key alone
    QTest::newRow("next call (F3)") << int(Qt::Key_F3) << -1;
    QTest::newRow("refresh (F5)") << int(Qt::Key_F5) << -1;
    QTest::newRow("reset (F6)") << int(Qt::Key_F6) << -1;
    QTest::newRow("another class") << 0 << 1;
}

void tst_FrmKtHdUndo::nextCallRefreshResetOrClass_disableIt()
{
    QFETCH(int, key);
    QFETCH(int, classItem);
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    // Without rolling, so F3 calls the next person at once.
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    writeScoreForNumber4(w);
    QVERIFY(undoItem(w)->isEnabled());
    if (classItem >= 0)
        w->MnBj(classItem)->trigger();
    else
        QTest::keyClick(w, Qt::Key(key));
    QVERIFY(!undoItem(w)->isEnabled());
    const QString after = xlrdCell(0, kRow, kColumn);
    pressUndo(w);
    QCOMPARE(xlrdCell(0, kRow, kColumn), after);
}

void tst_FrmKtHdUndo::failedSave_keepsTheTakeBackPending_andAppliesItOnce()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    writeScoreForNumber4(w);
    lockBook(book());
    pressUndo(w);
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(messages->shown[0].title, QStringLiteral("错误"));
    QCOMPARE(xlrdCell(0, kRow, kColumn), QStringLiteral("5.0")); // not in the file yet
    QVERIFY(!undoItem(w)->isEnabled());
    unlockBook(book());
    // The next access saves it: here the roll book shown from the menu.
    QTest::keyClick(w, Qt::Key_F5);
    QVERIFY(xlrdEmpty(kRow, kColumn));
    QVERIFY(xlrdEmpty(2, kColumn));
    QTest::keyClick(w, Qt::Key_F5);
    QVERIFY(xlrdEmpty(kRow, kColumn));
    QCOMPARE(messages->shown.size(), size_t(1));
}

void tst_FrmKtHdUndo::unsavedScore_simplyLeaves()
{
    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    lockBook(book());
    writeScoreForNumber4(w); // written in memory; the save fails
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(undoItem(w)->isEnabled());
    pressUndo(w);
    unlockBook(book());
    QTest::keyClick(w, Qt::Key_F5);
    QVERIFY(xlrdEmpty(kRow, kColumn));
    QVERIFY(xlrdEmpty(2, kColumn));
    // Nothing of it is listed as lost when the window closes.
    const size_t before = messages->shown.size();
    w->close();
    QCOMPARE(messages->shown.size(), before);
}

QTEST_MAIN(tst_FrmKtHdUndo)
#include "tst_FrmKtHdUndo.moc"
