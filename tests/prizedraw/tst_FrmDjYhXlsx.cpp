// The prize window on a roll book saved as .xlsx by LibreOffice, openpyxl
// or xlsxwriter, driven as the host drives it: each award lands on its
// prize's row and its winner's row, as openpyxl reads the saved file, and
// the reset takes the awards back out.
#include "PrizeParts.h"

#include "prizedraw/FrmDjYh.h"
#include "shell/gui/ModeNavigator.h"

#include "NoWindows.h"
#include "TestServices.h"
#include "XlsxOracle.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{
const QString kSheet = QStringLiteral("抽奖品");
} // namespace

class tst_FrmDjYhXlsx : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void awards_landOnPrizeAndWinner_andResetTakesThemOut_data();
    void awards_landOnPrizeAndWinner_andResetTakesThemOut();

private:
    QString book() const { return ts->folder.file(QStringLiteral("点名册.xlsx")); }
    FrmDjYh* openReady();
    void draw(FrmDjYh* w, int prize);

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYhXlsx::init()
{
    QFETCH(QString, writer);
    ts = std::make_unique<TestServices>();
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xlsx/rollbook_") +
                            writer + QStringLiteral(".xlsx"),
                        QStringLiteral("点名册.xlsx")));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmDjYhXlsx::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

// Fixed prize, draw a winner: the setup confirmed with its button.
FrmDjYh* tst_FrmDjYhXlsx::openReady()
{
    window = new FrmDjYh(ts->services, *navigator, Mode::FixedPrize);
    window->show();
    if (!QTest::qWaitForWindowExposed(window) ||
        !QTest::qWaitFor([this] { return window->setupStep() != PrizeStep::Unread; }))
        return nullptr;
    auto* ok = window->findChild<QPushButton*>(QStringLiteral("cmdOk_0"));
    for (int i = 0; i < 2 && window->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(ok, Qt::LeftButton);
    return window->setupStep() == PrizeStep::Ready ? window.data() : nullptr;
}

// The host picks the prize from the "获奖等级" menu; the rolling runs out.
void tst_FrmDjYhXlsx::draw(FrmDjYh* w, int prize)
{
    MnDj(w, prize)->trigger();
    for (int tick = 0; tick < 100 && w->isRolling(); ++tick)
        w->Timer1_Timer();
    QVERIFY(!w->isRolling());
}

void tst_FrmDjYhXlsx::awards_landOnPrizeAndWinner_andResetTakesThemOut_data()
{
    QTest::addColumn<QString>("writer");
    for (const char* writer : {"lo", "openpyxl", "xlsxwriter"})
        QTest::newRow(writer) << QString::fromLatin1(writer);
}

void tst_FrmDjYhXlsx::awards_landOnPrizeAndWinner_andResetTakesThemOut()
{
    const QJsonObject before = openpyxlCells(book(), kSheet);
    FrmDjYh* w = openReady();
    QVERIFY(w);
    QCOMPARE(w->drawSession().sheet().prizes.size(), size_t(6));
    draw(w, 0); // 一等奖 台灯 to 1 郭文诗 (row 21)
    draw(w, 1); // 二等奖 文具盒 to 2 陶萍 (row 22)
    QCOMPARE(ts->messages.texts(), QStringList());
    const QJsonObject awarded = openpyxlCells(book(), kSheet);
    const QString diff = cellDifference(before, awarded,
                                        QJsonObject{{"3,6", 1},
                                                    {"3,7", QStringLiteral("1\r\n郭文诗")},
                                                    {"21,3", QStringLiteral("一等奖")},
                                                    {"21,4", QStringLiteral("台灯")},
                                                    {"4,6", 1},
                                                    {"4,7", QStringLiteral("2\r\n陶萍")},
                                                    {"22,3", QStringLiteral("二等奖")},
                                                    {"22,4", QStringLiteral("文具盒")}});
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    ts->messages.answers.push_back(MessageAnswer::Yes);
    MnSz(w, 7)->trigger(); // 重置
    const QJsonObject reset = openpyxlCells(book(), kSheet);
    QVERIFY(!reset.contains("3,6") && !reset.contains("21,3") && !reset.contains("22,4"));
    QCOMPARE(reset.value("4,7").toString(), QStringLiteral("2\r\n陶萍"));
}

QTEST_MAIN(tst_FrmDjYhXlsx)
#include "tst_FrmDjYhXlsx.moc"
