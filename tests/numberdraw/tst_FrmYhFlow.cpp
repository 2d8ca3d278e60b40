// The number and seat window after its first setup, driven as a teacher
// does: draws with a panel up, the draw options changed mid-cycle, a value
// list edited after the draws (the setup starts over), the timer bar and the
// big display at rest.
#include "numberdraw/FrmYh.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/gui/ModeNavigator.h"

#include "FrmYhParts.h"
#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

// A click where it lands: on the widget under the point, as the pointer does.
void clickAt(QWidget* canvas, QPoint at)
{
    QWidget* target = canvas->childAt(at) ? canvas->childAt(at) : canvas;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(canvas, at));
}

QToolButton* valueButton(QWidget* w, const char* toolTip)
{
    for (QToolButton* button : panelOf(w, 0)->findChildren<QToolButton*>())
        if (button->toolTip() == QString::fromUtf8(toolTip))
            return button;
    return nullptr;
}

enum Edit { Bound, Add, Remove, Clear };

} // namespace

class tst_FrmYhFlow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawWithGroupingPanelUp_isShownRecordedAndTakenOut_data();
    void drawWithGroupingPanelUp_isShownRecordedAndTakenOut();
    void repeatSwitchedOnMidCycle_makesEveryValueDrawable();
    void sequentialOrder_passesEmptyPlaces_data();
    void sequentialOrder_passesEmptyPlaces();
    void clearedList_leavesNoOldGroupsToDraw();
    void enterOnFocusedOk_closesSetupPanel_data();
    void enterOnFocusedOk_closesSetupPanel();
    void setupOver_liesAsTheFirst_data();
    void setupOver_liesAsTheFirst();
    void firstRollingDraw_restsAsTheLayoutPutsIt_data();
    void firstRollingDraw_restsAsTheLayoutPutsIt();
    void foldedTimerBar_standsByStartButton_andBesideItDraws();
    void storedBackground_keepsResultReadable();

private:
    FrmYh* open(int modeCode, QSize size = {});
    void finishSetup(FrmYh* w);
    QList<QRect> closeSetupPanels(FrmYh* w);
    void drawAndRest(FrmYh* w, bool rolls);

    std::unique_ptr<TestServices> ts;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmYh> window;
};

void tst_FrmYhFlow::init()
{
    ts = std::make_unique<TestServices>();
    ts->services.appDir = QStringLiteral(ZELVANO_APP_DIR);
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
}

void tst_FrmYhFlow::cleanup()
{
    delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

FrmYh* tst_FrmYhFlow::open(int modeCode, QSize size)
{
    ts->services.modeCode = static_cast<std::int16_t>(modeCode);
    window = new FrmYh(ts->services, *navigator);
    window->show();
    if (size.isValid()) {
        window->resize(size);
        QApplication::processEvents();
    }
    return window;
}

void tst_FrmYhFlow::finishSetup(FrmYh* w)
{
    closeSetupPanels(w);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("单击\r\n摇号"));
}

// Closes the three panels with their buttons; where the prompt and the
// grouping and timer panels lay on the way.
QList<QRect> tst_FrmYhFlow::closeSetupPanels(FrmYh* w)
{
    QList<QRect> places;
    click(panelOf(w, 0), "cmdOk0");
    places << w->lblXm()->geometry() << panelOf(w, 1)->geometry();
    click(panelOf(w, 1), "cmdOk1");
    places << w->lblXm()->geometry() << w->speechTimer().fraJs()->geometry();
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    return places;
}

void tst_FrmYhFlow::drawAndRest(FrmYh* w, bool rolls)
{
    if (w->MnFs(2)->isChecked() != rolls)
        w->MnFs(2)->trigger();
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    for (int tick = 0; w->isRolling() && tick < 100; ++tick)
        w->Timer1_Timer();
}

void tst_FrmYhFlow::drawWithGroupingPanelUp_isShownRecordedAndTakenOut_data()
{
    QTest::addColumn<int>("input");
    QTest::newRow("click on the big label") << 0;
    QTest::newRow("click beside the panel") << 1;
    QTest::newRow("下一个") << 2;
}

void tst_FrmYhFlow::drawWithGroupingPanelUp_isShownRecordedAndTakenOut()
{
    QFETCH(int, input);
    FrmYh* w = open(1);
    finishSetup(w);
    if (!w->MnFs(2)->isChecked())
        w->MnFs(2)->trigger(); // 滚动
    w->MnHm(1)->trigger();
    QVERIFY(panelOf(w, 1)->isVisible());
    if (input == 0)
        QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    else if (input == 1)
        clickAt(w->centralWidget(), bareSpot(w->centralWidget()));
    else
        w->MnJs(0)->trigger();
    QVERIFY(w->isRolling());
    while (w->isRolling())
        w->Timer1_Timer();
    const QString shown = w->lblXm()->text();
    QVERIFY(!panelOf(w, 1)->isVisible());
    QVERIFY(w->MnFs(2)->isChecked());
    QCOMPARE(ts->drawLog.events.size(), size_t(1));
    QCOMPARE(ts->drawLog.events[0].result, shown);
    QCOMPARE(w->session().poolSize(), 47);
    QCOMPARE(w->session().pool().find(shown), 0);
}

void tst_FrmYhFlow::repeatSwitchedOnMidCycle_makesEveryValueDrawable()
{
    FrmYh* w = open(1);
    finishSetup(w);
    for (int i = 0; i < 3; ++i)
        drawAndRest(w, false); // 1, 2 and 3 leave the cycle
    QCOMPARE(w->session().poolSize(), 45);
    w->MnFs(1)->trigger(); // 重复
    QCOMPARE(w->session().poolSize(), 48);
    ts->random.picks = {1};
    drawAndRest(w, false);
    QCOMPARE(ts->random.counts.back(), 48);
    QCOMPARE(w->lblXm()->text(), QStringLiteral("1"));
    QCOMPARE(w->session().poolSize(), 48);
}

void tst_FrmYhFlow::sequentialOrder_passesEmptyPlaces_data()
{
    QTest::addColumn<int>("values");
    QTest::addColumn<QString>("groups");
    QTest::newRow("10 in 6 groups, the last empty") << 10 << "6";
    QTest::newRow("11 in 7 groups, an empty slot") << 11 << "7";
}

void tst_FrmYhFlow::sequentialOrder_passesEmptyPlaces()
{
    QFETCH(int, values);
    QFETCH(QString, groups);
    ts->setSetting("CMax", QString::number(values));
    FrmYh* w = open(1);
    click(panelOf(w, 0), "cmdOk0");
    enter(groupBox(w, 0), groups);
    QTest::mouseClick(groupButton(w, 1), Qt::LeftButton);
    click(panelOf(w, 1), "cmdOk1");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    w->MnSx(1)->trigger();
    QStringList expected;
    QStringList shown;
    QStringList recorded;
    for (int i = 1; i <= values + 2; ++i) {
        expected << QString::number(i > values ? i - values : i);
        drawAndRest(w, false);
        shown << w->lblXm()->text();
    }
    for (const DrawEvent& event : ts->drawLog.events)
        recorded << event.result;
    QCOMPARE(shown, expected);
    QCOMPARE(recorded, expected);
}

void tst_FrmYhFlow::clearedList_leavesNoOldGroupsToDraw()
{
    FrmYh* w = open(1);
    finishSetup(w);
    drawAndRest(w, false);
    w->MnHm(0)->trigger();
    QTest::mouseClick(valueButton(w, "清空"), Qt::LeftButton);
    closeSetupPanels(w);
    QCOMPARE(ts->messages.texts(), QStringList{QStringLiteral("请输入正确的组数，值范围为[1~0]")});
    QCOMPARE(groupList(w)->count(), 0);
    w->MnSx(1)->trigger();
    ts->messages.answers = {MessageAnswer::Yes};
    QTest::mouseClick(w->lblXm(), Qt::LeftButton);
    QCOMPARE(ts->messages.texts().last(), QStringLiteral("所有人都抽到了，还要继续码？"));
    QCOMPARE(w->lblXm()->text(), QStringLiteral("顺序\r\n点名"));
    QCOMPARE(ts->drawLog.events.size(), size_t(1)); // only the draw before the clearing
}

void tst_FrmYhFlow::enterOnFocusedOk_closesSetupPanel_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("next");
    QTest::newRow("value panel") << 0 << QStringLiteral("请设置分组信息");
    QTest::newRow("grouping panel") << 1 << QStringLiteral("请设置计时和评分细则");
    QTest::newRow("timer panel") << 2 << QStringLiteral("单击\r\n摇号");
}

void tst_FrmYhFlow::enterOnFocusedOk_closesSetupPanel()
{
    QFETCH(int, panel);
    QFETCH(QString, next);
    FrmYh* w = open(1);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    for (int i = 0; i < panel; ++i)
        click(panelOf(w, i), qPrintable(QStringLiteral("cmdOk%1").arg(i)));
    QPushButton* ok = panel == 2 ? w->speechTimer().cmdOk2()
                                 : part<QPushButton>(w, QStringLiteral("cmdOk%1").arg(panel));
    ok->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(!ok->isVisible());
    QCOMPARE(w->lblXm()->text(), next);
}

void tst_FrmYhFlow::setupOver_liesAsTheFirst_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("edit");
    QTest::newRow("numbers 1024x768, bound") << 1 << QSize(1024, 768) << int(Bound);
    QTest::newRow("seats 1920x1080, bound") << 2 << QSize(1920, 1080) << int(Bound);
    QTest::newRow("numbers 1920x1080, added") << 1 << QSize(1920, 1080) << int(Add);
    QTest::newRow("seats 1024x768, removed mid-roll") << 2 << QSize(1024, 768) << int(Remove);
    QTest::newRow("numbers 1024x768, cleared") << 1 << QSize(1024, 768) << int(Clear);
}

void tst_FrmYhFlow::setupOver_liesAsTheFirst()
{
    QFETCH(int, mode);
    QFETCH(QSize, size);
    QFETCH(int, edit);
    ts->setSetting("Dhs", QStringLiteral("6"));
    ts->setSetting("Dls", QStringLiteral("8"));
    FrmYh* w = open(mode, size);
    const QList<QRect> first = closeSetupPanels(w);
    for (const QRect& place : first)
        QVERIFY(w->centralWidget()->rect().contains(place));
    drawAndRest(w, edit == Remove);
    if (edit == Remove)
        QTest::mouseClick(w->lblXm(), Qt::LeftButton); // a roll under way
    w->MnHm(0)->trigger();
    if (edit == Bound) {
        enter(w->txtXh(1), QStringLiteral("10"));
    } else if (edit == Add) {
        enter(addBox(w), QStringLiteral("90"));
    } else if (edit == Remove) {
        QListWidget* list = valueList(w);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QTest::mouseClick(valueButton(w, "删除"), Qt::LeftButton);
    } else {
        QTest::mouseClick(valueButton(w, "清空"), Qt::LeftButton);
    }
    QCOMPARE(w->lblXm()->text(), QStringLiteral("请编辑号码"));
    QVERIFY(!w->imgOk()->isVisible());
    QCOMPARE(closeSetupPanels(w), first);
    QVERIFY(w->imgOk()->isVisible() && !w->isRolling());
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_F5); // 计时设置
    QCOMPARE(w->speechTimer().fraJs()->geometry(), first[3]);
}

void tst_FrmYhFlow::firstRollingDraw_restsAsTheLayoutPutsIt_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

void tst_FrmYhFlow::firstRollingDraw_restsAsTheLayoutPutsIt()
{
    QFETCH(QSize, size);
    FrmYh* w = open(1, size);
    finishSetup(w);
    drawAndRest(w, true);
    const QRect result = w->lblXm()->geometry();
    const QRect time = w->speechTimer().lblSj()->geometry();
    w->resize(size + QSize(0, 20));
    QApplication::processEvents();
    w->resize(size);
    QApplication::processEvents();
    QCOMPARE(w->lblXm()->geometry(), result);
    QCOMPARE(w->speechTimer().lblSj()->geometry(), time);
}

void tst_FrmYhFlow::foldedTimerBar_standsByStartButton_andBesideItDraws()
{
    FrmYh* w = open(1, QSize(1024, 768));
    finishSetup(w);
    drawAndRest(w, false); // the result brings the folded bar
    QWidget* canvas = w->centralWidget();
    QWidget* start = w->imgOk()->parentWidget();
    QToolButton* icon = w->speechTimer().imgJs0();
    const QRect folded(icon->mapTo(canvas, QPoint()), icon->size());
    QVERIFY(folded.right() < start->x());
    QVERIFY2(start->x() - folded.right() <= 16, qPrintable(QString::number(folded.right())));
    clickAt(canvas, QPoint(folded.left() - 150, folded.center().y()));
    QCOMPARE(w->session().poolSize(), 46);
    // Unfolded, the panel opens away from the start button; the icon stays.
    QTest::mouseClick(icon, Qt::LeftButton);
    QVERIFY(w->speechTimer().fraJs3()->isVisible());
    QCOMPARE(QRect(icon->mapTo(canvas, QPoint()), icon->size()), folded);
    QVERIFY(canvas->rect().contains(w->speechTimer().fraJs2()->geometry()));
}

void tst_FrmYhFlow::storedBackground_keepsResultReadable()
{
    ts->setSetting("BbjYs", QStringLiteral("6") + QString::number(128 * 65536)); // navy
    FrmYh* w = open(1);
    finishSetup(w);
    drawAndRest(w, false);
    QCOMPARE(w->centralWidget()->palette().color(QPalette::Window), QColor(0, 0, 128));
    QCOMPARE(w->lblXm()->palette().color(QPalette::WindowText), QColor(Qt::white));
    w->close();
    QCOMPARE(ts->setting("BbjYs"), QStringLiteral("6") + QString::number(128 * 65536));
}

QTEST_MAIN(tst_FrmYhFlow)
#include "tst_FrmYhFlow.moc"
