#include "rollbook/gui/RollBookSession.h"

#include "rollbook/Workbook.h"
#include "rollbook/gui/ChangeReports.h"
#include "rollbook/gui/RollBookViewer.h"
#include "rollbook/ops/CellEditRecord.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/ProgramEnd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace zelvano
{

namespace
{

// Why the engine will not change a cell, in the teacher's words.
QString refusalReason(xls::XlsError::Kind kind)
{
    switch (kind) {
    case xls::XlsError::Kind::PartOfArray:
        return QStringLiteral("它属于数组公式或模拟运算表，不能单独修改");
    case xls::XlsError::Kind::SharedFormulaCut:
        return QStringLiteral("它是一组共享公式的第一格，这组公式无法拆开");
    case xls::XlsError::Kind::Damaged:
        return QStringLiteral("这个工作表已损坏");
    case xls::XlsError::Kind::Password:
        return QStringLiteral("工作簿设有密码");
    case xls::XlsError::Kind::Other:
        break;
    }
    return QStringLiteral("表格文件不接受这一格的修改");
}

} // namespace

RollBookSession::RollBookSession(AppServices& services) : m_services(services), m_book(services) {}

RollBookSession::~RollBookSession() = default;

QString RollBookSession::rollBookPath() const
{
    return m_book.path();
}

bool RollBookSession::told(const BookOutcome& outcome)
{
    for (const ReloadReport& reload : outcome.reloads) {
        m_services.messages->show(reloadReport(reload.rewritten, reload.kept, m_book.fileName()),
                                  QStringLiteral("提醒"), MessageIcon::Information);
    }
    tellChoiceOnce();
    tellReadOnlyOnce();
    refreshViewer();
    m_error = outcome.detail;
    m_status = outcome.status;
    if (outcome.status == BookStatus::Refused)
        reportRefused(outcome.refused);
    return outcome.ok();
}

RecordStatus RollBookSession::told(const RecordOutcome& outcome)
{
    told(outcome.book);
    if (outcome.status == RecordStatus::RowGone || outcome.status == RecordStatus::Changed) {
        const RecordNotice notice = outcome.record->goneNotice(rollBookFileName());
        m_services.messages->show(notice.text, notice.title, MessageIcon::Critical);
    }
    return outcome.status;
}

RecordStatus RollBookSession::record(std::shared_ptr<RecordCommand> record)
{
    return told(m_book.record(std::move(record)));
}

RecordStatus RollBookSession::takeBack(std::shared_ptr<RecordCommand> record)
{
    return told(m_book.takeBack(std::move(record)));
}

bool RollBookSession::applyWaiting()
{
    for (const RecordOutcome& outcome : m_book.applyWaiting())
        told(outcome);
    return m_book.waiting().empty();
}

QStringList RollBookSession::waitingRecordTexts() const
{
    QStringList texts;
    for (const auto& record : m_book.waiting())
        texts << record->handText();
    return texts;
}

bool RollBookSession::checkRollBookPresent()
{
    if (m_book.exists())
        return true;
    // The folder searched is named, and the sample shipped with the program
    // can take the roll book's place instead of the program ending.
    const QString sample = QDir(m_services.appDir).filePath(QString::fromUtf16(kRollBookName));
    const QString folder = QDir::toNativeSeparators(m_services.dataDir);
    if (!QFileInfo(sample).isFile()) {
        m_services.messages->show(
            QStringLiteral("在数据文件夹 %1 中找不到点名册.xls文件，请修正！").arg(folder),
            QStringLiteral("警告"), MessageIcon::Critical);
        m_services.programEnd->endProgram();
        return false;
    }
    const MessageAnswer answer = m_services.messages->show(
        QStringLiteral("在数据文件夹 %1 中找不到点名册.xls文件。\r\n点“是”使用程序自带的示例"
                       "点名册（复制到这个文件夹）；点“否”退出程序。")
            .arg(folder),
        QStringLiteral("警告"), MessageIcon::Critical, MessageButtons::YesNo);
    const QString target = QDir(m_services.dataDir).filePath(QString::fromUtf16(kRollBookName));
    if (answer == MessageAnswer::Yes && QDir().mkpath(m_services.dataDir) &&
        QFile::copy(sample, target)) {
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        return true;
    }
    if (answer == MessageAnswer::Yes)
        m_services.messages->show(
            QStringLiteral("无法把示例点名册复制到 %1，程序将退出。").arg(folder),
            QStringLiteral("警告"), MessageIcon::Critical);
    m_services.programEnd->endProgram();
    return false;
}

// A file nobody may write (its permissions, a read-only medium) is said when
// it is opened, once, rather than at the first score that cannot be saved.
void RollBookSession::tellReadOnlyOnce()
{
    const xls::Workbook* book = m_book.workbook();
    if (m_readOnlyTold || !book || book == m_checkedBook)
        return;
    m_checkedBook = book;
    if (m_book.writableByPermissions())
        return;
    m_readOnlyTold = true;
    m_services.messages->show(
        QStringLiteral("%1 是只读文件，成绩和奖项不能保存。").arg(m_book.fileName()),
        QStringLiteral("提醒"), MessageIcon::Exclamation);
}

// Excel's conversion leaves 点名册.xls and 点名册.xlsx side by side; the
// teacher learns which one is used, once in a run rather than at every access.
void RollBookSession::tellChoiceOnce()
{
    static bool toldThisRun = false;
    if (toldThisRun || !m_book.workbook() || !m_book.bothFilesPresent())
        return;
    toldThisRun = true;
    m_services.messages->show(QStringLiteral("点名册.xls 和 点名册.xlsx 都在，使用最后保存的 %1。")
                                  .arg(m_book.fileName()),
                              QStringLiteral("提醒"), MessageIcon::Information);
}

bool RollBookSession::openRollBook()
{
    return told(m_book.open());
}

std::optional<QStringList> RollBookSession::worksheetNames()
{
    if (!openRollBook())
        return std::nullopt;
    return m_book.worksheetNames();
}

int RollBookSession::worksheetIndex(const QString& name)
{
    const auto names = worksheetNames();
    return names ? static_cast<int>(names->indexOf(name)) : -1;
}

bool RollBookSession::activateSheet(int index)
{
    return told(m_book.activateSheet(index));
}

bool RollBookSession::activateSheet(const QString& name)
{
    return told(m_book.activateSheet(name));
}

int RollBookSession::openWorksheetIndex(const QString& name) const
{
    return m_book.worksheetIndex(name);
}

xls::CellValue RollBookSession::cell(int row, int column) const
{
    return m_book.cell(row, column);
}

QString RollBookSession::cellText(int row, int column) const
{
    return m_book.cellText(row, column);
}

int RollBookSession::lastUsedRow() const
{
    return m_book.lastUsedRow();
}

bool RollBookSession::setNumber(int row, int column, double value, const CellAnchor& anchor)
{
    return write({{row, column, value, anchor}});
}

bool RollBookSession::setText(int row, int column, const QString& text, const CellAnchor& anchor)
{
    return write({{row, column, text, anchor}});
}

bool RollBookSession::write(const std::vector<CellWrite>& cells)
{
    const BookOutcome outcome = m_book.write(cells);
    if (outcome.status == BookStatus::Unreadable) {
        reportWriteFailure();
        return false;
    }
    return told(outcome);
}

void RollBookSession::reportRefused(const RefusedCell& cell)
{
    m_services.messages->show(QStringLiteral("%1中的 %2 不能写入：%3。\r\n这次的修改没有写入，"
                                             "请在表格程序中检查这一格。")
                                  .arg(m_book.fileName(),
                                       cellAddress(cell.sheet, cell.row, cell.column),
                                       refusalReason(cell.kind)),
                              QStringLiteral("错误"), MessageIcon::Critical);
}

int RollBookSession::worksheetCount() const
{
    return m_book.worksheetCount();
}

xls::CellValue RollBookSession::cellAt(int sheet, int row, int column) const
{
    return m_book.cellAt(sheet, row, column);
}

bool RollBookSession::sheetReadable(int sheet) const
{
    return m_book.sheetReadable(sheet);
}

std::shared_ptr<RecordCommand> RollBookSession::editCell(const QString& sheet, int row, int column,
                                                         const QString& typed)
{
    auto edit = std::make_shared<CellEditRecord>(sheet, row, column, typed);
    const RecordOutcome outcome = m_book.record(edit);
    told(outcome);
    if (outcome.status == RecordStatus::Written) {
        // In the workbook now, and so to be taken back, saved or not.
        commit();
        return edit;
    }
    // A file that cannot be opened says nothing here: the window shows what
    // it last read. A sheet gone or damaged is a failed write.
    if (outcome.book.status == BookStatus::NoSuchSheet ||
        outcome.book.status == BookStatus::Damaged)
        reportWriteFailure();
    return nullptr;
}

void RollBookSession::refreshViewer()
{
    if (m_shownVersion == m_book.version())
        return;
    m_shownVersion = m_book.version();
    if (m_viewer && m_viewer->isVisible())
        m_viewer->refresh();
}

bool RollBookSession::hasUnsavedChanges() const
{
    return m_book.hasUnsavedChanges();
}

bool RollBookSession::save()
{
    m_failureTold = false;
    BookOutcome outcome = m_book.save();
    while (outcome.holder.held) {
        told(outcome);
        const MessageAnswer answer = askAboutHolder(outcome.holder, QString());
        if (answer != MessageAnswer::Retry && answer != MessageAnswer::Close) {
            // The change waits for the next access, as any failed save.
            m_failureTold = true;
            return false;
        }
        if (answer == MessageAnswer::Close)
            m_book.askHolderToClose(outcome.holder);
        outcome = m_book.save();
    }
    return told(outcome);
}

int RollBookSession::addClassSheet(const QString& name, const std::vector<CellWrite>& cells)
{
    // A sheet whose save fails is taken back by reading the file again,
    // which must find every earlier change in it.
    if (m_book.unsavedWriteCount() > 0 && !save()) {
        reportWriteFailure();
        return -1;
    }
    const BookOutcome added = m_book.addWorksheet(name, cells);
    if (added.status == BookStatus::SheetExists || added.status == BookStatus::Refused) {
        const QString text =
            added.status == BookStatus::SheetExists
                ? QStringLiteral("点名册中已有名为“%1”的工作表，请换一个名字。").arg(name)
                : QStringLiteral("无法在点名册中建立工作表“%1”：%2。").arg(name, added.detail);
        m_services.messages->show(text, QStringLiteral("提醒"), MessageIcon::Exclamation);
        return -1;
    }
    if (!told(added) || !save()) {
        m_book.dropAddedWorksheet();
        reportWriteFailure();
        return -1;
    }
    return m_book.worksheetIndex(name);
}

bool RollBookSession::commit(RecordStatus status)
{
    const bool saved = save();
    if (saved && status != RecordStatus::Unreachable)
        return true;
    reportWriteFailure();
    return false;
}

bool RollBookSession::commit(const BookOutcome& written)
{
    if (told(written))
        return commit();
    if (written.status != BookStatus::Refused)
        reportWriteFailure();
    return false;
}

bool RollBookSession::commit(const RecordOutcome& recorded)
{
    told(recorded);
    // The cause the failed opening gave is the one told; a save now would
    // only replace it with its own.
    if (recorded.status == RecordStatus::Unreachable) {
        reportWriteFailure();
        return false;
    }
    return commit() && recorded.status == RecordStatus::Written;
}

bool RollBookSession::beginWrite(const QString& sheet, Waiting waiting)
{
    const bool waitingWritten = waiting == Waiting::Untouched || applyWaiting();
    if (waitingWritten && activateSheet(sheet))
        return true;
    reportWriteFailure();
    return false;
}

MessageAnswer RollBookSession::askAboutHolder(const BookHolder& holder, const QString& cancelText)
{
    const QString who = holder.pid > 0
                            ? QStringLiteral("%1（进程 %2）").arg(holder.program).arg(holder.pid)
                            : holder.program;
    // "LibreOffice Calc（进程 3754）使用", "python3 使用"
    const QString space = who.endsWith(u'）') ? QString() : QStringLiteral(" ");
    QString text = QStringLiteral("%1 正在被 %2%3使用。请在那里保存并关闭它，然后点“重试”。")
                       .arg(m_book.fileName(), who, space);
    if (holder.canAskToClose())
        text += QStringLiteral("\r\n也可以点“请它关闭”，让它自己关闭（它可能先问是否保存）。");
    text += cancelText;
    return m_services.messages->show(text, QStringLiteral("错误"), MessageIcon::Critical,
                                     holder.canAskToClose() ? MessageButtons::RetryCloseCancel
                                                            : MessageButtons::RetryCancel);
}

void RollBookSession::reportWriteFailure()
{
    // The teacher has just answered the question about the program holding
    // the file: no second box for the same failure.
    if (!std::exchange(m_failureTold, false)) {
        const QString cause = failureCause();
        m_services.messages->show(QStringLiteral("非常抱歉，写入没成功，请再来一次，\r\n\r\n") +
                                      cause,
                                  QStringLiteral("错误"), MessageIcon::Critical);
    }
    // Open again so the next attempt finds the roll book; the pending change
    // is saved by that attempt, not here, so the teacher does not wait twice.
    told(m_book.reopen());
}

// The cause in the teacher's words: the engine's own words about a damaged
// file are not Chinese, so those are said by their kind.
QString RollBookSession::failureCause() const
{
    const QString name = m_book.fileName();
    switch (m_status) {
    case BookStatus::Unreadable:
        if (!m_book.exists())
            break;
        return QStringLiteral("原因：%1 无法读取，文件可能已损坏。").arg(name);
    case BookStatus::Protected:
        return QStringLiteral("原因：%1 设有打开密码。").arg(name);
    case BookStatus::Damaged:
        return QStringLiteral("原因：%1 中的工作表已损坏。").arg(name);
    case BookStatus::NoSuchSheet:
        return QStringLiteral("原因：%1 中已没有这个工作表。").arg(name);
    default:
        break;
    }
    if (m_error.isEmpty())
        return QStringLiteral("您是否手动关闭或打开了点名册文件？");
    return QStringLiteral("原因：%1。").arg(m_error);
}

void RollBookSession::reportNoWorksheet()
{
    m_services.messages->show(QStringLiteral("找不到工作表，请检查"), QStringLiteral("警告"),
                              MessageIcon::Critical);
    m_services.programEnd->endProgram();
}

void RollBookSession::reportDamaged()
{
    // A workbook with an opening password is not damaged: it says what to do.
    const QString text =
        m_status == BookStatus::Protected
            ? QStringLiteral("%1 设有打开密码，请在 Excel 或 WPS 中取消密码后再使用。")
                  .arg(m_book.fileName())
            : QStringLiteral("请打开并检查Excel文档是否损坏。");
    m_services.messages->show(text, QStringLiteral("警告"), MessageIcon::Critical);
}

void RollBookSession::reportEmptyClassList()
{
    m_services.messages->show(QStringLiteral("检测到名单表格为空，请检查"), QStringLiteral("警告"),
                              MessageIcon::Critical);
    closeWorkbook();
}

bool RollBookSession::showSheet(int index)
{
    if (!m_viewer)
        m_viewer = std::make_unique<RollBookViewer>(*this);
    m_shownVersion = m_book.version();
    m_viewer->showSheet(index);
    return true;
}

void RollBookSession::showRollBook(int index)
{
    if (!activateSheet(std::max(index, 0)))
        return;
    showSheet(m_book.activeSheet());
}

void RollBookSession::showRollBook(const QString& sheet)
{
    if (!openRollBook() || m_book.worksheetCount() == 0)
        return;
    // A sheet of that name no longer there: the first one, as by position.
    const int index = std::max(m_book.worksheetIndex(sheet), 0);
    if (!activateSheet(index))
        return;
    showSheet(m_book.activeSheet());
}

void RollBookSession::closeWorkbook()
{
    told(m_book.close());
}

void RollBookSession::release()
{
    // A score or an award is never dropped silently at close: the teacher
    // may free the file and retry, or give the changes up knowingly.
    while (m_book.workbook() && m_book.unsavedWriteCount() > 0) {
        const BookOutcome outcome = m_book.save();
        if (told(outcome))
            break;
        const QString giveUp =
            QStringLiteral("\r\n点“取消”将放弃%1处修改。").arg(m_book.unsavedWriteCount());
        MessageAnswer answer = MessageAnswer::Cancel;
        if (outcome.holder.held) {
            answer = askAboutHolder(outcome.holder, giveUp);
            if (answer == MessageAnswer::Close)
                m_book.askHolderToClose(outcome.holder);
        } else {
            answer = m_services.messages->show(
                QStringLiteral("%1还有%2处修改没有保存：%3\r\n请关闭占用它的程序后点“重试”；"
                               "点“取消”将放弃这些修改。")
                    .arg(m_book.fileName())
                    .arg(m_book.unsavedWriteCount())
                    .arg(m_error),
                QStringLiteral("错误"), MessageIcon::Critical, MessageButtons::RetryCancel);
        }
        if (answer != MessageAnswer::Retry && answer != MessageAnswer::Close)
            break;
    }
    reportUnplaced();
    m_book.drop();
    m_viewer.reset();
}

void RollBookSession::reportUnplaced()
{
    if (m_book.keptChanges().empty())
        return;
    m_services.messages->show(unplacedReport(m_book.keptChanges(), m_book.fileName()),
                              QStringLiteral("错误"), MessageIcon::Critical);
}

} // namespace zelvano
