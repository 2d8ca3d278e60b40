#include "rollbook/ops/RollBookSession.h"

#include "rollbook/Workbook.h"
#include "rollbook/XlsError.h"
#include "rollbook/ops/RollBookViewer.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/ProcessControl.h"
#include "shell/core/ProgramEnd.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <filesystem>
#include <variant>

namespace zelvano
{

namespace
{

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

// How often the roll book is taken back from a program that holds it before
// the save is given up: a file read-only by its permissions would otherwise
// be retried for ever.
constexpr int kWritableAttempts = 3;

// Spreadsheet programs whose image names stand for "the program that holds
// the roll book" where the system cannot say which process holds it.
const char* const kSpreadsheetImages[] = {"Excel.exe", "et.exe", "soffice.bin", "et", "wps"};

} // namespace

// A cell change not yet saved: kept so that it can be written again over a
// file another program changed meanwhile.
struct RollBookSession::PendingChange {
    int sheet;
    int row;
    int column;
    std::variant<double, QString> value;
};

RollBookSession::RollBookSession(AppServices& services) : m_services(services) {}

RollBookSession::~RollBookSession() = default;

QString RollBookSession::rollBookPath() const
{
    return QDir(m_services.dataDir).filePath(QString::fromUtf16(kRollBookName));
}

bool RollBookSession::checkRollBookPresent()
{
    if (QFileInfo(rollBookPath()).isFile())
        return true;
    m_services.messages->show(QStringLiteral("当前目录中找不到点名册.xls文件，请修正！"),
                              QStringLiteral("警告"), MessageIcon::Critical);
    m_services.programEnd->endProgram();
    return false;
}

bool RollBookSession::openRollBook()
{
    m_error.clear();
    if (!m_workbook) {
        try {
            m_workbook =
                std::make_unique<xls::Workbook>(xls::Workbook::open(toPath(rollBookPath())));
        } catch (const xls::XlsError& error) {
            m_error = QString::fromUtf8(error.what());
            return false;
        }
        m_pending.clear();
        return true;
    }
    if (m_workbook->changedOnDisk() && !reloadFromDisk())
        return false;
    // Changes a failed save left behind are saved before anything else.
    if (!m_pending.empty())
        save();
    return true;
}

bool RollBookSession::reloadFromDisk()
{
    std::unique_ptr<xls::Workbook> fresh;
    try {
        fresh = std::make_unique<xls::Workbook>(xls::Workbook::open(toPath(rollBookPath())));
    } catch (const xls::XlsError& error) {
        m_error = QString::fromUtf8(error.what());
        return false;
    }
    m_workbook = std::move(fresh);
    if (m_activeSheet >= static_cast<int>(m_workbook->worksheetCount()))
        m_activeSheet = -1;
    if (!m_pending.empty()) {
        applyPending();
        m_services.messages->show(
            QStringLiteral(
                "点名册.xls已被其他程序修改，已重新读取；\r\n本程序尚未保存的%1处修改已重新写入。")
                .arg(m_pending.size()),
            QStringLiteral("提醒"), MessageIcon::Information);
    }
    refreshViewer();
    return true;
}

void RollBookSession::applyPending()
{
    for (const PendingChange& change : m_pending) {
        if (change.sheet >= static_cast<int>(m_workbook->worksheetCount()))
            continue;
        const auto sheet = static_cast<std::size_t>(change.sheet);
        if (const double* number = std::get_if<double>(&change.value))
            m_workbook->setNumber(sheet, change.row, change.column, *number);
        else
            m_workbook->setText(sheet, change.row, change.column,
                                std::get<QString>(change.value).toStdString());
    }
}

std::optional<QStringList> RollBookSession::worksheetNames()
{
    if (!openRollBook())
        return std::nullopt;
    QStringList names;
    for (const std::string& name : m_workbook->worksheetNames())
        names << QString::fromStdString(name);
    return names;
}

int RollBookSession::worksheetIndex(const QString& name)
{
    const auto names = worksheetNames();
    return names ? static_cast<int>(names->indexOf(name)) : -1;
}

bool RollBookSession::activateSheet(int index)
{
    if (!openRollBook())
        return false;
    if (index < 0 || index >= static_cast<int>(m_workbook->worksheetCount())) {
        m_error = QStringLiteral("找不到工作表");
        return false;
    }
    m_activeSheet = index;
    return true;
}

QString RollBookSession::activeSheetName() const
{
    if (!m_workbook || m_activeSheet < 0)
        return {};
    return QString::fromStdString(
        m_workbook->worksheetNames().at(static_cast<std::size_t>(m_activeSheet)));
}

xls::CellValue RollBookSession::cell(int row, int column) const
{
    if (!m_workbook || m_activeSheet < 0)
        return {};
    return m_workbook->cell(static_cast<std::size_t>(m_activeSheet), row, column);
}

QString RollBookSession::cellText(int row, int column) const
{
    return QString::fromStdString(xls::trimmedText(cell(row, column)));
}

void RollBookSession::setNumber(int row, int column, double value)
{
    write(m_activeSheet, row, column, value);
}

void RollBookSession::setText(int row, int column, const QString& text)
{
    write(m_activeSheet, row, column, text);
}

void RollBookSession::write(int sheet, int row, int column, std::variant<double, QString> value)
{
    if (!m_workbook || sheet < 0 || sheet >= static_cast<int>(m_workbook->worksheetCount()))
        return;
    const auto index = static_cast<std::size_t>(sheet);
    if (const double* number = std::get_if<double>(&value))
        m_workbook->setNumber(index, row, column, *number);
    else
        m_workbook->setText(index, row, column, std::get<QString>(value).toStdString());
    m_pending.push_back({sheet, row, column, std::move(value)});
}

int RollBookSession::worksheetCount() const
{
    return m_workbook ? static_cast<int>(m_workbook->worksheetCount()) : 0;
}

xls::CellValue RollBookSession::cellAt(int sheet, int row, int column) const
{
    if (!m_workbook || sheet < 0 || sheet >= worksheetCount())
        return {};
    return m_workbook->cell(static_cast<std::size_t>(sheet), row, column);
}

bool RollBookSession::editCell(int sheet, int row, int column, const QString& typed)
{
    if (!openRollBook())
        return false;
    const QString text = typed.trimmed();
    if (isNumeric(text))
        write(sheet, row, column, Val(text));
    else
        write(sheet, row, column, typed);
    if (save())
        return true;
    reportWriteFailure();
    return false;
}

void RollBookSession::refreshViewer()
{
    if (m_viewer && m_viewer->isVisible())
        m_viewer->refresh();
}

bool RollBookSession::hasUnsavedChanges() const
{
    return m_workbook && m_workbook->isDirty();
}

bool RollBookSession::save()
{
    if (!m_workbook)
        return false;
    // Never save over what another program wrote since we read the file.
    if (m_workbook->changedOnDisk() && !reloadFromDisk())
        return false;
    if (!m_workbook->isDirty()) {
        m_pending.clear();
        return true;
    }
    const xls::WriteAccess access = m_workbook->writeAccess();
    if (access.readOnly && !makeWritable()) {
        m_error = QString::fromStdString(access.reason);
        return false;
    }
    try {
        m_workbook->save();
    } catch (const xls::XlsError& error) {
        m_error = QString::fromUtf8(error.what());
        return false;
    }
    m_pending.clear();
    refreshViewer();
    return true;
}

bool RollBookSession::makeWritable()
{
    const std::string path = rollBookPath().toStdString();
    for (int attempt = 0; attempt < kWritableAttempts; ++attempt) {
        const std::vector<std::int64_t> holders = m_services.processes->processesHoldingFile(path);
        if (!holders.empty()) {
            for (std::int64_t pid : holders)
                m_services.processes->terminateProcess(pid);
        } else if (m_workbook->writeAccess().reason.find("~") != std::string::npos ||
                   QFileInfo::exists(
                       QDir(m_services.dataDir).filePath(QStringLiteral(".~lock.点名册.xls#"))) ||
                   QFileInfo::exists(
                       QDir(m_services.dataDir).filePath(QStringLiteral("~$点名册.xls")))) {
            // A live lock file but no process the system can name: end the
            // spreadsheet programs by their image names.
            for (const char* image : kSpreadsheetImages)
                m_services.processes->terminateProcesses(image);
        } else {
            // Read-only by its permissions: ending programs would not help.
            return false;
        }
        QThread::msleep(200);
        if (!m_workbook->writeAccess().readOnly) {
            // The program we ended may have saved the file on its way out.
            return !m_workbook->changedOnDisk() || reloadFromDisk();
        }
    }
    return false;
}

void RollBookSession::reportWriteFailure()
{
    m_services.messages->show(
        QStringLiteral(
            "非常抱歉，写入没成功，请再来一次，\r\n\r\n您是否手动关闭或打开了点名册文件？"),
        QStringLiteral("错误"), MessageIcon::Critical);
    // Open again so the next attempt finds the roll book; the pending change
    // is saved by that attempt, not here, so the teacher does not wait twice.
    m_error.clear();
    if (!m_workbook)
        openRollBook();
    else if (m_workbook->changedOnDisk())
        reloadFromDisk();
}

void RollBookSession::reportNoWorksheet()
{
    m_services.messages->show(QStringLiteral("找不到工作表，请检查"), QStringLiteral("警告"),
                              MessageIcon::Critical);
    m_services.programEnd->endProgram();
}

void RollBookSession::reportDamaged()
{
    m_services.messages->show(QStringLiteral("请打开并检查Excel文档是否损坏。"),
                              QStringLiteral("警告"), MessageIcon::Critical);
}

void RollBookSession::reportEmptyClassList()
{
    m_services.messages->show(QStringLiteral("检测到名单表格为空，请检查"), QStringLiteral("警告"),
                              MessageIcon::Critical);
    closeWorkbook();
}

void RollBookSession::showRollBook(int index)
{
    if (index < 0)
        index = 0;
    if (!activateSheet(index))
        return;
    if (!m_viewer)
        m_viewer = std::make_unique<RollBookViewer>(*this);
    m_viewer->showSheet(index);
}

void RollBookSession::closeWorkbook()
{
    // Changes that cannot be saved yet keep the workbook in memory.
    if (m_workbook && !m_pending.empty() && !save())
        return;
    m_workbook.reset();
}

void RollBookSession::release()
{
    // A score or an award is never dropped silently at close: the teacher
    // may free the file and retry, or give the changes up knowingly.
    while (m_workbook && !m_pending.empty() && !save()) {
        const MessageAnswer answer = m_services.messages->show(
            QStringLiteral("点名册.xls还有%1处修改没有保存：%2\r\n请关闭占用它的程序后点“重试”；"
                           "点“取消”将放弃这些修改。")
                .arg(m_pending.size())
                .arg(m_error),
            QStringLiteral("错误"), MessageIcon::Critical, MessageButtons::RetryCancel);
        if (answer != MessageAnswer::Retry)
            break;
    }
    m_workbook.reset();
    m_pending.clear();
    m_activeSheet = -1;
    m_viewer.reset();
}

} // namespace zelvano
