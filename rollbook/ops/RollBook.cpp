#include "rollbook/ops/RollBook.h"

#include "rollbook/ops/CellEditRecord.h"
#include "rollbook/ops/TakeBackRecord.h"

#include "rollbook/SheetName.h"
#include "rollbook/Workbook.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/Numbers.h"
#include "shell/core/ProcessControl.h"
#include "shell/core/SystemProcessControl.h"

#include <QDir>
#include <QFileInfo>

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

// A program asked to close may first ask its user whether to save: it is
// given this long, looked at every poll.
constexpr int kCloseWaitMs = 15000;
constexpr int kClosePollMs = 250;

BookOutcome unreadable(const xls::XlsError& error)
{
    BookOutcome outcome;
    outcome.status = error.kind() == xls::XlsError::Kind::Password ? BookStatus::Protected
                                                                   : BookStatus::Unreadable;
    outcome.detail = QString::fromUtf8(error.what());
    return outcome;
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

RollBook::RollBook(AppServices& services) : m_services(services) {}

RollBook::~RollBook() = default;

QString RollBook::path() const
{
    if (m_workbook)
        return QString::fromStdU16String(m_workbook->path().u16string());
    return findRollBook(m_services.dataDir).path;
}

QString RollBook::fileName() const
{
    return QFileInfo(path()).fileName();
}

bool RollBook::bothFilesPresent() const
{
    return findRollBook(m_services.dataDir).bothPresent;
}

bool RollBook::exists() const
{
    return QFileInfo(path()).isFile();
}

BookOutcome RollBook::failed(BookStatus status, QString detail)
{
    BookOutcome outcome;
    outcome.status = status;
    outcome.detail = std::move(detail);
    return outcome;
}

BookOutcome RollBook::finish(BookOutcome outcome)
{
    outcome.reloads.insert(outcome.reloads.begin(), m_reloads.begin(), m_reloads.end());
    m_reloads.clear();
    return outcome;
}

bool RollBook::carry(BookOutcome& step)
{
    m_reloads.insert(m_reloads.end(), step.reloads.begin(), step.reloads.end());
    step.reloads.clear();
    return step.ok();
}

BookOutcome RollBook::open()
{
    if (!m_workbook) {
        if (!exists())
            return finish(failed(BookStatus::Missing, QStringLiteral("找不到%1").arg(path())));
        try {
            m_workbook = std::make_unique<xls::Workbook>(xls::Workbook::open(toPath(path())));
        } catch (const xls::XlsError& error) {
            return finish(unreadable(error));
        }
        m_pending.clear();
        m_activeSheet = -1;
        m_activeSheetName.clear();
        return finish({});
    }
    if (m_workbook->changedOnDisk()) {
        if (BookOutcome again = readAgain(); !again.ok())
            return finish(std::move(again));
    }
    // Changes a failed save left behind are saved before anything else.
    if (!m_pending.written().empty()) {
        BookOutcome saved = save();
        carry(saved);
    }
    return finish({});
}

BookOutcome RollBook::reopen()
{
    if (!m_workbook)
        return open();
    if (m_workbook->changedOnDisk())
        return finish(readAgain());
    return finish({});
}

BookOutcome RollBook::readAgain()
{
    std::unique_ptr<xls::Workbook> fresh;
    try {
        fresh = std::make_unique<xls::Workbook>(xls::Workbook::open(toPath(path())));
    } catch (const xls::XlsError& error) {
        return unreadable(error);
    }
    m_workbook = std::move(fresh);
    ++m_version;
    // The current sheet is the one of the same name, wherever it is now.
    m_activeSheet = worksheetIndex(m_activeSheetName);
    if (m_activeSheet < 0)
        m_activeSheetName.clear();
    if (!m_pending.empty()) {
        xls::Workbook& book = *m_workbook;
        const BookView view{
            [this](const QString& name) { return worksheetIndex(name); },
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
        m_reloads.push_back({rewritten, m_pending.kept()});
    }
    return {};
}

QStringList RollBook::worksheetNames() const
{
    QStringList names;
    if (m_workbook) {
        for (const std::string& name : m_workbook->worksheetNames())
            names << QString::fromStdString(name);
    }
    return names;
}

int RollBook::worksheetIndex(const QString& name) const
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

BookOutcome RollBook::activateSheet(int index)
{
    if (BookOutcome opened = open(); !carry(opened))
        return finish(std::move(opened));
    if (index < 0 || index >= worksheetCount())
        return finish(failed(BookStatus::NoSuchSheet, QStringLiteral("找不到工作表")));
    return finish(makeCurrent(index));
}

BookOutcome RollBook::activateSheet(const QString& name)
{
    if (BookOutcome opened = open(); !carry(opened))
        return finish(std::move(opened));
    const int index = worksheetIndex(name);
    if (index < 0)
        return finish(
            failed(BookStatus::NoSuchSheet, QStringLiteral("找不到工作表“%1”").arg(name)));
    return finish(makeCurrent(index));
}

BookOutcome RollBook::makeCurrent(int index)
{
    // Read the whole sheet now: a damaged one is refused before any of it
    // is used, instead of failing half-way through a roster or an award.
    try {
        m_workbook->loadCells(static_cast<std::size_t>(index));
    } catch (const xls::XlsError& error) {
        return failed(BookStatus::Damaged, QString::fromUtf8(error.what()));
    }
    m_activeSheet = index;
    m_activeSheetName =
        QString::fromStdString(m_workbook->worksheetNames()[static_cast<std::size_t>(index)]);
    return {};
}

xls::CellValue RollBook::cell(int row, int column) const
{
    return cellAt(m_activeSheet, row, column);
}

QString RollBook::cellText(int row, int column) const
{
    return QString::fromStdString(xls::trimmedText(cell(row, column)));
}

int RollBook::lastUsedRow() const
{
    if (!m_workbook || m_activeSheet < 0)
        return 0;
    try {
        return m_workbook->lastRow(static_cast<std::size_t>(m_activeSheet));
    } catch (const xls::XlsError&) {
        return 0;
    }
}

int RollBook::worksheetCount() const
{
    return m_workbook ? static_cast<int>(m_workbook->worksheetCount()) : 0;
}

xls::CellValue RollBook::cellAt(int sheet, int row, int column) const
{
    if (!m_workbook || sheet < 0 || sheet >= worksheetCount())
        return {};
    try {
        return m_workbook->cell(static_cast<std::size_t>(sheet), row, column);
    } catch (const xls::XlsError&) {
        return {};
    }
}

bool RollBook::sheetReadable(int sheet) const
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

BookOutcome RollBook::write(const std::vector<CellWrite>& cells)
{
    if (!m_workbook || m_activeSheet < 0)
        return finish(failed(BookStatus::Unreadable));
    return finish(writeInto(m_activeSheet, cells));
}

BookOutcome RollBook::addWorksheet(const QString& name, const std::vector<CellWrite>& cells)
{
    if (BookOutcome opened = open(); !carry(opened))
        return finish(std::move(opened));
    if (!m_pending.written().empty())
        return finish(failed(BookStatus::SaveFailed));
    std::vector<std::string> names;
    for (const xls::SheetInfo& sheet : m_workbook->sheets())
        names.push_back(sheet.name);
    const std::string utf8 = name.toStdString();
    switch (xls::checkSheetName(utf8, names)) {
    case xls::SheetNameProblem::None:
        break;
    case xls::SheetNameProblem::Taken:
        return finish(failed(BookStatus::SheetExists));
    default:
        return finish(failed(BookStatus::Refused, QStringLiteral("这个名字不能用作工作表名称")));
    }
    try {
        const std::size_t sheet = m_workbook->addWorksheet(utf8);
        for (const CellWrite& c : cells)
            writeContent(*m_workbook, sheet, c.row, c.column, c.value);
    } catch (const xls::XlsError& error) {
        dropAddedWorksheet();
        return finish(failed(BookStatus::Refused, QString::fromUtf8(error.what())));
    }
    ++m_version;
    return finish({});
}

void RollBook::dropAddedWorksheet()
{
    // Nothing else of ours was unsaved (see addWorksheet): the file holds it all.
    if (m_workbook && !readAgain().ok()) {
        m_workbook.reset();
        ++m_version;
    }
    m_reloads.clear();
}

BookOutcome RollBook::writeInto(int sheet, const std::vector<CellWrite>& cells, bool recorded,
                                int recordId)
{
    const auto index = static_cast<std::size_t>(sheet);
    const QString name = QString::fromStdString(m_workbook->worksheetNames().at(index));
    // Every write is one change of the teacher's, counted once.
    if (recordId == 0)
        recordId = ++m_lastRecordId;
    const auto refused = [&](const CellWrite& c, const xls::XlsError& error) {
        BookOutcome outcome = failed(BookStatus::Refused, QString::fromUtf8(error.what()));
        outcome.refused = {name, c.row, c.column, error.kind()};
        return outcome;
    };
    // Every cell is asked first, so a refused one leaves the others as they
    // were: an award or a score is written whole or not at all.
    for (const CellWrite& c : cells) {
        try {
            m_workbook->checkCanChange(index, c.row, c.column);
        } catch (const xls::XlsError& error) {
            return refused(c, error);
        }
    }
    for (const CellWrite& c : cells) {
        try {
            writeContent(*m_workbook, index, c.row, c.column, c.value);
        } catch (const xls::XlsError& error) {
            // Only a text too long for a cell gets here; what was written
            // before it stays pending like any change.
            return refused(c, error);
        }
        m_pending.add({name, c.row, c.column, c.value, c.anchor, recorded, recordId});
    }
    return {};
}

BookOutcome RollBook::editCell(const QString& sheet, int row, int column, const QString& typed)
{
    RecordOutcome edited = record(std::make_shared<CellEditRecord>(sheet, row, column, typed));
    if (edited.status != RecordStatus::Written)
        return std::move(edited.book);
    carry(edited.book);
    return save();
}

bool RollBook::hasUnsavedChanges() const
{
    return (m_workbook && m_workbook->isDirty()) || !m_pending.kept().empty() ||
           !m_pending.waiting().empty();
}

BookOutcome RollBook::save()
{
    if (!m_workbook)
        return finish(failed(BookStatus::Unreadable));
    // Never save over what another program wrote since we read the file.
    if (m_workbook->changedOnDisk()) {
        if (BookOutcome again = readAgain(); !again.ok()) {
            // Gone with its folder, or gone alone: said so, not "cannot read".
            const xls::WriteAccess access = m_workbook->writeAccess();
            if (access.problem == xls::WriteProblem::FolderGone ||
                access.problem == xls::WriteProblem::Missing)
                again.detail = QString::fromStdString(access.reason);
            return finish(std::move(again));
        }
    }
    if (!m_workbook->isDirty()) {
        m_pending.markSaved();
        return finish({});
    }
    const xls::WriteAccess access = m_workbook->writeAccess();
    const BookHolder holder = holderOf(access);
    if (holder.held || access.readOnly) {
        BookOutcome outcome = failed(BookStatus::SaveFailed, QString::fromStdString(access.reason));
        if (holder.held && access.problem != xls::WriteProblem::Held)
            outcome.detail = QStringLiteral("%1 正在被 %2 使用").arg(fileName(), holder.program);
        outcome.holder = holder;
        return finish(std::move(outcome));
    }
    try {
        m_workbook->save();
    } catch (const xls::XlsError& error) {
        return finish(failed(BookStatus::SaveFailed, QString::fromUtf8(error.what())));
    }
    m_pending.markSaved();
    ++m_version;
    return finish({});
}

// Another program of this user with the file open may save over what we
// write, so it holds the file as much as a live lock does.
BookHolder RollBook::holderOf(const xls::WriteAccess& access) const
{
    if (!m_services.processes)
        return {};
    const auto open = m_services.processes->processesHoldingFile(path().toStdString());
    if (!open.empty())
        return {true, open.front().pid, QString::fromStdString(open.front().program)};
    if (access.problem != xls::WriteProblem::Held)
        return {};
    QString program = access.image.empty() ? QStringLiteral("另一个程序")
                                           : QString::fromStdString(programTitle(access.image));
    if (!access.owner.empty())
        program += QStringLiteral("（%1）").arg(QString::fromStdString(access.owner));
    return {true, access.pid, program};
}

bool RollBook::writableByPermissions() const
{
    if (!m_workbook)
        return true;
    const xls::WriteProblem problem = m_workbook->writeAccess().problem;
    return problem != xls::WriteProblem::ReadOnly && problem != xls::WriteProblem::FolderReadOnly;
}

bool RollBook::askHolderToClose(const BookHolder& holder)
{
    ProcessControl* processes = m_services.processes;
    if (!holder.canAskToClose() || !processes || !processes->askToClose(holder.pid))
        return false;
    for (int waited = 0; processes->isRunning(holder.pid); waited += kClosePollMs) {
        if (waited >= kCloseWaitMs || !m_services.clock)
            return false;
        m_services.clock->wait(kClosePollMs);
    }
    return true;
}

AppliedCells RollBook::appliedCells(const std::vector<CellWrite>& cells)
{
    AppliedCells applied{true, m_activeSheetName, {}, ++m_lastRecordId};
    for (const CellWrite& c : cells)
        applied.cells.push_back({c.row, c.column, cell(c.row, c.column), c.value, c.anchor});
    return applied;
}

RecordOutcome RollBook::applyOne(const std::shared_ptr<RecordCommand>& record)
{
    RecordOutcome outcome;
    outcome.record = record;
    outcome.book = activateSheet(record->sheet());
    if (!carry(outcome.book)) {
        outcome.status = RecordStatus::Unreachable;
        return outcome;
    }
    const RecordPlan plan =
        record->plan([this](int row, int column) { return cell(row, column); }, lastUsedRow());
    if (plan.rowGone || plan.changedOutside) {
        outcome.status = plan.rowGone ? RecordStatus::RowGone : RecordStatus::Changed;
        return outcome;
    }
    const RecordCommand* original = record->takesBack();
    AppliedCells applied = appliedCells(plan.cells);
    // A take-back is not "points still unsaved" for the person it restores.
    outcome.book = writeInto(m_activeSheet, plan.cells, original == nullptr, applied.id);
    if (!outcome.book.ok()) {
        outcome.status = RecordStatus::Refused;
        return outcome;
    }
    if (original && m_pending.holdsWrittenOf(original->applied().id)) {
        // The file never held the original: with the workbook's cells
        // restored, neither it nor its take-back has anything left to save.
        m_pending.dropRecord(original->applied().id);
        m_pending.dropRecord(applied.id);
    }
    record->setApplied(std::move(applied));
    return outcome;
}

bool RollBook::waitsAfter(const RecordOutcome& outcome) const
{
    // A cell changed by somebody else stays changed: waiting cannot help.
    return outcome.status != RecordStatus::Written && outcome.status != RecordStatus::Changed &&
           outcome.record->waitsWhenNotWritten();
}

RecordOutcome RollBook::record(std::shared_ptr<RecordCommand> record)
{
    RecordOutcome outcome = applyOne(record);
    outcome.book = finish(std::move(outcome.book));
    if (waitsAfter(outcome)) {
        m_pending.wait(std::move(record));
        outcome.waits = true;
    }
    return outcome;
}

RecordOutcome RollBook::takeBack(std::shared_ptr<RecordCommand> record)
{
    RecordOutcome outcome;
    outcome.record = record;
    if (m_pending.dropWaitingRecord(record.get()))
        return outcome; // it never reached the workbook
    const int id = record->applied().id;
    if (!record->applied().applied) {
        outcome.status = RecordStatus::Refused;
        return outcome;
    }
    if (m_pending.holdsRecord(id) && !m_pending.holdsWrittenOf(id)) {
        // Only kept aside: no file holds it, and none will.
        m_pending.dropRecord(id);
        return outcome;
    }
    return this->record(std::make_shared<TakeBackRecord>(std::move(record)));
}

std::vector<RecordOutcome> RollBook::applyWaiting()
{
    std::vector<RecordOutcome> outcomes;
    bool reachable = true;
    for (std::shared_ptr<RecordCommand>& record : m_pending.takeWaiting()) {
        if (!reachable) {
            m_pending.wait(std::move(record));
            continue;
        }
        RecordOutcome outcome = applyOne(record);
        outcome.book = finish(std::move(outcome.book));
        reachable = outcome.status != RecordStatus::Unreachable;
        if (waitsAfter(outcome)) {
            m_pending.wait(std::move(record));
            outcome.waits = true;
        }
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

BookOutcome RollBook::close()
{
    // Changes that cannot be saved yet keep the workbook in memory, and so
    // do changes kept aside, which the next reading tries to place again.
    if (m_workbook && !m_pending.written().empty()) {
        BookOutcome saved = save();
        if (!carry(saved))
            return finish(std::move(saved));
    }
    if (m_pending.kept().empty()) {
        m_workbook.reset();
        m_activeSheet = -1;
        m_activeSheetName.clear();
    }
    return finish({});
}

void RollBook::drop()
{
    m_workbook.reset();
    m_pending.clear();
    m_pending.dropWaiting();
    m_activeSheet = -1;
    m_activeSheetName.clear();
}

} // namespace zelvano
