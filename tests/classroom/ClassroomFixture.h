#pragma once

// What every classroom window test starts from: a copy of the sample roll
// book and a fresh settings database in a scratch application folder, the
// scripted seams, and helpers to read and change the roll book as another
// program would.
#include "classroom/FrmKtHd.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "rollbook/Workbook.h"
#include "rollbook/gui/RollBookSession.h"
#include "rollbook/gui/RollBookViewer.h"
#include "shell/core/AppServices.h"
#include "shell/core/SettingsDatabase.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/ModeNavigator.h"

#include "NoWindows.h"
#include "RealInput.h"
#include "TestServices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <set>

namespace zelvano::testing
{

using xls::CellValue;

inline std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

inline bool sameGroups(const std::vector<Group>& a, const std::vector<Group>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].count != b[i].count || a[i].members != b[i].members)
            return false;
    }
    return true;
}

// A control of the window found by its name, as a person finds it on the
// screen: the window keeps no getter for it.
template <typename T> T* control(const QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("the window shows no control named %s", name);
    return found;
}
template <typename T> T* control(const QWidget* window, const char* name, int index)
{
    const QByteArray indexed = QByteArray(name) + '(' + QByteArray::number(index) + ')';
    return control<T>(window, indexed.constData());
}

inline QString lastLine(const QString& text)
{
    return text.section(QStringLiteral("\r\n"), -1);
}

// The number and the name of the person called, as the line under the group
// lists shows them: "第 2 组 3 号 ，12 张三".
inline QString calledNumber(const FrmKtHd* w)
{
    return control<QLabel>(w, "LabCz")
        ->text()
        .section(QStringLiteral("，"), 1)
        .section(QLatin1Char(' '), 0, 0);
}
inline QString calledName(const FrmKtHd* w)
{
    return control<QLabel>(w, "LabCz")
        ->text()
        .section(QStringLiteral("，"), 1)
        .section(QLatin1Char(' '), 1);
}

class ClassroomFixture
{
public:
    void setUp();
    void tearDown();
    FrmKtHd* open();
    void confirmClass(FrmKtHd* w, int index = 0);
    void finishSetup(FrmKtHd* w, int classIndex = 0);
    QString book() const { return temp->file(QStringLiteral("点名册.xls")); }
    void editBook(const std::function<void(xls::Workbook&)>& edit);
    CellValue fileCell(int sheet, int row, int col);
    // The first `n` persons of class 0 stay; the list ends after them.
    void cutClass(int n, bool clearGroups);
    QString setting(const char* column) { return settings->readSetting(QLatin1String(column)); }
    QString xlrdCell(int sheet, int row, int col);
    // The cell is empty or beyond the sheet's end, as xlrd reads the file.
    bool xlrdEmpty(int sheet, int row, int col);

    std::unique_ptr<TestServices> ts;
    TempDir* temp = nullptr;
    ScriptedMessages* messages = nullptr;
    ScriptedRandom* random = nullptr;
    RecordingSound* sound = nullptr;
    RecordingProgramEnd* programEnd = nullptr;
    FakeClock* clock = nullptr;
    ScriptedColours* colours = nullptr;
    RecordingProcesses* processes = nullptr;
    SettingsStore* settings = nullptr;
    AppServices* services = nullptr;
    std::unique_ptr<NoWindows> windows;
    std::unique_ptr<ModeNavigator> navigator;
    QPointer<FrmKtHd> window;
};

inline void ClassroomFixture::setUp()
{
    ts = std::make_unique<TestServices>();
    temp = &ts->folder;
    messages = &ts->messages;
    random = &ts->random;
    sound = &ts->sound;
    programEnd = &ts->programEnd;
    clock = &ts->clock;
    colours = &ts->colours;
    processes = &ts->processes;
    settings = ts->settings.get();
    services = &ts->services;
    QVERIFY(ts->addFile(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"),
                        QStringLiteral("点名册.xls")));
    QDir().mkpath(temp->file(QStringLiteral("img")));
    for (const char* picture : {"bt1.gif", "bt2.gif"}) {
        QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/img/") + QLatin1String(picture),
                    temp->file(QStringLiteral("img/") + QLatin1String(picture)));
    }
    windows = std::make_unique<NoWindows>();
    navigator = std::make_unique<ModeNavigator>(*services, *windows);
}

inline void ClassroomFixture::tearDown()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
    delete window;
}

inline FrmKtHd* ClassroomFixture::open()
{
    window = new FrmKtHd(*services, *navigator);
    window->show();
    return window;
}

inline void ClassroomFixture::confirmClass(FrmKtHd* w, int index)
{
    // Chosen with the keys, as a teacher does; while the class panel is
    // first shown a choice loads nothing until 确定.
    auto* classes = control<QComboBox>(w, "cmbBj");
    classes->setFocus();
    QTest::keyClick(classes, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(classes, Qt::Key_Down);
    click(w->fraBj(), "cmdOk3");
}

inline void ClassroomFixture::finishSetup(FrmKtHd* w, int classIndex)
{
    confirmClass(w, classIndex);
    QCOMPARE(w->setupStage(), ClassroomStep::SettingUp);
    click(w->fraFz(), "cmdOk1");
    click(w->FraPf(), "cmdOk0");
    QTest::mouseClick(w->speechTimer().cmdOk2(), Qt::LeftButton);
    QCOMPARE(w->setupStage(), ClassroomStep::Ready);
}

inline void ClassroomFixture::editBook(const std::function<void(xls::Workbook&)>& edit)
{
    xls::Workbook workbook = xls::Workbook::open(fsPath(book()));
    edit(workbook);
    workbook.save();
}

inline CellValue ClassroomFixture::fileCell(int sheet, int row, int col)
{
    return xls::Workbook::open(fsPath(book())).cell(static_cast<size_t>(sheet), row, col);
}

inline void ClassroomFixture::cutClass(int n, bool clearGroups)
{
    editBook([&](xls::Workbook& b) {
        for (int row = n + 3; row <= 42; ++row)
            for (int col = 1; col <= 8; ++col)
                b.setEmpty(0, row, col);
        if (clearGroups) {
            for (int row = 3; row <= n + 2; ++row) {
                b.setEmpty(0, row, 5);
                b.setEmpty(0, row, 6);
            }
        }
    });
}

// Runs `body` with xlrd's sheet `s` and the 0-based cell `r`, `c` of the
// roll book; returns what it wrote, errors included.
inline QString xlrdAt(const QString& path, int sheet, int row, int col, const char* body)
{
    QProcess python;
    python.start(QStringLiteral(ZELVANO_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, xlrd\n"
                                 "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(%1)\n"
                                 "r, c = %2, %3\n")
                          .arg(sheet)
                          .arg(row - 1)
                          .arg(col - 1) +
                      QLatin1String(body),
                  path});
    if (!python.waitForFinished(60000))
        return QStringLiteral("<timeout>");
    return QString::fromUtf8(python.readAllStandardOutput()) +
           QString::fromUtf8(python.readAllStandardError());
}

inline QString ClassroomFixture::xlrdCell(int sheet, int row, int col)
{
    return xlrdAt(book(), sheet, row, col, "sys.stdout.write(repr(s.cell_value(r, c)))");
}

inline bool ClassroomFixture::xlrdEmpty(int sheet, int row, int col)
{
    return xlrdAt(book(), sheet, row, col,
                  "t = s.cell_type(r, c) if r < s.nrows and c < s.ncols else 0\n"
                  "sys.stdout.write('empty' if t in (0, 6) else 'filled')") ==
           QStringLiteral("empty");
}

} // namespace zelvano::testing
