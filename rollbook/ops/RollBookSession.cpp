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

// Why the engine will not change a cell, in the teacher's words.
QString refusalReason(const xls::XlsError& error)
{
    switch (error.kind()) {
    case xls::XlsError::Kind::PartOfArray:
        return QStringLiteral("它属于数组公式或模拟运算表，不能单独修改");
    case xls::XlsError::Kind::SharedFormulaCut:
        return QStringLiteral("它是一组共享公式的第一格，这组公式无法拆开");
    case xls::XlsError::Kind::Damaged:
        return QStringLiteral("这个工作表已损坏");
    case xls::XlsError::Kind::Other:
        break;
    }
    return QStringLiteral("表格文件不接受这一格的修改");
}

void writeContent(xls::Workbook& workbook, std::size_t sheet, int row, int column,
                  const CellContent& value)
{
    if (const double* number = std::get_if<double>(&value))
        workbook.setNumber(sheet, row, column, *number);
    else
        workbook.setText(sheet, row, column, std::get<QString>(value).toStdString());
}

} // namespace

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
        m_activeSheet = -1;
        m_activeSheetName.clear();
        return true;
    }
    if (m_workbook->changedOnDisk() && !reloadFromDisk())
        return false;
    // Changes a failed save left behind are saved before anything else.
    if (!m_pending.written().empty())
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
    // The current sheet is the one of the same name, wherever it is now.
    m_activeSheet = openWorksheetIndex(m_activeSheetName);
    if (m_activeSheet < 0)
        m_activeSheetName.clear();
    if (!m_pending.empty()) {
        xls::Workbook& book = *m_workbook;
        const BookView view{
            [this](const QString& name) { return openWorksheetIndex(name); },
            [this](int sheet) { return sheetReadable(sheet); },
            [this](int sheet, int row, int column) { return cellAt(sheet, row, column); },
            [&book](int sheet) { return book.lastRow(static_cast<std::size_t>(sheet)); }};
        const int rewritten = m_pending.replace(
            view, [&book](int sheet, int row, int column, const CellContent& value) {
                try {
                    book.checkCanChange(static_cast<std::size_t>(sheet), row, column);
                    writeContent(book, static_cast<std::size_t>(sheet), row, column, value);
                    return true;
                } catch (const xls::XlsError&) {
                    return false;
                }
            });
        m_services.messages->show(reloadReport(rewritten, m_pending.kept()), QStringLiteral("提醒"),
                                  MessageIcon::Information);
    }
    refreshViewer();
    return true;
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
    return makeCurrent(index);
}

bool RollBookSession::activateSheet(const QString& name)
{
    if (!openRollBook())
        return false;
    const int index = openWorksheetIndex(name);
    if (index < 0) {
        m_error = QStringLiteral("找不到工作表“%1”").arg(name);
        return false;
    }
    return makeCurrent(index);
}

bool RollBookSession::makeCurrent(int index)
{
    // Read the whole sheet now: a damaged one is refused before any of it
    // is used, instead of failing half-way through a roster or an award.
    try {
        m_workbook->loadCells(static_cast<std::size_t>(index));
    } catch (const xls::XlsError& error) {
        m_error = QString::fromUtf8(error.what());
        return false;
    }
    m_activeSheet = index;
    m_activeSheetName =
        QString::fromStdString(m_workbook->worksheetNames()[static_cast<std::size_t>(index)]);
    return true;
}

int RollBookSession::openWorksheetIndex(const QString& name) const
{
    if (!m_workbook || name.isEmpty())
        return -1;
    const std::vector<std::string> names = m_workbook->worksheetNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (QString::fromStdString(names[i]) == name)
            return static_cast<int>(i);
    }
    return -1;
}

xls::CellValue RollBookSession::cell(int row, int column) const
{
    return cellAt(m_activeSheet, row, column);
}

QString RollBookSession::cellText(int row, int column) const
{
    return QString::fromStdString(xls::trimmedText(cell(row, column)));
}

int RollBookSession::lastUsedRow() const
{
    if (!m_workbook || m_activeSheet < 0)
        return 0;
    try {
        return m_workbook->lastRow(static_cast<std::size_t>(m_activeSheet));
    } catch (const xls::XlsError&) {
        return 0;
    }
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
    if (!m_workbook || m_activeSheet < 0) {
        reportWriteFailure();
        return false;
    }
    return writeInto(m_activeSheet, cells);
}

bool RollBookSession::writeInto(int sheet, const std::vector<CellWrite>& cells)
{
    const auto index = static_cast<std::size_t>(sheet);
    const QString name = QString::fromStdString(m_workbook->worksheetNames().at(index));
    // Every cell is asked first, so a refused one leaves the others as they
    // were: an award or a score is written whole or not at all.
    for (const CellWrite& c : cells) {
        try {
            m_workbook->checkCanChange(index, c.row, c.column);
        } catch (const xls::XlsError& error) {
            reportRefused(name, c.row, c.column, error);
            return false;
        }
    }
    for (const CellWrite& c : cells) {
        try {
            writeContent(*m_workbook, index, c.row, c.column, c.value);
        } catch (const xls::XlsError& error) {
            // Only a text too long for a cell gets here; what was written
            // before it stays pending like any change.
            reportRefused(name, c.row, c.column, error);
            return false;
        }
        m_pending.add({name, c.row, c.column, c.value, c.anchor});
    }
    return true;
}

void RollBookSession::reportRefused(const QString& sheet, int row, int column,
                                    const xls::XlsError& error)
{
    m_error = QString::fromUtf8(error.what());
    m_services.messages->show(
        QStringLiteral("点名册.xls中的 %1 不能写入：%2。\r\n这次的修改没有写入，"
                       "请在表格程序中检查这一格。")
            .arg(cellAddress(sheet, row, column), refusalReason(error)),
        QStringLiteral("错误"), MessageIcon::Critical);
}

int RollBookSession::worksheetCount() const
{
    return m_workbook ? static_cast<int>(m_workbook->worksheetCount()) : 0;
}

xls::CellValue RollBookSession::cellAt(int sheet, int row, int column) const
{
    if (!m_workbook || sheet < 0 || sheet >= worksheetCount())
        return {};
    try {
        return m_workbook->cell(static_cast<std::size_t>(sheet), row, column);
    } catch (const xls::XlsError&) {
        return {};
    }
}

bool RollBookSession::sheetReadable(int sheet) const
{
    if (!m_workbook || sheet < 0 || sheet >= worksheetCount())
        return false;
    try {
        m_workbook->loadCells(static_cast<std::size_t>(sheet));
        return true;
    } catch (const xls::XlsError&) {
        return false;
    }
}

bool RollBookSession::editCell(const QString& sheet, int row, int column, const QString& typed)
{
    if (!openRollBook())
        return false;
    const int index = openWorksheetIndex(sheet);
    if (index < 0 || !sheetReadable(index)) {
        reportWriteFailure();
        return false;
    }
    const QString text = typed.trimmed();
    const CellContent value = isNumeric(text) ? CellContent(Val(text)) : CellContent(typed);
    if (!writeInto(index, {{row, column, value, CellAnchor::address()}}))
        return false;
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
    return (m_workbook && m_workbook->isDirty()) || !m_pending.kept().empty();
}

bool RollBookSession::save()
{
    if (!m_workbook)
        return false;
    // Never save over what another program wrote since we read the file.
    if (m_workbook->changedOnDisk() && !reloadFromDisk())
        return false;
    if (!m_workbook->isDirty()) {
        m_pending.markSaved();
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
    m_pending.markSaved();
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
    m_viewer->showSheet(m_activeSheet);
}

void RollBookSession::showRollBook(const QString& sheet)
{
    if (!openRollBook() || m_workbook->worksheetCount() == 0)
        return;
    // A sheet of that name no longer there: the first one, as by position.
    if (!makeCurrent(std::max(openWorksheetIndex(sheet), 0)))
        return;
    if (!m_viewer)
        m_viewer = std::make_unique<RollBookViewer>(*this);
    m_viewer->showSheet(m_activeSheet);
}

void RollBookSession::closeWorkbook()
{
    // Changes that cannot be saved yet keep the workbook in memory, and so
    // do changes kept aside, which the next reading tries to place again.
    if (m_workbook && !m_pending.written().empty() && !save())
        return;
    if (!m_pending.kept().empty())
        return;
    m_workbook.reset();
    m_activeSheet = -1;
    m_activeSheetName.clear();
}

void RollBookSession::release()
{
    // A score or an award is never dropped silently at close: the teacher
    // may free the file and retry, or give the changes up knowingly.
    while (m_workbook && !m_pending.written().empty() && !save()) {
        const MessageAnswer answer = m_services.messages->show(
            QStringLiteral("点名册.xls还有%1处修改没有保存：%2\r\n请关闭占用它的程序后点“重试”；"
                           "点“取消”将放弃这些修改。")
                .arg(m_pending.written().size())
                .arg(m_error),
            QStringLiteral("错误"), MessageIcon::Critical, MessageButtons::RetryCancel);
        if (answer != MessageAnswer::Retry)
            break;
    }
    reportUnplaced();
    m_workbook.reset();
    m_pending.clear();
    m_activeSheet = -1;
    m_activeSheetName.clear();
    m_viewer.reset();
}

void RollBookSession::reportUnplaced()
{
    if (m_pending.kept().empty())
        return;
    m_services.messages->show(unplacedReport(m_pending.kept()), QStringLiteral("错误"),
                              MessageIcon::Critical);
}

} // namespace zelvano
