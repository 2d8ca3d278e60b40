// The prize window with a roll book that is damaged or changed by another
// program during the event, driven as the host drives it.
#include "PrizeFixture.h"
#include "PrizeParts.h"

#include "prizedraw/FrmDjYh.h"
#include "rollbook/Workbook.h"
#include "shell/gui/ModeNavigator.h"

#include "DamagedBook.h"
#include "NoWindows.h"
#include "TestServices.h"

#include <QAction>
#include <QApplication>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSheet = QStringLiteral("抽奖品");
const QString kDamaged = QStringLiteral("请打开并检查Excel文档是否损坏。");

std::filesystem::path pathOf(const QString& file)
{
    return std::filesystem::path(file.toStdU16String());
}

// Another program saves the file: a new modification time first.
void saveElsewhere(const QString& file, const std::function<void(xls::Workbook&, size_t)>& edit)
{
    QTest::qWait(20);
    xls::Workbook book = xls::Workbook::open(pathOf(file));
    const auto names = book.worksheetNames();
    const size_t sheet =
        size_t(std::find(names.begin(), names.end(), kSheet.toStdString()) - names.begin());
    edit(book, sheet);
    book.save();
}

void swapRows(xls::Workbook& book, size_t sheet, int a, int b)
{
    for (int column = 1; column <= 7; ++column) {
        const xls::CellValue first = book.cell(sheet, a, column);
        const xls::CellValue second = book.cell(sheet, b, column);
        for (auto [row, value] : {std::pair{a, second}, std::pair{b, first}}) {
            if (value.type == xls::CellValue::Type::Number)
                book.setNumber(sheet, row, column, value.number);
            else if (value.isEmpty())
                book.setEmpty(sheet, row, column);
            else
                book.setText(sheet, row, column, value.text);
        }
    }
}

} // namespace

class tst_FrmDjYhWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void damagedPrizeSheet_isReported_andRefreshReadsItOnceMended_data();
    void damagedPrizeSheet_isReported_andRefreshReadsItOnceMended();
    void arrayFormulaInUsedCell_awardRefusedAndNamed_otherPrizesGoOn();
    void sheetInsertedBeforePrizeSheet_awardAndResetStayOnThePrizeSheet();
    void awardsPending_whileAnotherProgramSorts_landOnTheirPrizeAndPerson();
    void refresh_writesWaitingAwardFirst_orWaits();
    void waitingAward_whosePrizeWasRemoved_isListedAtClose();

private:
    FrmDjYh* open(Mode mode);
    void confirm(FrmDjYh* w);
    void draw(FrmDjYh* w, int prize);
    QString book() const { return ts->folder.file(QStringLiteral("点名册.xls")); }
    QJsonObject fileCells(const QString& sheet = kSheet) { return xlrdCells(book(), sheet); }

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYhWorkbook::init()
{
    ts = std::make_unique<TestServices>();
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmDjYhWorkbook::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmDjYh* tst_FrmDjYhWorkbook::open(Mode mode)
{
    window = new FrmDjYh(ts->services, *navigator, mode);
    window->show();
    if (!QTest::qWaitForWindowExposed(window) ||
        !QTest::qWaitFor([this] { return window->setupStep() != PrizeStep::Unread; }))
        return nullptr;
    return window;
}

void tst_FrmDjYhWorkbook::confirm(FrmDjYh* w)
{
    auto* ok = w->findChild<QPushButton*>(QStringLiteral("cmdOk_0"));
    for (int i = 0; i < 2 && w->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(w->setupStep(), PrizeStep::Ready);
}

// The host picks the prize from the "获奖等级" menu; the rolling runs out.
void tst_FrmDjYhWorkbook::draw(FrmDjYh* w, int prize)
{
    MnDj(w, prize)->trigger();
    for (int tick = 0; tick < 100 && w->isRolling(); ++tick)
        w->Timer1_Timer();
    QVERIFY(!w->isRolling());
}

void tst_FrmDjYhWorkbook::damagedPrizeSheet_isReported_andRefreshReadsItOnceMended_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("text past the string table") << int(Damage::TextPastStringTable);
    QTest::newRow("cell record cut short") << int(Damage::CellCutShort);
}

void tst_FrmDjYhWorkbook::damagedPrizeSheet_isReported_andRefreshReadsItOnceMended()
{
    QFETCH(int, damage);
    QVERIFY(damageCell(book(), kSheet, 5, 3, Damage(damage)));
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    QCOMPARE(ts->messages.texts(), QStringList{kDamaged});
    QCOMPARE(ts->programEnd.calls, 0);
    QVERIFY(w->drawSession().sheet().prizes.empty());
    confirm(w);
    QTest::qWait(20);
    QVERIFY(QFile::remove(book()));
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    MnSz(w, 6)->trigger(); // 刷新
    QCOMPARE(w->drawSession().sheet().prizes.size(), size_t(6));
    QCOMPARE(ts->messages.shown.size(), size_t(1));
}

void tst_FrmDjYhWorkbook::arrayFormulaInUsedCell_awardRefusedAndNamed_otherPrizesGoOn()
{
    SheetSpec sheet =
        prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 2},
                    {QStringLiteral("二等奖"), QStringLiteral("文具盒"), {}, 2},
                    {QStringLiteral("三等奖"), QStringLiteral("笔记本"), {}, 2}},
                   {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    for (QVariantList& cell : sheet.cells) {
        if (cell[0] == 5 && cell[1] == 6)
            cell[2] = QStringLiteral("=E5*0");
    }
    QVERIFY(QFile::remove(book()));
    QCOMPARE(makeBook(book(), {sheet}), QString());
    QVERIFY(damageCell(book(), kSheet, 5, 6, Damage::ArrayFormulaPart));
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    confirm(w);
    draw(w, 2);
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    QCOMPARE(ts->messages.shown[0].title, QStringLiteral("错误"));
    QVERIFY2(ts->messages.shown[0].text.contains(QStringLiteral("抽奖品!F5")),
             qPrintable(ts->messages.shown[0].text));
    QCOMPARE(ts->programEnd.calls, 0);
    QVERIFY(w->findChild<QToolButton*>(QStringLiteral("imgXie"))->isVisible());
    QJsonObject cells = fileCells();
    QVERIFY(!cells.contains("5,7") && !cells.contains("21,3"));
    // The next prize is written and saved; the refused award still waits.
    draw(w, 0);
    cells = fileCells();
    QCOMPARE(cells.value("3,6").toDouble(), 1.0);
    QCOMPARE(cells.value("3,7").toString(), QStringLiteral("2\r\n乙"));
    QCOMPARE(cells.value("22,4").toString(), QStringLiteral("台灯"));
    QVERIFY(!cells.contains("21,3"));
    ts->messages.shown.clear();
    w->close();
    QVERIFY(ts->messages.texts().last().contains(QStringLiteral("1\r\n甲获三等奖,笔记本")));
}

void tst_FrmDjYhWorkbook::sheetInsertedBeforePrizeSheet_awardAndResetStayOnThePrizeSheet()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    confirm(w);
    draw(w, 0);
    QTest::qWait(20);
    QCOMPARE(insertSheet(book(), 1, QStringLiteral("插入表")), QString());
    draw(w, 1);
    QJsonObject cells = fileCells();
    QCOMPARE(cells.value("3,6").toDouble(), 1.0);
    QCOMPARE(cells.value("4,6").toDouble(), 1.0);
    QCOMPARE(cells.value("4,7").toString(), QStringLiteral("2\r\n陶萍"));
    QJsonObject inserted = fileCells(QStringLiteral("插入表"));
    QCOMPARE(inserted.size(), 29);
    ts->messages.answers.push_back(MessageAnswer::Yes);
    MnSz(w, 7)->trigger(); // 重置
    cells = fileCells();
    QVERIFY(!cells.contains("3,6") && !cells.contains("4,6") && !cells.contains("22,3"));
    QCOMPARE(cells.value("4,7").toString(), QStringLiteral("2\r\n陶萍"));
    QCOMPARE(fileCells(QStringLiteral("插入表")), inserted);
}

void tst_FrmDjYhWorkbook::awardsPending_whileAnotherProgramSorts_landOnTheirPrizeAndPerson()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    confirm(w);
    lockBook(ts->folder.path());
    draw(w, 2); // 三等奖 笔记本 (row 5) to 1 郭文诗 (row 21); the save fails
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    // Another program sorts the prizes the other way round and swaps the
    // first two people.
    saveElsewhere(book(), [](xls::Workbook& b, size_t sheet) {
        swapRows(b, sheet, 3, 8);
        swapRows(b, sheet, 4, 7);
        swapRows(b, sheet, 5, 6);
        swapRows(b, sheet, 21, 22);
    });
    unlockBook(ts->folder.path());
    draw(w, 0); // 一等奖 台灯 (row 3 when read) to 2 陶萍 (row 22 when read)
    QCOMPARE(ts->messages.shown.size(), size_t(2));
    QVERIFY2(ts->messages.shown[1].text.contains(QStringLiteral("4处修改已重新写入")),
             qPrintable(ts->messages.shown[1].text));
    const QJsonObject cells = fileCells();
    QCOMPARE(cells.value("6,3").toString(), QStringLiteral("笔记本"));
    QCOMPARE(cells.value("6,6").toDouble(), 1.0);
    QCOMPARE(cells.value("6,7").toString(), QStringLiteral("1\r\n郭文诗"));
    QCOMPARE(cells.value("22,2").toString(), QStringLiteral("郭文诗"));
    QCOMPARE(cells.value("22,4").toString(), QStringLiteral("笔记本"));
    QCOMPARE(cells.value("8,3").toString(), QStringLiteral("台灯"));
    QCOMPARE(cells.value("8,7").toString(), QStringLiteral("2\r\n陶萍"));
    QCOMPARE(cells.value("21,4").toString(), QStringLiteral("台灯"));
    for (int row : {3, 4, 5, 7})
        QCOMPARE(cells.value(QStringLiteral("%1,6").arg(row)).toDouble(), 0.0);
}

void tst_FrmDjYhWorkbook::refresh_writesWaitingAwardFirst_orWaits()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    confirm(w);
    QVERIFY(QFile::rename(book(), book() + QStringLiteral(".away")));
    draw(w, 2);
    QCOMPARE(w->drawSession().pool().size(), 39);
    MnSz(w, 6)->trigger();                        // 刷新 while the award cannot be written
    QCOMPARE(w->setupStep(), PrizeStep::Drawing); // not read again
    QCOMPARE(w->drawSession().pool().size(), 39);
    QCOMPARE(ts->messages.shown.back().title, QStringLiteral("错误"));
    QVERIFY(ts->messages.texts().last().contains(QStringLiteral("刷新")));
    QVERIFY(QFile::rename(book() + QStringLiteral(".away"), book()));
    MnSz(w, 6)->trigger();
    QCOMPARE(w->setupStep(), PrizeStep::ConfirmPrizes);
    QCOMPARE(w->drawSession().pool().size(), 39); // the winner stays out of the draw
    QCOMPARE(w->drawSession().sheet().prizes[2].remaining, 4);
    QCOMPARE(fileCells().value("5,6").toDouble(), 1.0);
    confirm(w);
    draw(w, 2);
    QCOMPARE(fileCells().value("5,6").toDouble(), 2.0);
    QCOMPARE(fileCells().value("5,7").toString(), QStringLiteral("1\r\n郭文诗,2\r\n陶萍"));
}

void tst_FrmDjYhWorkbook::waitingAward_whosePrizeWasRemoved_isListedAtClose()
{
    FrmDjYh* w = open(Mode::FixedPrize);
    QVERIFY(w);
    confirm(w);
    QVERIFY(QFile::rename(book(), book() + QStringLiteral(".away")));
    draw(w, 5); // 参与奖 贴纸, row 8
    QVERIFY(QFile::rename(book() + QStringLiteral(".away"), book()));
    saveElsewhere(book(), [](xls::Workbook& b, size_t sheet) {
        for (int row = 5; row <= 8; ++row)
            for (int column = 1; column <= 6; ++column)
                b.setEmpty(sheet, row, column);
    });
    MnSz(w, 6)->trigger();
    QVERIFY(ts->messages.texts().contains(
        QStringLiteral("抽奖品工作表中找不到“参与奖 贴纸”这一行，这次获奖没有写入点名册.xls。\r\n"
                       "获奖记录保留在本窗口中：请检查抽奖品工作表后点“写名单”。")));
    QCOMPARE(w->setupStep(), PrizeStep::Drawing); // not read again
    QVERIFY(QFile::rename(book(), book() + QStringLiteral(".away")));
    ts->messages.shown.clear();
    w->close();
    QVERIFY(ts->messages.texts().last().contains(QStringLiteral("1\r\n郭文诗获参与奖,贴纸")));
}

QTEST_MAIN(tst_FrmDjYhWorkbook)
#include "tst_FrmDjYhWorkbook.moc"
