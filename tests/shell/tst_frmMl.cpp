#include "shell/core/AppServices.h"
#include "shell/core/ModeCatalog.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"
#include "shell/gui/QtSoundPlayer.h"
#include "shell/gui/frmMl.h"

#include "NoWindows.h"
#include "TestServices.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

} // namespace

class tst_frmMl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyStoredMode_selectsClassroomWithoutWriting();
    void storedMode3_preselectsFixedPersonDraw();
    void storedModeOutOfRange_selectsModeZero_data();
    void storedModeOutOfRange_selectsModeZero();
    void optionClick_writesModeAtOnce();
    void arrowKeys_chooseModeAsAClickDoes();
    void keyboard_tabArrowsAndEnter_data();
    void keyboard_tabArrowsAndEnter();
    void enter_showsModeWindowAndUnloadsMenu();
    void returnFromWindow_loadsMenuAgainWithModeJustLeft();
    void closeBoxOnMenu_endsProgram();
    void closeBoxOnWorkingWindow_endsProgram();
    void missingDatabase_reportsAndFallsBackToModeZero();
    void everyClickableControl_hasAccessibleName();
    void menuFitsSmallProjectorScreen();
    void soundCues_areBuiltInAndResolveWithEitherSeparator();

private:
    frmMl* menu() const { return qobject_cast<frmMl*>(navigator->currentWindow()); }
    void startWithStoredMode(const QString& value);

    std::unique_ptr<TestServices> ts;
    ScriptedMessages* messages = nullptr;
    RecordingProgramEnd* programEnd = nullptr;
    SettingsStore* settings = nullptr;
    std::unique_ptr<StubModeWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    AppServices& services() { return ts->services; }
};

void tst_frmMl::init()
{
    ts = std::make_unique<TestServices>();
    messages = &ts->messages;
    programEnd = &ts->programEnd;
    settings = ts->settings.get();
    windows = std::make_unique<StubModeWindows>();
    navigator = std::make_unique<ModeNavigator>(ts->services, *windows);
    windows->navigator = navigator.get();
}

void tst_frmMl::cleanup()
{
    if (QWidget* window = navigator->currentWindow())
        delete window;
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

void tst_frmMl::startWithStoredMode(const QString& value)
{
    settings->writeSetting(QStringLiteral("Afm"), value, 0);
    navigator->showMenu();
    QVERIFY(menu());
}

void tst_frmMl::emptyStoredMode_selectsClassroomWithoutWriting()
{
    startWithStoredMode(QString());
    QVERIFY(menu()->OptMl(0)->isChecked());
    QCOMPARE(menu()->mode(), Mode::Classroom);
    QCOMPARE(menu()->lblXx()->text(), modeDescription(Mode::Classroom));
    QCOMPARE(settings->lastStatement(), QStringLiteral("select Afm from sz"));
    QCOMPARE(settings->readSetting(QStringLiteral("Afm")), QString());
}

void tst_frmMl::storedMode3_preselectsFixedPersonDraw()
{
    startWithStoredMode(QStringLiteral("3"));
    QVERIFY(menu()->OptMl(3)->isChecked());
    QCOMPARE(menu()->OptMl(3)->text(), QStringLiteral("定名抽奖"));
    QCOMPARE(menu()->lblXx()->text(), modeDescription(Mode::FixedPerson));
    QCOMPARE(menu()->mode(), Mode::FixedPerson);
}

void tst_frmMl::storedModeOutOfRange_selectsModeZero_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("seven") << QStringLiteral("7");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("negative") << QStringLiteral("-1");
}

void tst_frmMl::storedModeOutOfRange_selectsModeZero()
{
    QFETCH(QString, stored);
    startWithStoredMode(stored);
    QVERIFY(menu()->OptMl(0)->isChecked());
    QCOMPARE(menu()->mode(), Mode::Classroom);
    QCOMPARE(settings->readSetting(QStringLiteral("Afm")), stored); // loading writes nothing
}

void tst_frmMl::optionClick_writesModeAtOnce()
{
    startWithStoredMode(QStringLiteral("0"));
    QTest::mouseClick(menu()->OptMl(2), Qt::LeftButton);
    QCOMPARE(menu()->mode(), Mode::SeatDraw);
    QCOMPARE(settings->lastStatement(), QStringLiteral("update sz set Afm='2'"));
    QCOMPARE(menu()->lblXx()->text(), modeDescription(Mode::SeatDraw));
    // Closing without entering keeps the last option clicked.
    menu()->close();
    QCOMPARE(settings->readSetting(QStringLiteral("Afm")), QStringLiteral("2"));
}

void tst_frmMl::arrowKeys_chooseModeAsAClickDoes()
{
    startWithStoredMode(QStringLiteral("1"));
    menu()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu()));
    menu()->OptMl(1)->setFocus();
    QTest::keyClick(menu()->OptMl(1), Qt::Key_Down);
    QVERIFY(menu()->OptMl(2)->isChecked());
    QCOMPARE(menu()->mode(), Mode::SeatDraw);
    QCOMPARE(menu()->lblXx()->text(), modeDescription(Mode::SeatDraw));
    QCOMPARE(settings->readSetting(QStringLiteral("Afm")), QStringLiteral("2"));

    // A screen reader's toggle action checks an option without a click.
    QAccessibleInterface* option = QAccessible::queryAccessibleInterface(menu()->OptMl(4));
    QVERIFY(option && option->actionInterface());
    option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(menu()->OptMl(4)->isChecked());
    QCOMPARE(menu()->mode(), Mode::FixedPrize);
    QCOMPARE(menu()->lblXx()->text(), modeDescription(Mode::FixedPrize));
}

void tst_frmMl::keyboard_tabArrowsAndEnter_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("checked");      // and focused, and stored in Afm
    QTest::addColumn<int>("entered");      // -1: the menu stays
    QTest::addColumn<int>("rightClicked"); // an option right-clicked first, or -1
    QTest::newRow("tab lands on the selected option")
        << 3 << QList<int>{Qt::Key_Tab, Qt::Key_Tab} << 3 << -1 << -1;
    QTest::newRow("back tab too") << 2 << QList<int>{Qt::Key_Backtab, Qt::Key_Backtab} << 2 << -1
                                  << -1;
    QTest::newRow("down selects the next") << 1 << QList<int>{Qt::Key_Down} << 2 << -1 << -1;
    QTest::newRow("right selects the next") << 2 << QList<int>{Qt::Key_Right} << 3 << -1 << -1;
    QTest::newRow("up from the first wraps") << 0 << QList<int>{Qt::Key_Up} << 4 << -1 << -1;
    QTest::newRow("arrow on the enter button selects nothing")
        << 1 << QList<int>{Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab} << 1 << -1 << -1;
    // A right click focuses an option without selecting it.
    QTest::newRow("tab after a right click on another option")
        << 2 << QList<int>{Qt::Key_Backtab, Qt::Key_Backtab} << 2 << -1 << 0;
    QTest::newRow("return on an option enters")
        << 2 << QList<int>{Qt::Key_Down, Qt::Key_Return} << 3 << 3 << -1;
    QTest::newRow("enter on the enter button")
        << 4 << QList<int>{Qt::Key_Tab, Qt::Key_Enter} << 4 << 4 << -1;
}

// Keys go to whatever has the focus, as a person types them.
void tst_frmMl::keyboard_tabArrowsAndEnter()
{
    QFETCH(int, stored);
    QFETCH(QList<int>, keys);
    QFETCH(int, checked);
    QFETCH(int, entered);
    QFETCH(int, rightClicked);
    startWithStoredMode(QString::number(stored));
    menu()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu()));
    QCOMPARE(QApplication::focusWidget(), menu()->OptMl(stored));
    if (rightClicked >= 0)
        QTest::mouseClick(menu()->OptMl(rightClicked), Qt::RightButton);
    for (int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(settings->readSetting(QStringLiteral("Afm")), QString::number(checked));
    if (entered >= 0) {
        QCOMPARE(windows->entered, std::vector<int>{entered});
        QVERIFY(!menu());
        return;
    }
    QVERIFY(windows->entered.empty());
    QVERIFY(menu()->OptMl(checked)->isChecked());
    QCOMPARE(menu()->mode(), modeAt(checked));
    QCOMPARE(QApplication::focusWidget(), menu()->OptMl(checked));
}

void tst_frmMl::enter_showsModeWindowAndUnloadsMenu()
{
    startWithStoredMode(QStringLiteral("3"));
    QPointer<QWidget> oldMenu = menu();
    QTest::mouseClick(menu()->imgIn(), Qt::LeftButton);
    QCOMPARE(windows->entered, std::vector<int>{3});
    QVERIFY(navigator->currentWindow());
    QCOMPARE(navigator->currentWindow()->windowTitle(), QStringLiteral("mode 3"));
    QVERIFY(oldMenu.isNull() || !oldMenu->isVisible());
    QCOMPARE(programEnd->calls, 0);
}

void tst_frmMl::returnFromWindow_loadsMenuAgainWithModeJustLeft()
{
    startWithStoredMode(QStringLiteral("1"));
    QTest::mouseClick(menu()->OptMl(4), Qt::LeftButton);
    menu()->imgIn_Click();
    auto* window = qobject_cast<QMainWindow*>(navigator->currentWindow());
    QVERIFY(window);
    QAction* back = window->menuBar()->actions().first()->menu()->actions().first();
    back->trigger();
    QVERIFY(menu());
    QVERIFY(menu()->OptMl(4)->isChecked());
    QCOMPARE(menu()->mode(), Mode::FixedPrize);
    QCOMPARE(programEnd->calls, 0);
}

void tst_frmMl::closeBoxOnMenu_endsProgram()
{
    startWithStoredMode(QStringLiteral("0"));
    menu()->close();
    QCOMPARE(programEnd->calls, 1);
}

void tst_frmMl::closeBoxOnWorkingWindow_endsProgram()
{
    startWithStoredMode(QStringLiteral("0"));
    menu()->imgIn_Click();
    QCOMPARE(programEnd->calls, 0);
    navigator->currentWindow()->close();
    QCOMPARE(programEnd->calls, 1);
}

void tst_frmMl::missingDatabase_reportsAndFallsBackToModeZero()
{
    QFile::remove(ts->folder.file(SettingsStore::kDatabaseName));
    navigator->showMenu();
    QCOMPARE(messages->texts().size(), 1);
    QVERIFY(messages->texts().front().startsWith(QStringLiteral("本地数据库读取错误")));
    QVERIFY(messages->texts().front().contains(SettingsStore::kDatabaseName));
    QVERIFY(menu()->OptMl(0)->isChecked());
    QVERIFY(!QFile::exists(ts->folder.file(SettingsStore::kDatabaseName)));
}

void tst_frmMl::everyClickableControl_hasAccessibleName()
{
    startWithStoredMode(QStringLiteral("0"));
    QCOMPARE(menu()->imgIn()->accessibleName(), QStringLiteral("点击进入"));
    QCOMPARE(menu()->imgIn()->toolTip(), QStringLiteral("点击进入"));
    for (int i = 0; i < kModeCount; ++i)
        QCOMPARE(menu()->OptMl(i)->accessibleName(), modeCaption(modeAt(i)));
    QCOMPARE(menu()->windowTitle(), QStringLiteral("Zelvano >> 目录"));
}

void tst_frmMl::menuFitsSmallProjectorScreen()
{
    startWithStoredMode(QStringLiteral("0"));
    QVERIFY(menu()->frameGeometry().width() <= 1024);
    QVERIFY(menu()->frameGeometry().height() <= 768 - 40);
    // The description of every mode fits its label.
    for (int mode = 0; mode < kModeCount; ++mode) {
        menu()->OptMl_Click(mode);
        QLabel* label = menu()->lblXx();
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                 qPrintable(QStringLiteral("mode %1 description overflows").arg(mode)));
    }
}

void tst_frmMl::soundCues_areBuiltInAndResolveWithEitherSeparator()
{
    QtSoundPlayer player;
    for (const char* cue : {"start", "type", "type0", "over", "yes"}) {
        const QString name = QStringLiteral("sound\\%1.wav").arg(QLatin1String(cue));
        const QString resource = QStringLiteral(":/sound/%1.wav").arg(QLatin1String(cue));
        QCOMPARE(player.resolve(name), resource);
        QFile wave(resource);
        QVERIFY(wave.open(QIODevice::ReadOnly));
        QVERIFY2(wave.read(4) == "RIFF", cue);
    }
    QCOMPARE(player.resolve(QStringLiteral("sound/type.wav")), QStringLiteral(":/sound/type.wav"));
    QCOMPARE(player.resolve(QStringLiteral("sound\\missing.wav")), QString());
    // A missing cue is silent and does not wait.
    QElapsedTimer timer;
    timer.start();
    player.playSound(QStringLiteral("sound\\missing.wav"));
    QVERIFY(timer.elapsed() < 100);
}

QTEST_MAIN(tst_frmMl)
#include "tst_frmMl.moc"
