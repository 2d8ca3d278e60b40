#include "presentation/DisplayFormat.h"
#include "shell/core/AppServices.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/WindowsColour.h"

#include "Fakes.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

Q_DECLARE_METATYPE(zelvano::DisplayFormatConfig)

namespace
{

QColor backgroundOf(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}

QColor textOf(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

const QColor kNavy(0, 0, 128);
const QColor kDesignTime(255, 255, 128);

} // namespace

class tst_DisplayFormat : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menu_itemsCaptionsAndShortcuts_data();
    void menu_itemsCaptionsAndShortcuts();
    void enlarge_resultByIntegerPartAndTimeRounded();
    void shrink_keepsThirteenPointFloor();
    void enlarge_stopsAtLargestSize();
    void numberWindow_movesTimeDisplayBelowResultAfterEveryCall();
    void classroomWindow_leavesTimeDisplayWhereItIs();
    void openingColourMenu_runsFormatHandler();
    void blue_greysItsItemPaintsNavyAndWhite_storesTwo();
    void classroomWindow_colourItemLeavesFraTs();
    void background_pureRed_stores6255_andLoadsWithoutGreying();
    void textAfterBackground_storesOnlyTextColour();
    void colourDialog_opensOnCurrentColour_cancelKeepsIt();
    void load_storedPresets_data();
    void load_storedPresets();
    void prizeWindow_keepsEveryColourItemEnabled_andColoursItsPanels();
    void prizeWindow_loadsStoredColoursIntoPanels();
    void prizeWindow_personLabelTakesResultSize();

private:
    void build(const DisplayFormatConfig& config);

    std::unique_ptr<QWidget> host;
    std::unique_ptr<ScriptedColours> colours;
    AppServices services;
    QLabel* lblXm = nullptr;
    QLabel* lblSj = nullptr;
    QFrame* fraTs = nullptr;
    DisplayFormat* format = nullptr;
};

void tst_DisplayFormat::init()
{
    colours = std::make_unique<ScriptedColours>();
    services = AppServices{};
    services.colours = colours.get();
    build(DisplayFormatConfig::numberDraw());
}

void tst_DisplayFormat::build(const DisplayFormatConfig& config)
{
    host = std::make_unique<QWidget>();
    host->resize(1280, 800);
    lblXm = new QLabel(QStringLiteral("18"), host.get());
    lblXm->setFont(kaiFont(100, true));
    lblXm->setAlignment(Qt::AlignCenter);
    lblXm->setGeometry(440, 150, 400, 180);
    lblSj = new QLabel(QStringLiteral("00:00:00"), host.get());
    lblSj->setFont(kaiFont(42, true));
    QPalette designed = lblSj->palette();
    designed.setColor(QPalette::WindowText, kDesignTime);
    lblSj->setPalette(designed);
    lblSj->setGeometry(490, 700, 300, 60);
    fraTs = new QFrame(host.get());
    fraTs->setGeometry(1100, 650, 150, 120);
    DisplayTargets targets;
    targets.background = host.get();
    targets.lblXm = lblXm;
    targets.lblSj = lblSj;
    targets.fraTs = fraTs;
    format = new DisplayFormat(services, config, targets, host.get());
}

void tst_DisplayFormat::cleanup()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
    host.reset();
}

void tst_DisplayFormat::menu_itemsCaptionsAndShortcuts_data()
{
    QTest::addColumn<DisplayFormatConfig>("config");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("enlarge");
    QTest::addColumn<QKeySequence>("enlargeKey");
    QTest::addColumn<QKeySequence>("shrinkKey");
    QTest::addColumn<int>("colourItem");
    QTest::newRow("number window") << DisplayFormatConfig::numberDraw() << "格式(&X)"
                                   << "文字放大" << QKeySequence(Qt::CTRL | Qt::Key_G)
                                   << QKeySequence(Qt::CTRL | Qt::Key_H) << 3;
    QTest::newRow("classroom window") << DisplayFormatConfig::classroom() << "格式(&X)"
                                      << "文字放大" << QKeySequence(Qt::CTRL | Qt::Key_H)
                                      << QKeySequence(Qt::CTRL | Qt::Key_I) << 2;
    QTest::newRow("prize window") << DisplayFormatConfig::prizeDraw() << "格式(&G)"
                                  << "放大" << QKeySequence(Qt::Key_F7) << QKeySequence(Qt::Key_F8)
                                  << 2;
}

void tst_DisplayFormat::menu_itemsCaptionsAndShortcuts()
{
    QFETCH(DisplayFormatConfig, config);
    QFETCH(QString, title);
    QFETCH(QString, enlarge);
    QFETCH(QKeySequence, enlargeKey);
    QFETCH(QKeySequence, shrinkKey);
    QFETCH(int, colourItem);
    build(config);

    QCOMPARE(format->MnGeShi()->title(), title);
    QCOMPARE(format->MnGs(0)->text(), enlarge);
    QCOMPARE(format->MnGs(0)->shortcut(), enlargeKey);
    QCOMPARE(format->MnGs(1)->shortcut(), shrinkKey);
    QCOMPARE(format->MnGs(colourItem)->menu(), format->colourMenu());
    if (colourItem == 3)
        QVERIFY(format->MnGs(2)->isSeparator());
    QCOMPARE(format->MnGeShi()->actions().size(), colourItem + 1);
    QStringList captions;
    for (int i = 0; i < 8; ++i)
        captions << format->MnYs(i)->text();
    QCOMPARE(captions, (QStringList{"红", "黄", "蓝", "白", "紫", "灰", "背景", "文字"}));
}

void tst_DisplayFormat::enlarge_resultByIntegerPartAndTimeRounded()
{
    format->MnGs(0)->trigger();
    QCOMPARE(lblXm->font().pointSize(), 120);
    QCOMPARE(lblSj->font().pointSize(), 50); // 50.4
    format->MnGs_Click(0);
    QCOMPARE(lblXm->font().pointSize(), 144);
    QCOMPARE(lblSj->font().pointSize(), 60);
    // The label grew around its centre.
    QCOMPARE(lblXm->geometry().center().x(), QRect(440, 150, 400, 180).center().x());
}

void tst_DisplayFormat::shrink_keepsThirteenPointFloor()
{
    QFont font = lblXm->font();
    font.setPointSize(15);
    lblXm->setFont(font);
    font.setPointSize(16);
    lblSj->setFont(font);
    format->MnGs(1)->trigger();
    QCOMPARE(lblXm->font().pointSize(), 15); // 12.5 -> 12 is not above 12
    QCOMPARE(lblSj->font().pointSize(), 13);
    format->MnGs_Click(1);
    QCOMPARE(lblSj->font().pointSize(), 13);
}

void tst_DisplayFormat::enlarge_stopsAtLargestSize()
{
    for (int i = 0; i < 30; ++i)
        format->MnGs_Click(0);
    QCOMPARE(lblXm->font().pointSize(), 600);
    QCOMPARE(lblSj->font().pointSize(), 600);
}

void tst_DisplayFormat::numberWindow_movesTimeDisplayBelowResultAfterEveryCall()
{
    for (int index : {0, 1, 3}) {
        lblSj->move(10, 10);
        format->MnGs_Click(index);
        QCOMPARE(lblSj->y(), lblXm->y() + lblXm->height() + lblSj->height());
    }
    QCOMPARE(lblSj->x(), 10); // the colour item changes no size, so nothing recentres
}

void tst_DisplayFormat::classroomWindow_leavesTimeDisplayWhereItIs()
{
    build(DisplayFormatConfig::classroom());
    lblSj->move(10, 10);
    format->MnGs_Click(2);
    QCOMPARE(lblSj->pos(), QPoint(10, 10));
}

void tst_DisplayFormat::openingColourMenu_runsFormatHandler()
{
    lblSj->move(10, 10);
    const int size = lblXm->font().pointSize();
    emit format->colourMenu()->aboutToShow();
    QCOMPARE(lblSj->y(), lblXm->y() + lblXm->height() + lblSj->height());
    QCOMPARE(lblXm->font().pointSize(), size);
}

void tst_DisplayFormat::blue_greysItsItemPaintsNavyAndWhite_storesTwo()
{
    format->loadColourSetting(QStringLiteral("0"));
    QVERIFY(!format->MnYs(0)->isEnabled());
    format->MnYs(2)->trigger();
    QVERIFY(!format->MnYs(2)->isEnabled());
    for (int i : {0, 1, 3, 4, 5, 6, 7})
        QVERIFY(format->MnYs(i)->isEnabled());
    QCOMPARE(backgroundOf(host.get()), kNavy);
    QVERIFY(host->autoFillBackground());
    QCOMPARE(backgroundOf(fraTs), kNavy);
    QCOMPARE(textOf(lblXm), QColor(Qt::white));
    QCOMPARE(textOf(lblSj), QColor(Qt::white));
    QCOMPARE(format->colourIndex(), 2);
    QCOMPARE(format->colourSetting(), QStringLiteral("2"));
    QVERIFY(colours->asked.empty());

    // What the audience sees, not only what the palette says.
    host->show();
    const QImage shot = host->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 5), kNavy);
}

void tst_DisplayFormat::classroomWindow_colourItemLeavesFraTs()
{
    build(DisplayFormatConfig::classroom());
    const QColor before = backgroundOf(fraTs);
    format->MnYs_Click(2);
    QCOMPARE(backgroundOf(host.get()), kNavy);
    QCOMPARE(backgroundOf(fraTs), before);
    QVERIFY(!format->MnYs(2)->isEnabled());
    // A stored custom background does reach it.
    build(DisplayFormatConfig::classroom());
    format->loadColourSetting(QStringLiteral("6255"));
    QCOMPARE(backgroundOf(fraTs), QColor(255, 0, 0));
}

void tst_DisplayFormat::background_pureRed_stores6255_andLoadsWithoutGreying()
{
    format->loadColourSetting(QString());
    colours->answers.push_back(255);
    format->MnYs_Click(6);
    QCOMPARE(backgroundOf(host.get()), QColor(255, 0, 0));
    QCOMPARE(backgroundOf(fraTs), QColor(255, 0, 0));
    QCOMPARE(textOf(lblSj), textOf(lblXm));
    QVERIFY(!format->MnYs(6)->isEnabled());
    const QString stored = format->colourSetting();
    QCOMPARE(stored, QStringLiteral("6255"));

    build(DisplayFormatConfig::numberDraw());
    format->loadColourSetting(stored);
    QCOMPARE(format->colourIndex(), 6);
    QCOMPARE(backgroundOf(host.get()), QColor(255, 0, 0));
    QCOMPARE(backgroundOf(fraTs), QColor(255, 0, 0));
    for (int i = 0; i < 8; ++i)
        QVERIFY(format->MnYs(i)->isEnabled());
    QCOMPARE(textOf(lblSj), kDesignTime);
    QCOMPARE(format->colourSetting(), QStringLiteral("6255"));
}

void tst_DisplayFormat::textAfterBackground_storesOnlyTextColour()
{
    format->loadColourSetting(QStringLiteral("3"));
    colours->answers = {255, 0xFFFFFF};
    format->MnYs_Click(6);
    format->MnYs_Click(7);
    QVERIFY(format->MnYs(6)->isEnabled());
    QVERIFY(!format->MnYs(7)->isEnabled());
    const QString stored = format->colourSetting();
    QCOMPARE(stored, QStringLiteral("716777215"));

    build(DisplayFormatConfig::numberDraw());
    const QColor designBackground = backgroundOf(host.get());
    format->loadColourSetting(stored);
    QCOMPARE(textOf(lblXm), QColor(Qt::white));
    QCOMPARE(backgroundOf(host.get()), designBackground); // the red is not restored
    QCOMPARE(textOf(lblSj), kDesignTime);
    for (int i = 0; i < 8; ++i)
        QVERIFY(format->MnYs(i)->isEnabled());
}

void tst_DisplayFormat::colourDialog_opensOnCurrentColour_cancelKeepsIt()
{
    format->MnYs_Click(2);
    colours->answers = {std::nullopt, std::nullopt};
    format->MnYs_Click(6);
    QCOMPARE(colours->asked.back(), toWindowsColour(kNavy));
    QCOMPARE(backgroundOf(host.get()), kNavy);
    QCOMPARE(format->colourSetting(), QStringLiteral("6%1").arg(128 * 65536));
    format->MnYs_Click(7);
    QCOMPARE(colours->asked.back(), 0xFFFFFF);
    QCOMPARE(textOf(lblXm), QColor(Qt::white));
    QCOMPARE(format->colourSetting(), QStringLiteral("716777215"));
}

void tst_DisplayFormat::load_storedPresets_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("background");
    QTest::newRow("empty is red") << QString() << 0 << QColor(128, 0, 0);
    QTest::newRow("blue") << QStringLiteral("2") << 2 << kNavy;
    QTest::newRow("grey") << QStringLiteral("5") << 5 << QColor(224, 224, 224);
    QTest::newRow("8 is red") << QStringLiteral("8") << 0 << QColor(128, 0, 0);
    QTest::newRow("9 is red") << QStringLiteral("9") << 0 << QColor(128, 0, 0);
    QTest::newRow("letter is red") << QStringLiteral("x") << 0 << QColor(128, 0, 0);
}

void tst_DisplayFormat::load_storedPresets()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    QFETCH(QColor, background);
    format->loadColourSetting(stored);
    QCOMPARE(format->colourIndex(), index);
    QCOMPARE(backgroundOf(host.get()), background);
    QCOMPARE(textOf(lblSj), textOf(lblXm));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(format->MnYs(i)->isEnabled(), i != index);
    QCOMPARE(format->colourSetting(), QString::number(index));
}

namespace
{

struct PrizeWidgets {
    QLabel* lblXm2;
    QFrame* FraTs2;
    QListWidget* lstHj;
};

PrizeWidgets addPrizeTargets(QWidget* host, QFrame* fraTs, DisplayTargets& targets)
{
    PrizeWidgets w;
    w.lblXm2 = new QLabel(QStringLiteral("7\n李明"), host);
    w.lblXm2->setFont(kaiFont(57, true));
    w.FraTs2 = new QFrame(fraTs);
    w.lstHj = new QListWidget(w.FraTs2);
    w.lstHj->addItem(QStringLiteral("一等奖 李明"));
    targets.lblSj = nullptr;
    targets.fraTs = nullptr;
    targets.backgroundFollowers = {fraTs, w.FraTs2, w.lstHj};
    targets.textFollowers = {w.lblXm2, w.lstHj};
    targets.sizeFollowers = {w.lblXm2};
    return w;
}

} // namespace

void tst_DisplayFormat::prizeWindow_keepsEveryColourItemEnabled_andColoursItsPanels()
{
    build(DisplayFormatConfig::prizeDraw());
    DisplayTargets targets;
    targets.background = host.get();
    targets.lblXm = lblXm;
    const PrizeWidgets w = addPrizeTargets(host.get(), fraTs, targets);
    format = new DisplayFormat(services, DisplayFormatConfig::prizeDraw(), targets, host.get());

    format->loadColourSetting(QStringLiteral("1"));
    format->MnYs_Click(2);
    colours->answers = {0x00FF00};
    format->MnYs_Click(7);
    for (int i = 0; i < 8; ++i)
        QVERIFY(format->MnYs(i)->isEnabled());
    QCOMPARE(backgroundOf(host.get()), kNavy);
    QCOMPARE(backgroundOf(fraTs), kNavy);
    QCOMPARE(backgroundOf(w.FraTs2), kNavy);
    QCOMPARE(w.lstHj->palette().color(QPalette::Base), kNavy);
    QCOMPARE(textOf(w.lblXm2), QColor(0, 255, 0));
    QCOMPARE(w.lstHj->palette().color(QPalette::Text), QColor(0, 255, 0));
    QCOMPARE(format->colourSetting(), QStringLiteral("7%1").arg(0x00FF00));
    format->MnYs_Click(0);
    QCOMPARE(format->colourSetting(), QStringLiteral("0"));
}

void tst_DisplayFormat::prizeWindow_loadsStoredColoursIntoPanels()
{
    build(DisplayFormatConfig::prizeDraw());
    DisplayTargets targets;
    targets.background = host.get();
    targets.lblXm = lblXm;
    const PrizeWidgets w = addPrizeTargets(host.get(), fraTs, targets);
    format = new DisplayFormat(services, DisplayFormatConfig::prizeDraw(), targets, host.get());
    format->loadColourSetting(QStringLiteral("616711680"));
    const QColor blue(0, 0, 255);
    QCOMPARE(backgroundOf(host.get()), blue);
    QCOMPARE(backgroundOf(fraTs), blue);
    QCOMPARE(backgroundOf(w.FraTs2), blue);
    QCOMPARE(w.lstHj->palette().color(QPalette::Base), blue);

    format->loadColourSetting(QStringLiteral("7255"));
    QCOMPARE(textOf(lblXm), QColor(255, 0, 0));
    QCOMPARE(textOf(w.lblXm2), QColor(255, 0, 0));
    QCOMPARE(w.lstHj->palette().color(QPalette::Text), QColor(255, 0, 0));
}

void tst_DisplayFormat::prizeWindow_personLabelTakesResultSize()
{
    build(DisplayFormatConfig::prizeDraw());
    QFont font = lblXm->font();
    font.setPointSize(48);
    lblXm->setFont(font);
    DisplayTargets targets;
    targets.background = host.get();
    targets.lblXm = lblXm;
    const PrizeWidgets w = addPrizeTargets(host.get(), fraTs, targets);
    format = new DisplayFormat(services, DisplayFormatConfig::prizeDraw(), targets, host.get());
    format->MnGs_Click(0);
    QCOMPARE(lblXm->font().pointSize(), 57);
    QCOMPARE(w.lblXm2->font().pointSize(), 57);
    format->MnGs_Click(1);
    QCOMPARE(lblXm->font().pointSize(), 47);
    QCOMPARE(w.lblXm2->font().pointSize(), 47);
    font.setPointSize(14);
    lblXm->setFont(font);
    format->MnGs_Click(1);
    QCOMPARE(lblXm->font().pointSize(), 14); // 11 is not applied
    QCOMPARE(w.lblXm2->font().pointSize(), 14);
}

QTEST_MAIN(tst_DisplayFormat)
#include "tst_DisplayFormat.moc"
