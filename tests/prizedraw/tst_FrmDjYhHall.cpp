// The prize window in front of a hall, driven by keys and clicks on the
// shown window: what the host sees, what the roll book and the record hold.
#include "PrizeFixture.h"
#include "PrizeParts.h"

#include "prizedraw/FrmDjYh.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/Workbook.h"
#include "shell/gui/ModeNavigator.h"

#include "NoWindows.h"
#include "TestServices.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

const QString kSheet = QStringLiteral("抽奖品");

SheetSpec twoPrizes(const QStringList& people)
{
    return prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 1},
                       {QStringLiteral("二等奖"), QStringLiteral("文具盒"), {}, 2}},
                      people);
}

// "已用" of the prize list line of prize `t` (1-based).
int usedInList(const FrmDjYh* w, int t)
{
    return lstJp(w)->item(2 * t)->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).last().toInt();
}

} // namespace

class tst_FrmDjYhHall : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namesAddedThenRefresh_winnerShownIsRecorded_data();
    void namesAddedThenRefresh_winnerShownIsRecorded();
    void reset_asksFirst_andKeepsTheFirstBackup();
    void openPrizeList_followsEveryAward();
    void enlarge_atTheLimit_neverShrinks();
    void lists_lineUpTheirColumns();
    void sidePanel_scalesWithTheWindow();
    void unusableRollBook_saysWhatIsWrong_data();
    void unusableRollBook_saysWhatIsWrong();
    void voidAndPanelTexts();
    void menuDraws_updateChoices_andTheStartButtonStays();

private:
    FrmDjYh* open(int modeCode, bool confirmed = true);
    void roll(FrmDjYh* w);
    QString book() const { return ts->folder.file(QStringLiteral("点名册.xls")); }
    void useBook(const QList<SheetSpec>& sheets);

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmDjYh> window;
};

void tst_FrmDjYhHall::init()
{
    ts = std::make_unique<TestServices>();
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmDjYhHall::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

void tst_FrmDjYhHall::useBook(const QList<SheetSpec>& sheets)
{
    QFile::remove(book());
    const QString error = makeBook(book(), sheets);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

FrmDjYh* tst_FrmDjYhHall::open(int modeCode, bool confirmed)
{
    ts->services.modeCode = static_cast<std::int16_t>(modeCode);
    window = new FrmDjYh(ts->services, *navigator);
    window->show();
    QApplication::setActiveWindow(window); // shortcuts reach the active window only
    if (!QTest::qWaitForWindowActive(window))
        return nullptr;
    window->Form_Activate();
    for (int i = 0; confirmed && i < 2 && window->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(okButton(window), Qt::LeftButton);
    return window;
}

void tst_FrmDjYhHall::roll(FrmDjYh* w)
{
    for (int ticks = 0; w->isRolling() && ticks < 100; ++ticks)
        w->Timer1_Timer();
}

void tst_FrmDjYhHall::namesAddedThenRefresh_winnerShownIsRecorded_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("fixed prize") << 4;
    QTest::newRow("fixed person") << 3;
}

void tst_FrmDjYhHall::namesAddedThenRefresh_winnerShownIsRecorded()
{
    QFETCH(int, mode);
    useBook({twoPrizes({})});
    FrmDjYh* w = open(mode);
    QVERIFY(w);
    {
        // Another program adds the names.
        auto edited = xls::Workbook::open(std::filesystem::path(book().toStdU16String()));
        edited.setText(0, 21, 1, "1");
        edited.setText(0, 21, 2, "郭文诗");
        edited.save();
    }
    QTest::keyClick(w, Qt::Key_F5);
    for (int i = 0; i < 2 && w->setupStep() != PrizeStep::Ready; ++i)
        QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(!chkMd(w)->isHidden(), mode == 3);
    QVERIFY(!chkMd(w)->isChecked());
    QTest::mouseClick(imgOk(w), Qt::LeftButton);
    roll(w);
    QCOMPARE(lblXm2(w)->text(), QStringLiteral("1\r\n郭文诗"));
    QVERIFY(lstHj(w)->item(1)->text().startsWith(QStringLiteral("1  1\r\n郭文诗获")));
    QCOMPARE(savedText(book(), kSheet, 21, 3), QStringLiteral("一等奖"));
    QCOMPARE(ts->drawLog.events.back().result, QStringLiteral("1\r\n郭文诗"));
}

void tst_FrmDjYhHall::reset_asksFirst_andKeepsTheFirstBackup()
{
    QFile original(book());
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    FrmDjYh* w = open(4);
    QVERIFY(w);
    MnDj(w, 0)->trigger();
    roll(w);
    QTest::keyClick(w, Qt::Key_F6); // answered No
    QCOMPARE(ts->messages.shown.size(), size_t(1));
    QCOMPARE(ts->messages.shown[0].text, QStringLiteral("确定清除全部获奖记录吗？"));
    QCOMPARE(ts->messages.shown[0].buttons, MessageButtons::YesNo);
    QCOMPARE(savedText(book(), kSheet, 3, 6), QStringLiteral("1"));
    ts->messages.answers.push_back(MessageAnswer::Yes);
    QTest::keyClick(w, Qt::Key_F6);
    QCOMPARE(savedText(book(), kSheet, 3, 6), QString());
    QFile backup(ts->folder.file(QStringLiteral("点名册.bak.xls")));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), before);
}

void tst_FrmDjYhHall::openPrizeList_followsEveryAward()
{
    FrmDjYh* w = open(4);
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key_F2);
    QVERIFY(lstJp(w)->isVisible());
    const int before = usedInList(w, 2);
    for (int used = 1; used <= 2; ++used) {
        MnDj(w, 1)->trigger(); // 二等奖, as the menu would
        roll(w);
        QCOMPARE(usedInList(w, 2), before + used);
    }
}

void tst_FrmDjYhHall::enlarge_atTheLimit_neverShrinks()
{
    FrmDjYh* w = open(4);
    QVERIFY(w);
    QList<int> sizes{lblXm(w)->font().pointSize()};
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(w, Qt::Key_F7);
        sizes << lblXm(w)->font().pointSize();
        QVERIFY2(sizes.last() >= sizes[sizes.size() - 2], qPrintable(QString::number(i)));
    }
    QVERIFY(sizes.last() > sizes.first());
}

void tst_FrmDjYhHall::lists_lineUpTheirColumns()
{
    FrmDjYh* w = open(3, false);
    QVERIFY(w);
    for (QListWidget* list : {lstJp(w), lstMd(w)}) {
        if (list == lstMd(w))
            QTest::mouseClick(okButton(w), Qt::LeftButton);
        const QFontMetricsF metrics(list->font());
        const qreal place = metrics.horizontalAdvance(QChar(0x4E2D)) / 2; // half of 中
        for (int i = 0; i < list->count(); ++i) {
            const QString line = list->item(i)->text();
            QVERIFY2(std::abs(metrics.horizontalAdvance(line) - listWidth(line) * place) < 1,
                     qPrintable(list->font().family() + QLatin1Char(':') + line));
        }
    }
}

void tst_FrmDjYhHall::sidePanel_scalesWithTheWindow()
{
    FrmDjYh* w = open(3);
    QVERIFY(w);
    w->setWindowState(Qt::WindowNoState);
    w->resize(1920, 1080);
    QApplication::processEvents();
    ts->random.picks = std::deque<int>(28, 9);
    for (int i = 0; i < 4; ++i) {
        MnMd(w, 10 + i)->trigger();
        roll(w);
    }
    QApplication::processEvents();
    QVERIFY(fraTs(w)->width() >= 290 * 3 / 2);
    QVERIFY(lstHj(w)->font().pointSizeF() >= 18);
    QVERIFY(MnSz(w, 1)->menu()->font().pointSizeF() >= 18);
    QVERIFY(!lstHj(w)->verticalScrollBar()->isVisible());
    QVERIFY(!lstHj(w)->horizontalScrollBar()->isVisible());
    const QFontMetrics metrics(lstHj(w)->font());
    const int width = lstHj(w)->viewport()->width();
    for (int i = 1; i < lstHj(w)->count(); i += 2) {
        QListWidgetItem* item = lstHj(w)->item(i);
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, item->text());
        QVERIFY2(needed.width() <= width, qPrintable(item->text()));
        QVERIFY2(lstHj(w)->visualItemRect(item).height() >= needed.height(),
                 qPrintable(item->text()));
    }
}

void tst_FrmDjYhHall::unusableRollBook_saysWhatIsWrong_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("one prize row") << "one"
                                   << "奖品区不到两行";
    QTest::newRow("no prize sheet") << "none"
                                    << "点名册.xls中没有“抽奖品”工作表";
    QTest::newRow("damaged file") << "junk"
                                  << "点名册.xls打不开或已损坏";
}

void tst_FrmDjYhHall::unusableRollBook_saysWhatIsWrong()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    if (kind == QLatin1String("one")) {
        useBook({prizeSheet({{QStringLiteral("一等奖"), QStringLiteral("台灯"), {}, 3}}, {})});
    } else if (kind == QLatin1String("none")) {
        useBook({SheetSpec{QStringLiteral("一班"), {{3, 1, 1}}}});
    } else {
        QFile junk(book());
        QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        junk.write("this is no workbook");
    }
    FrmDjYh* w = open(4);
    QVERIFY(w);
    for (int press = 0; press < 2; ++press) {
        QVERIFY2(lblXm(w)->text().contains(said), qPrintable(lblXm(w)->text()));
        QVERIFY(!lblXm(w)->text().contains(QStringLiteral("圆满结束")));
        QTest::keyClick(w, Qt::Key_F1);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
}

void tst_FrmDjYhHall::voidAndPanelTexts()
{
    FrmDjYh* w = open(3, false);
    QVERIFY(w);
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QCOMPARE(lblXx(w)->text(), QStringLiteral("请确认获奖名单"));
    QTest::mouseClick(okButton(w), Qt::LeftButton);
    QTest::keyClick(w, Qt::Key_F2);
    QCOMPARE(lblXx(w)->text(), QStringLiteral("请确认获奖信息"));
    QTest::mouseClick(closeButton(w), Qt::LeftButton);

    ts->random.picks = std::deque<int>(28, 5); // 三等奖 笔记本
    MnMd(w, 3)->trigger();                     // 4 彭军
    roll(w);
    ts->messages.answers.push_back(MessageAnswer::Yes);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY2(ts->messages.shown.back().text.startsWith(
                 QStringLiteral("作废 4 彭军 获得的三等奖（笔记本）")),
             qPrintable(ts->messages.shown.back().text));
    const auto& events = ts->drawLog.events;
    QCOMPARE(events.back().kind, DrawEventKind::Voided);
    QCOMPARE(events.back().result, events[events.size() - 2].result); // "4\r\n彭军"
}

void tst_FrmDjYhHall::menuDraws_updateChoices_andTheStartButtonStays()
{
    useBook({twoPrizes({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})});
    FrmDjYh* w = open(4);
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key_F1); // nothing chosen: the levels pop up
    QCOMPARE(poppedUpMenu(w), 0);
    QVERIFY(imgOk(w)->isVisible());
    MnDj(w, 0)->trigger(); // the last 一等奖, from the menu
    roll(w);
    QCOMPARE(cmbMd(w)->count(), 1);
    QCOMPARE(cmbMd(w)->itemText(0), QStringLiteral("二等奖"));
    QTest::mouseClick(lblXm(w), Qt::LeftButton);
    QVERIFY(lblXm(w)->text().contains(QStringLiteral("奖品已经领完")));
    QVERIFY(imgOk(w)->isVisible());
    delete w;

    FrmDjYh* named = open(3);
    QVERIFY(named);
    MnMd(named, 0)->trigger(); // 1 甲, from the menu
    roll(named);
    QCOMPARE(cmbMd(named)->count(), 2);
    QCOMPARE(cmbMd(named)->currentText(), QStringLiteral("2 乙"));
}

QTEST_MAIN(tst_FrmDjYhHall)
#include "tst_FrmDjYhHall.moc"
