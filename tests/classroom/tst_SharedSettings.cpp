// The settings columns the classroom and the number window share: what
// one window stores at close is what the other applies at load.
#include "ClassroomFixture.h"
#include "numberdraw/FrmYh.h"

using namespace zelvano;
using namespace zelvano::testing;

class tst_SharedSettings : public QObject, public ClassroomFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup()
    {
        QVERIFY(messages->shown.empty());
        tearDown();
    }
    void classroomStores_numberWindowLoads();
    void numberWindowStores_classroomLoads();

private:
    FrmKtHd* openClassroom();
};

FrmKtHd* tst_SharedSettings::openClassroom()
{
    FrmKtHd* w = open();
    w->cmdOk_Click(3);
    w->cmdOk_Click(1);
    w->cmdOk_Click(0);
    w->cmdOk_Click(2);
    return w;
}

void tst_SharedSettings::classroomStores_numberWindowLoads()
{
    FrmKtHd* w = openClassroom();
    w->MnSx_Click(1);
    w->MnFs(1)->setChecked(true);
    w->MnFs(2)->setChecked(false);
    w->speechTimer().MnJsDw_Click(2);
    w->speechTimer().MnJsFs_Click(1);
    w->speechTimer().cmbFs1()->setEditText(QStringLiteral("7"));
    w->displayFormat().MnYs_Click(3);
    w->close();
    QCOMPARE(setting("Bsx"), QStringLiteral("1"));

    std::unique_ptr<FrmYh> number(new FrmYh(*services, *navigator, Mode::NumberDraw));
    QCOMPARE(number->speechTimer().unitIndex(), 2);
    QCOMPARE(number->speechTimer().modeIndex(), 1);
    QCOMPARE(number->speechTimer().timeSetting(), QStringLiteral("7"));
    QVERIFY(number->MnFs(1)->isChecked());
    QVERIFY(!number->MnFs(2)->isChecked());
    QCOMPARE(number->displayFormat().colourIndex(), 3);
}

void tst_SharedSettings::numberWindowStores_classroomLoads()
{
    auto* number = new FrmYh(*services, *navigator, Mode::NumberDraw);
    number->speechTimer().MnJsDw_Click(1);
    number->speechTimer().MnJsFs_Click(1);
    number->speechTimer().cmbFs1()->setEditText(QStringLiteral("9"));
    number->MnFs(1)->setChecked(true);
    number->MnFs(2)->setChecked(false);
    number->displayFormat().MnYs_Click(4);
    number->close();
    delete number;

    FrmKtHd* w = openClassroom();
    QCOMPARE(w->speechTimer().unitIndex(), 1);
    QCOMPARE(w->speechTimer().timeSetting(), QStringLiteral("9"));
    QVERIFY(w->MnFs(1)->isChecked());
    QVERIFY(!w->MnFs(2)->isChecked());
    QCOMPARE(w->displayFormat().colourIndex(), 4);
    // The classroom starts the direction at "倒计时" with every class.
    QCOMPARE(w->speechTimer().modeIndex(), 0);
}

QTEST_MAIN(tst_SharedSettings)
#include "tst_SharedSettings.moc"
