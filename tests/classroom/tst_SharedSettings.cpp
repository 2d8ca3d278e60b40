// The settings columns the classroom and the number window share: what
// one window stores at close is what the other applies at load.
#include "classroom/FrmKtHd.h"
#include "numberdraw/FrmYh.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"

#include "Fakes.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include <memory>

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

class NoWindows final : public WindowFactory
{
public:
    QWidget* createModeWindow(std::int16_t) override { return nullptr; }
};

} // namespace

class tst_SharedSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void classroomStores_numberWindowLoads();
    void numberWindowStores_classroomLoads();

private:
    FrmKtHd* openClassroom();
    QString setting(const char* column) { return settings->readSetting(QLatin1String(column)); }

    std::unique_ptr<TempDir> temp;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<ScriptedRandom> random;
    std::unique_ptr<RecordingSound> sound;
    std::unique_ptr<RecordingProgramEnd> programEnd;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<ScriptedColours> colours;
    std::unique_ptr<RecordingProcesses> processes;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    AppServices services;
};

void tst_SharedSettings::init()
{
    temp = std::make_unique<TempDir>();
    messages = std::make_unique<ScriptedMessages>();
    random = std::make_unique<ScriptedRandom>();
    sound = std::make_unique<RecordingSound>();
    programEnd = std::make_unique<RecordingProgramEnd>();
    clock = std::make_unique<FakeClock>();
    colours = std::make_unique<ScriptedColours>();
    processes = std::make_unique<RecordingProcesses>();
    QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        temp->file(QStringLiteral("点名册.xls"))));
    QFile::setPermissions(temp->file(QStringLiteral("点名册.xls")),
                          QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(createSettingsDatabase(temp->file(SettingsStore::kDatabaseName)));
    settings = std::make_unique<SettingsStore>(temp->file(SettingsStore::kDatabaseName), *messages);
    services = AppServices{};
    services.appDir = temp->path();
    services.messages = messages.get();
    services.random = random.get();
    services.sound = sound.get();
    services.programEnd = programEnd.get();
    services.clock = clock.get();
    services.colours = colours.get();
    services.settings = settings.get();
    services.processes = processes.get();
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(services, *windows);
}

void tst_SharedSettings::cleanup()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
    QVERIFY(messages->shown.empty());
}

FrmKtHd* tst_SharedSettings::openClassroom()
{
    services.modeCode = 0;
    auto* w = new FrmKtHd(services, *navigator);
    w->show();
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
    delete w;
    QCOMPARE(setting("Bsx"), QStringLiteral("1"));

    services.modeCode = 1;
    std::unique_ptr<FrmYh> number(new FrmYh(services, *navigator));
    QCOMPARE(number->speechTimer().unitIndex(), 2);
    QCOMPARE(number->speechTimer().modeIndex(), 1);
    QCOMPARE(number->speechTimer().timeSetting(), QStringLiteral("7"));
    QVERIFY(number->MnFs(1)->isChecked());
    QVERIFY(!number->MnFs(2)->isChecked());
    QCOMPARE(number->displayFormat().colourIndex(), 3);
}

void tst_SharedSettings::numberWindowStores_classroomLoads()
{
    services.modeCode = 1;
    auto* number = new FrmYh(services, *navigator);
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
    delete w;
}

QTEST_MAIN(tst_SharedSettings)
#include "tst_SharedSettings.moc"
