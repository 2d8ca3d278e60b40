// The classroom window on a roll book saved as .xlsx by LibreOffice,
// openpyxl or xlsxwriter, driven as the teacher drives it: the scores land
// in their cells, as openpyxl reads the saved file, and nothing else moves.
#include "ClassroomFixture.h"
#include "XlsxOracle.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_FrmKtHdXlsx : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { tearDown(); }

    void scores_landInTheirCells_data();
    void scores_landInTheirCells();

private:
    QString xlsx() const { return temp->file(QStringLiteral("点名册.xlsx")); }
    FrmKtHd* openAndSetUp();
};

void tst_FrmKtHdXlsx::init()
{
    setUp();
    QFETCH(QString, writer);
    QVERIFY(QFile::remove(book()));
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xlsx/rollbook_") +
                            writer + QStringLiteral(".xlsx"),
                        QStringLiteral("点名册.xlsx")));
}

void tst_FrmKtHdXlsx::scores_landInTheirCells_data()
{
    QTest::addColumn<QString>("writer");
    for (const char* writer : {"lo", "openpyxl", "xlsxwriter"})
        QTest::newRow(writer) << QString::fromLatin1(writer);
}

FrmKtHd* tst_FrmKtHdXlsx::openAndSetUp()
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

void tst_FrmKtHdXlsx::scores_landInTheirCells()
{
    QFETCH(QString, writer);
    const QString class1 = QStringLiteral("初一(1)班");
    const QString class2 = QStringLiteral("初一(2)班");
    const QJsonObject before = openpyxlCells(xlsx(), class1);
    const QJsonObject otherBefore = openpyxlCells(xlsx(), class2);
    QFile original(xlsx());
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray originalBytes = original.readAll();
    original.close(); // Windows cannot replace a file that is still open

    FrmKtHd* w = openAndSetUp();
    QVERIFY(w);
    QCOMPARE(w->personCount(), 40);
    QCOMPARE(w->roster()[0].name, QStringLiteral("郭文诗"));
    QCOMPARE(w->scoreColumn(), 9);
    w->MnXm(3)->trigger(); // number 4, row 6
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    w->MnXm(9)->trigger(); // number 10, row 12
    QTest::mouseClick(control<QToolButton>(w, "imgXie", 1), Qt::LeftButton);
    QCOMPARE(messages->texts(), QStringList());
    QCOMPARE(sound->played.count(QStringLiteral("sound\\yes.wav")), 2);

    const QString diff =
        cellDifference(before, openpyxlCells(xlsx(), class1),
                       QJsonObject{{"2,9", QStringLiteral("03月05")}, {"6,9", 5}, {"12,9", 5}});
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(openpyxlCells(xlsx(), class2), otherBefore);
    QFile backup(temp->file(QStringLiteral("点名册.bak.xlsx")));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), originalBytes);
    QVERIFY(!QFile::exists(temp->file(QStringLiteral("点名册.bak.xls"))));
    // Totals over the scores are recalculated when the file is next opened.
    if (writer == QStringLiteral("xlsxwriter"))
        QVERIFY(packagePart(xlsx(), QStringLiteral("xl/workbook.xml"))
                    .contains(QStringLiteral("fullCalcOnLoad=\"1\"")));
}

QTEST_MAIN(tst_FrmKtHdXlsx)
#include "tst_FrmKtHdXlsx.moc"
