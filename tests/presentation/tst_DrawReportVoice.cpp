// "语音播报" and the speech engine: opening a window starts no engine while
// the announcement is off; the teacher opening the menu starts it, and the
// item shows what is then known.
#include "presentation/parts/DrawReport.h"

#include "TestServices.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

using namespace zelvano;
using namespace zelvano::testing;

class tst_DrawReportVoice : public QObject
{
    Q_OBJECT

private slots:
    void engineStartsWhenWanted_data()
    {
        QTest::addColumn<bool>("announcing");
        QTest::addColumn<int>("atOpening");
        QTest::newRow("announcement off") << false << 0;
        QTest::newRow("announcement on") << true << 1;
    }

    void engineStartsWhenWanted()
    {
        QFETCH(bool, announcing);
        TestServices ts;
        QSettings(ts.folder.file(QLatin1String(DrawReport::kSettingsFile)), QSettings::IniFormat)
            .setValue(QLatin1String(DrawReport::kVoiceKey), announcing);
        QMainWindow window;
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("设置"));
        DrawReport report(ts.services, QStringLiteral("摇号码"), &window);
        QAction* item = report.addVoiceItem(menu);
        window.show();
        QTEST(ts.voice.prepares, "atOpening");
        QVERIFY(item->isEnabled());

        // The engine turned out to have no Chinese voice.
        ts.voice.reason = QStringLiteral("语音引擎没有中文语音");
        QTest::mouseClick(window.menuBar(), Qt::LeftButton, {},
                          window.menuBar()->actionGeometry(menu->menuAction()).center());
        QVERIFY(menu->isVisible());
        QVERIFY(ts.voice.prepares >= 1);
        QVERIFY(!item->isEnabled());
        QCOMPARE(item->toolTip(), ts.voice.reason);
        menu->hide();
    }
};

QTEST_MAIN(tst_DrawReportVoice)
#include "tst_DrawReportVoice.moc"
