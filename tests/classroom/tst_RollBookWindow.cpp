// The roll-book window (F2) as the teacher edits in it: a cell opens only on
// purpose, Enter commits, Esc cancels, and Ctrl+Z takes an edit back by the
// rule a score is taken back with.
#include "ClassroomFixture.h"

#include <QTableView>

using namespace zelvano;
using namespace zelvano::testing;

class tst_RollBookWindow : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void strayKey_changesNothing_escCancels_enterCommits_ctrlZTakesBack();
    void editChangedElsewhere_isNotTakenBack();

private:
    // The class window set up, its roll book opened with F2 on 彭军's name.
    QTableView* openOnName();
    QLineEdit* editor() const
    {
        // A closed editor lingers hidden until it is deleted.
        for (auto* box : m_grid->viewport()->findChildren<QLineEdit*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    QTableView* m_grid = nullptr;
};

QTableView* tst_RollBookWindow::openOnName()
{
    FrmKtHd* w = open();
    finishSetup(w);
    QApplication::setActiveWindow(w);
    QTest::keyClick(w, Qt::Key_F2);
    RollBookViewer* viewer = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* shown = qobject_cast<RollBookViewer*>(widget); shown && shown->isVisible())
            viewer = shown;
    if (!viewer || !QTest::qWaitForWindowExposed(viewer))
        return nullptr;
    QApplication::setActiveWindow(viewer);
    m_grid = viewer->grid();
    const QModelIndex name = m_grid->model()->index(5, 1); // B6: 彭军
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->visualRect(name).center());
    return m_grid->currentIndex() == name ? m_grid : nullptr;
}

void tst_RollBookWindow::strayKey_changesNothing_escCancels_enterCommits_ctrlZTakesBack()
{
    QTableView* grid = openOnName();
    QVERIFY(grid);
    QTest::keyClick(grid, Qt::Key_Q);
    QVERIFY(!editor());
    QTest::keyClick(grid, Qt::Key_F2);
    QVERIFY(editor());
    QTest::keyClicks(editor(), QStringLiteral("x"));
    QTest::keyClick(editor(), Qt::Key_Escape);
    QVERIFY(!editor());
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("'彭军'"));

    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(editor());
    editor()->selectAll();
    QTest::keyClicks(editor(), QStringLiteral("Peng Jun"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on a queued call
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("'Peng Jun'"));
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("'彭军'"));
    QCOMPARE(grid->currentIndex().data().toString(), QStringLiteral("彭军"));
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier); // nothing more to take back
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("'彭军'"));
    QVERIFY(messages->shown.empty());
}

void tst_RollBookWindow::editChangedElsewhere_isNotTakenBack()
{
    QTableView* grid = openOnName();
    QVERIFY(grid);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(grid->currentIndex()).center());
    QVERIFY(editor());
    editor()->selectAll();
    QTest::keyClicks(editor(), QStringLiteral("12"));
    QTest::keyClick(editor(), Qt::Key_Enter);
    QApplication::processEvents();
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("12.0"));
    QTest::qWait(20); // another program saves the file later
    editBook([](xls::Workbook& b) { b.setText(0, 6, 2, "别人"); });
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(messages->shown[0].text.contains(QStringLiteral("没有撤销")));
    QCOMPARE(xlrdCell(0, 6, 2), QStringLiteral("'别人'"));
}

QTEST_MAIN(tst_RollBookWindow)
#include "tst_RollBookWindow.moc"
