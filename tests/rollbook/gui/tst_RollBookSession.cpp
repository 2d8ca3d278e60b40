#include "rollbook/Workbook.h"
#include "rollbook/gui/RollBookModel.h"
#include "rollbook/gui/RollBookSession.h"
#include "rollbook/gui/RollBookViewer.h"
#include "shell/core/AppServices.h"

#include "DamagedBook.h"
#include "Fakes.h"
#include "TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <memory>
#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace zelvano;
using namespace zelvano::testing;

namespace
{

std::filesystem::path pathOf(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// Another program changing the roll book: the engine itself, as a separate
// writer with its own view of the file.
void changeElsewhere(const QString& file, int sheet, int row, int column, double value)
{
    xls::Workbook other = xls::Workbook::open(pathOf(file));
    other.setNumber(static_cast<std::size_t>(sheet), row, column, value);
    other.save();
}

double numberIn(const QString& file, int sheet, int row, int column)
{
    return xls::Workbook::open(pathOf(file))
        .cell(static_cast<std::size_t>(sheet), row, column)
        .number;
}

} // namespace

class tst_RollBookSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsWorksheetsAndFindsPrizeSheet();
    void missingRollBook_endsProgramWithMessage();
    void damagedRollBook_isReportedNotRead();
    void writeAndSave_isReadByIndependentReader();
    void changedOnDisk_isReadAgainBeforeAccess();
    void changedOnDiskWhileUnsaved_keepsBothAndTellsTeacher();
    void heldByLiveLibreOffice_saveFailsKeepsChangeThenRetrySavesOnce();
    void processesHoldingTheFile_areAskedToCloseOnlyWhenChosen();
    void staleLockOfAProgramThatIsGone_isWrittenNormally();
    void openingTwice_reusesTheWorkbook();
    void release_withUnsavedChanges_asksBeforeGivingUp();
    void showRollBook_tabsFrozenTitleRowsAndCells();
    void viewerEdits_storedAsTypedAndSavedAtOnce();
    void viewerShowsWhatTheProgramWrites();
    void writeFailureMessage_hasTextTitleAndIcon();
    void otherFailureMessages_andTheirReactions();
    void refusedCell_isNamed_andNothingOfTheWriteIsMade();
    void viewerEdit_byKeyboard_keepsPlaceAndCurrentCell();
    void bothRollBooks_theOneSavedLastIsUsed_andSaidOncePerRun();

private:
    RollBookViewer* shownViewer() const;
    QString rollBook() const { return temp->file(QStringLiteral("点名册.xls")); }

    std::unique_ptr<TempDir> temp;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<RecordingProgramEnd> programEnd;
    std::unique_ptr<RecordingProcesses> processes;
    std::unique_ptr<FakeClock> clock;
    AppServices services;
    std::unique_ptr<RollBookSession> session;
};

void tst_RollBookSession::init()
{
    temp = std::make_unique<TempDir>();
    QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls"), rollBook()));
    QFile::setPermissions(rollBook(), QFile::ReadOwner | QFile::WriteOwner);
    messages = std::make_unique<ScriptedMessages>();
    programEnd = std::make_unique<RecordingProgramEnd>();
    processes = std::make_unique<RecordingProcesses>();
    clock = std::make_unique<FakeClock>();
    services = AppServices{};
    services.dataDir = temp->path();
    services.messages = messages.get();
    services.programEnd = programEnd.get();
    services.processes = processes.get();
    services.clock = clock.get();
    session = std::make_unique<RollBookSession>(services);
}

void tst_RollBookSession::cleanup()
{
    session.reset();
    QVERIFY2(!QApplication::activeModalWidget(), "a modal box was left open");
}

void tst_RollBookSession::listsWorksheetsAndFindsPrizeSheet()
{
    const auto names = session->worksheetNames();
    QVERIFY(names);
    QCOMPARE(*names, QStringList({"初一(1)班", "初一(2)班", "初一(3)班", "抽奖品"}));
    QCOMPARE(session->worksheetIndex(QStringLiteral("抽奖品")), 3);
    QCOMPARE(session->worksheetIndex(QStringLiteral("nothing")), -1);
    QVERIFY(session->activateSheet(0));
    QCOMPARE(session->cellText(3, 2), QStringLiteral("郭文诗"));
    QCOMPARE(session->cellText(3, 1), QStringLiteral("1"));
    QCOMPARE(session->cellText(2, 7), QStringLiteral("09月04"));
    QVERIFY(!session->activateSheet(4));
}

void tst_RollBookSession::missingRollBook_endsProgramWithMessage()
{
    QFile::remove(rollBook());
    QVERIFY(!session->checkRollBookPresent());
    QCOMPARE(messages->texts(),
             QStringList{QStringLiteral("在数据文件夹 %1 中找不到点名册.xls文件，请修正！")
                             .arg(QDir::toNativeSeparators(temp->path()))});
    QCOMPARE(messages->shown[0].title, QStringLiteral("警告"));
    QCOMPARE(messages->shown[0].icon, MessageIcon::Critical);
    QCOMPARE(programEnd->calls, 1);
}

void tst_RollBookSession::damagedRollBook_isReportedNotRead()
{
    QFile file(rollBook());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a workbook at all");
    file.close();
    QVERIFY(!session->openRollBook());
    QVERIFY(!session->errorText().isEmpty());
    QVERIFY(!session->worksheetNames());
}

void tst_RollBookSession::writeAndSave_isReadByIndependentReader()
{
    QVERIFY(session->activateSheet(1));
    session->setNumber(5, 9, 2.5);
    session->setText(2, 9, QStringLiteral("03月05"));
    QVERIFY(session->hasUnsavedChanges());
    QVERIFY(session->save());
    QVERIFY(!session->hasUnsavedChanges());
    QProcess xlrd;
    xlrd.start(
        QStringLiteral(ZELVANO_PYTHON),
        {QStringLiteral("-c"),
         QStringLiteral("import sys, xlrd; s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(1); "
                        "print(s.cell_value(4, 8)); print(s.cell_value(1, 8))"),
         rollBook()});
    QVERIFY(xlrd.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(xlrd.readAllStandardOutput()).split(u'\n').mid(0, 2),
             QStringList({"2.5", "03月05"}));
}

void tst_RollBookSession::changedOnDisk_isReadAgainBeforeAccess()
{
    QVERIFY(session->activateSheet(0));
    QCOMPARE(session->cellText(3, 7), QStringLiteral("1.5"));
    QTest::qWait(20); // a new modification time
    changeElsewhere(rollBook(), 0, 3, 7, 4);
    QVERIFY(session->activateSheet(0));
    QCOMPARE(session->cellText(3, 7), QStringLiteral("4"));
    QVERIFY(messages->shown.empty()); // nothing of ours was pending
}

void tst_RollBookSession::changedOnDiskWhileUnsaved_keepsBothAndTellsTeacher()
{
    QVERIFY(session->activateSheet(0));
    session->setNumber(4, 7, 3);
    // The save is not reached (as if it had failed); another program saves.
    QTest::qWait(20);
    changeElsewhere(rollBook(), 0, 5, 7, 9);
    QVERIFY(session->openRollBook());
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(messages->shown[0].text.contains(QStringLiteral("重新写入")));
    QCOMPARE(numberIn(rollBook(), 0, 4, 7), 3.0);
    QCOMPARE(numberIn(rollBook(), 0, 5, 7), 9.0);
    QVERIFY(!session->hasUnsavedChanges());
}

void tst_RollBookSession::heldByLiveLibreOffice_saveFailsKeepsChangeThenRetrySavesOnce()
{
#ifdef Q_OS_WIN
    QSKIP("a LibreOffice process of POSIX (tests/wine-skips.txt)");
#else
    // A LibreOffice lock of this machine with a LibreOffice process running.
    const QString fakeOffice = temp->file(QStringLiteral("soffice.bin"));
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), fakeOffice));
    QFile::setPermissions(fakeOffice, QFile::ReadOwner | QFile::ExeOwner);
    const pid_t office = fork();
    if (office == 0) {
        execl(fakeOffice.toLocal8Bit().constData(), "soffice.bin", "60", nullptr);
        _exit(127);
    }
    QFile lock(temp->file(QStringLiteral(".~lock.点名册.xls#")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    const QByteArray user = qgetenv("USER").isEmpty() ? QByteArray("root") : qgetenv("USER");
    lock.write("," + user + "," + QHostInfo::localHostName().toUtf8() +
               ",08.12.2026 09:00,file:///" + user + "/.config/libreoffice/4;");
    lock.close();
    QTest::qWait(100);

    QVERIFY(session->activateSheet(0));
    const double before = numberIn(rollBook(), 0, 3, 7);
    session->setNumber(3, 7, before + 1);
    QVERIFY(!session->save());
    QVERIFY(session->hasUnsavedChanges());
    QCOMPARE(numberIn(rollBook(), 0, 3, 7), before); // nothing written into a held file
    // The teacher is told who holds it; nothing is ended or asked to close.
    QCOMPARE(messages->texts().size(), 1);
    QCOMPARE(
        messages->texts().front().section(u'\r', 0, 0),
        QStringLiteral("点名册.xls 正在被 LibreOffice Calc（进程 %1）使用。请在那里保存并关闭它，"
                       "然后点“重试”。")
            .arg(office));
    QCOMPARE(messages->shown[0].buttons, MessageButtons::RetryCloseCancel);
    QVERIFY(processes->askedToClose.empty());

    kill(office, SIGKILL);
    waitpid(office, nullptr, 0);
    QVERIFY(session->openRollBook()); // the next access saves what was pending
    QVERIFY(!session->hasUnsavedChanges());
    QCOMPARE(numberIn(rollBook(), 0, 3, 7), before + 1);
    QVERIFY(session->openRollBook());
    QCOMPARE(numberIn(rollBook(), 0, 3, 7), before + 1);
#endif
}

void tst_RollBookSession::processesHoldingTheFile_areAskedToCloseOnlyWhenChosen()
{
    processes->holders = {{4242, "WPS 表格"}};
    QVERIFY(session->activateSheet(0));
    session->setNumber(3, 7, 1);
    // 取消 first: the change waits, and the window's failure report adds no
    // second box. Then 请它关闭: only that holder is asked, and the save goes on.
    messages->answers = {MessageAnswer::Cancel};
    QVERIFY(!session->save());
    session->reportWriteFailure();
    QCOMPARE(messages->shown.size(), size_t(1));
    QVERIFY(processes->askedToClose.empty());
    messages->answers = {MessageAnswer::Close};
    QVERIFY(session->save());
    QCOMPARE(processes->askedToClose, std::vector<std::int64_t>{4242});
    QCOMPARE(numberIn(rollBook(), 0, 3, 7), 1.0);
}

void tst_RollBookSession::staleLockOfAProgramThatIsGone_isWrittenNormally()
{
    // LibreOffice of this machine crashed and left its lock; none runs now.
    QFile lock(temp->file(QStringLiteral(".~lock.点名册.xls#")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    const QByteArray user = qgetenv("USER").isEmpty() ? QByteArray("root") : qgetenv("USER");
    lock.write("," + user + "," + QHostInfo::localHostName().toUtf8() +
               ",08.12.2026 07:00,file:///tmp/lo-crashed;");
    lock.close();
    QVERIFY(session->activateSheet(0));
    session->setNumber(3, 7, 6);
    QVERIFY(session->save());
    QCOMPARE(numberIn(rollBook(), 0, 3, 7), 6.0);
    QVERIFY(messages->shown.empty());
    QVERIFY(processes->askedToClose.empty());
}

void tst_RollBookSession::openingTwice_reusesTheWorkbook()
{
    QVERIFY(session->openRollBook());
    const xls::Workbook* first = session->workbook();
    QVERIFY(session->openRollBook());
    QCOMPARE(session->workbook(), first);
}

void tst_RollBookSession::release_withUnsavedChanges_asksBeforeGivingUp()
{
    QVERIFY(session->activateSheet(0));
    session->setNumber(3, 7, 8);
    // Replace the file by a folder: no save can succeed.
    QFile::remove(rollBook());
    QDir().mkpath(rollBook());
    messages->answers = {MessageAnswer::Retry, MessageAnswer::Cancel};
    session->release();
    QCOMPARE(messages->shown.size(), size_t(2));
    QCOMPARE(messages->shown[0].buttons, MessageButtons::RetryCancel);
    QVERIFY(!session->hasUnsavedChanges());
}

RollBookViewer* tst_RollBookSession::shownViewer() const
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* viewer = qobject_cast<RollBookViewer*>(widget); viewer && viewer->isVisible())
            return viewer;
    }
    return nullptr;
}

void tst_RollBookSession::showRollBook_tabsFrozenTitleRowsAndCells()
{
    session->showRollBook(-1);
    RollBookViewer* viewer = shownViewer();
    QVERIFY(viewer);
    // The teacher sees where the file is kept.
    QCOMPARE(viewer->windowTitle(), QDir::toNativeSeparators(rollBook()));
    QCOMPARE(session->activeSheet(), 0);
    QCOMPARE(viewer->sheetTabs()->count(), 4);
    QCOMPARE(viewer->sheetTabs()->tabText(3), QStringLiteral("抽奖品"));
    QCOMPARE(viewer->sheetTabs()->currentIndex(), 0);
    RollBookModel* model = viewer->model();
    QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("郭文诗"));
    QCOMPARE(model->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("G"));
    QCOMPARE(columnLetters(27), QStringLiteral("AA"));
    QCOMPARE(columnLetters(256), QStringLiteral("IV"));
    // Rows 1 and 2 (title and headers) stay above the scrolling list.
    QVERIFY(!viewer->frozenRows()->isRowHidden(1));
    QVERIFY(viewer->frozenRows()->isRowHidden(2));
    QVERIFY(viewer->grid()->isRowHidden(1));
    QVERIFY(!viewer->grid()->isRowHidden(2));
    QVERIFY(viewer->frozenRows()->columnSpan(0, 0) > 1); // the title runs on
    viewer->sheetTabs()->setCurrentIndex(3);
    QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("台灯"));
    if (const QString shots = QString::fromLocal8Bit(qgetenv("ZELVANO_SHOTS")); !shots.isEmpty()) {
        viewer->sheetTabs()->setCurrentIndex(0);
        viewer->grab().save(shots + QStringLiteral("/rollbook-viewer.png"));
    }
}

void tst_RollBookSession::viewerEdits_storedAsTypedAndSavedAtOnce()
{
    session->showRollBook(1);
    RollBookModel* model = shownViewer()->model();
    QVERIFY(model->setData(model->index(4, 9), QStringLiteral("12"), Qt::EditRole));
    QVERIFY(model->setData(model->index(1, 9), QStringLiteral("03月05"), Qt::EditRole));
    QVERIFY(model->setData(model->index(2, 1), QString(), Qt::EditRole));
    QVERIFY(!session->hasUnsavedChanges());
    const xls::Workbook saved = xls::Workbook::open(pathOf(rollBook()));
    QCOMPARE(saved.cell(1, 5, 10).type, xls::CellValue::Type::Number);
    QCOMPARE(saved.cell(1, 5, 10).number, 12.0);
    QCOMPARE(QString::fromStdString(saved.cell(1, 2, 10).text), QStringLiteral("03月05"));
    QVERIFY(saved.cell(1, 3, 2).isEmpty());
}

void tst_RollBookSession::viewerShowsWhatTheProgramWrites()
{
    session->showRollBook(0);
    RollBookModel* model = shownViewer()->model();
    QVERIFY(session->activateSheet(0));
    session->setNumber(3, 9, 7);
    QVERIFY(session->save());
    QCOMPARE(model->index(2, 8).data().toString(), QStringLiteral("7"));
    // The teacher's edit of another cell keeps the program's score.
    QVERIFY(model->setData(model->index(3, 8), QStringLiteral("4"), Qt::EditRole));
    QCOMPARE(numberIn(rollBook(), 0, 3, 9), 7.0);
    QCOMPARE(numberIn(rollBook(), 0, 4, 9), 4.0);
    session->release();
    QVERIFY(!shownViewer()); // it closes with the window's roll book
}

void tst_RollBookSession::writeFailureMessage_hasTextTitleAndIcon()
{
    session->reportWriteFailure();
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(messages->shown[0].text,
             QStringLiteral(
                 "非常抱歉，写入没成功，请再来一次，\r\n\r\n您是否手动关闭或打开了点名册文件？"));
    QCOMPARE(messages->shown[0].title, QStringLiteral("错误"));
    QCOMPARE(messages->shown[0].icon, MessageIcon::Critical);
}

void tst_RollBookSession::otherFailureMessages_andTheirReactions()
{
    session->reportDamaged();
    QCOMPARE(programEnd->calls, 0);
    QVERIFY(session->activateSheet(0));
    session->reportEmptyClassList();
    QVERIFY(!session->workbook()); // closed; the next access opens it again
    QVERIFY(session->activateSheet(0));
    session->reportNoWorksheet();
    QCOMPARE(programEnd->calls, 1);
    QCOMPARE(messages->texts(),
             QStringList({"请打开并检查Excel文档是否损坏。", "检测到名单表格为空，请检查",
                          "找不到工作表，请检查"}));
    for (const auto& shown : messages->shown) {
        QCOMPARE(shown.title, QStringLiteral("警告"));
        QCOMPARE(shown.icon, MessageIcon::Critical);
    }
}

void tst_RollBookSession::refusedCell_isNamed_andNothingOfTheWriteIsMade()
{
    QFile::remove(rollBook());
    QVERIFY(QFile::copy(QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xls/formulas_xlwt.xls"),
                        rollBook()));
    QFile::setPermissions(rollBook(), QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(damageCell(rollBook(), QStringLiteral("公式"), 3, 3, Damage::ArrayFormulaPart));
    QVERIFY(session->activateSheet(QStringLiteral("公式")));
    QVERIFY(!session->write({{3, 6, 1.0, {}}, {3, 3, 2.0, {}}}));
    QVERIFY(!session->hasUnsavedChanges()); // F3 was not written either
    QCOMPARE(messages->shown.size(), size_t(1));
    QCOMPARE(messages->shown[0].title, QStringLiteral("错误"));
    QCOMPARE(messages->shown[0].icon, MessageIcon::Critical);
    QVERIFY2(messages->shown[0].text.startsWith(
                 QStringLiteral("点名册.xls中的 公式!C3 不能写入：它属于数组公式或模拟运算表")),
             qPrintable(messages->shown[0].text));
    // The roll-book window meets the same refusal, and the program goes on.
    QVERIFY(!session->editCell(QStringLiteral("公式"), 3, 3, QStringLiteral("7")));
    QVERIFY(session->setNumber(3, 6, 1.0));
    QVERIFY(session->save());
}

void tst_RollBookSession::viewerEdit_byKeyboard_keepsPlaceAndCurrentCell()
{
    session->showRollBook(0);
    RollBookViewer* viewer = shownViewer();
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QTableView* grid = viewer->grid();
    const QModelIndex target = viewer->model()->index(35, 8);
    grid->setFocus();
    grid->setCurrentIndex(target);
    grid->scrollTo(target, QAbstractItemView::PositionAtCenter);
    const int scrolled = grid->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    QStringList warnings;
    static QStringList* sink = nullptr;
    sink = &warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                *sink << text;
            else
                fprintf(stderr, "%s\n", qPrintable(text));
        });
    QTest::keyClick(grid, Qt::Key_F2); // a cell opens only on purpose
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("7"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on a queued call
    qInstallMessageHandler(previous);
    QCOMPARE(numberIn(rollBook(), 0, 36, 9), 7.0);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    QCOMPARE(grid->verticalScrollBar()->value(), scrolled);
    QCOMPARE(grid->currentIndex().column(), 8);
    QVERIFY(grid->currentIndex().row() >= 35 && grid->currentIndex().row() <= 36);
}

// The only test here with both files: what is said once stays said for the
// rest of this process.
void tst_RollBookSession::bothRollBooks_theOneSavedLastIsUsed_andSaidOncePerRun()
{
    // A workbook is read by what it holds: the sample serves under either name.
    const QString xlsx = temp->file(QStringLiteral("点名册.xlsx"));
    QVERIFY(QFile::copy(rollBook(), xlsx));
    QFile::setPermissions(xlsx, QFile::ReadOwner | QFile::WriteOwner);
    // Both times set: a copy on Windows keeps the sample's own time.
    for (const auto& [path, age] : {std::pair{rollBook(), -3600}, std::pair{xlsx, 0}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(age),
                                 QFileDevice::FileModificationTime));
    }
    const double xlsBefore = numberIn(rollBook(), 0, 5, 9);

    QVERIFY(session->activateSheet(0));
    QCOMPARE(messages->texts(),
             QStringList{
                 QStringLiteral("点名册.xls 和 点名册.xlsx 都在，使用最后保存的 点名册.xlsx。")});
    QCOMPARE(messages->shown[0].title, QStringLiteral("提醒"));
    QCOMPARE(messages->shown[0].icon, MessageIcon::Information);
    QCOMPARE(session->rollBookPath(), xlsx);
    QVERIFY(session->setNumber(5, 9, 6.0));
    QVERIFY(session->save());
    QCOMPARE(numberIn(xlsx, 0, 5, 9), 6.0);
    QCOMPARE(numberIn(rollBook(), 0, 5, 9), xlsBefore);
    QVERIFY(QFile::exists(temp->file(QStringLiteral("点名册.bak.xlsx"))));

    session = std::make_unique<RollBookSession>(services);
    QVERIFY(session->activateSheet(0));
    QCOMPARE(messages->shown.size(), size_t(1));
}

QTEST_MAIN(tst_RollBookSession)
#include "tst_RollBookSession.moc"
