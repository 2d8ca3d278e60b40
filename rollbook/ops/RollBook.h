#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/FileWatch.h"
#include "rollbook/ops/PendingChanges.h"
#include "rollbook/ops/RollBookFile.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace zelvano
{

struct AppServices;

namespace xls
{
class Workbook;
} // namespace xls

inline constexpr const char16_t* kPrizeSheetName = u"抽奖品";

// How an operation on the roll book ended. Nothing is shown to anybody
// here: the window's side turns each outcome into its message.
enum class BookStatus {
    Ok,
    Missing,     // no roll-book file in the data folder
    Unreadable,  // the file cannot be read as a workbook (or was not open)
    Protected,   // the workbook is encrypted with an opening password
    NoSuchSheet, // no worksheet of that name or position
    Damaged,     // the worksheet's cells cannot be read
    Refused,     // a cell the engine will not change; nothing of the write made
    SaveFailed,  // the file cannot be written now; the changes wait
    SheetExists, // a new sheet's name is taken (capitals aside)
};

// The cell that refused a write, and why.
struct RefusedCell {
    QString sheet;
    int row = 0;
    int column = 0;
    xls::XlsError::Kind kind = xls::XlsError::Kind::Other;
};

// The file was read again because another program saved it while changes
// of ours waited: how many were written again, and which were kept aside.
struct ReloadReport {
    int rewritten = 0;
    std::vector<KeptChange> kept;
};

// The program that held the file when a save found it held.
struct BookHolder {
    bool held = false;
    std::int64_t pid = 0; // 0: not known here, or not ours to ask
    QString program;      // "LibreOffice Calc", "WPS 表格", "python3"
    bool canAskToClose() const { return pid > 0; }
};

struct BookOutcome {
    BookStatus status = BookStatus::Ok;
    QString detail;      // the engine's or the system's words
    BookHolder holder;   // for SaveFailed: who holds the file, if anybody
    RefusedCell refused; // for Refused
    // Readings of the file made on the way, in order.
    std::vector<ReloadReport> reloads;
    bool ok() const { return status == BookStatus::Ok; }
};

// How applying a record ended.
enum class RecordStatus {
    Written,     // its cells are in the workbook (the save is the caller's)
    Unreachable, // the file or its sheet could not be opened
    RowGone,     // the row it belongs to is not in the sheet any more
    Refused,     // a cell refused it; nothing of it written
    Changed,     // a cell no longer holds what it expects; nothing written, never waits
};

struct RecordOutcome {
    RecordStatus status = RecordStatus::Written;
    std::shared_ptr<RecordCommand> record;
    BookOutcome book;   // the roll book's own outcome: refused cell, readings
    bool waits = false; // kept to be applied at the next access
};

// The roll book as one window holds it: the workbook, the current
// worksheet, and the operations every window runs on them. Opened on first
// use, kept for the window's life, dropped at close.
//
// Before every access the file is checked: one changed on disk by another
// program is read again, so edits made elsewhere are seen. A save that
// fails keeps the changes in memory; the next access saves them first, and
// a retry never applies a change twice. When the file changed on disk while
// changes of ours were unsaved, each is written again where it still means
// the same (see CellAnchor) and the others are kept; the outcome says both.
//
// Nothing the workbook engine throws leaves this class, and it never shows
// a message, ends the program or blocks the event loop: waits for a program
// that held the file go through the clock seam.
class RollBook
{
public:
    explicit RollBook(AppServices& services);
    ~RollBook();

    // The open workbook's file; when none is open, the one findRollBook()
    // chooses in the data folder now.
    QString path() const;
    // "点名册.xls" or "点名册.xlsx", for the messages that name the file.
    QString fileName() const;
    bool exists() const;
    // 点名册.xls and 点名册.xlsx are both in the data folder.
    bool bothFilesPresent() const;

    // Makes sure the roll book is open and current; changes a failed save
    // left behind are saved first.
    BookOutcome open();
    // After a failed write: open again when closed, read again when another
    // program saved it, so the next attempt finds the file.
    BookOutcome reopen();

    // Worksheets of the open workbook in order; nothing when none is open.
    QStringList worksheetNames() const;
    // Position of a worksheet of the open workbook, -1 when none.
    int worksheetIndex(const QString& name) const;

    // Opens the roll book and makes a worksheet the current one, by its
    // 0-based position or by its name; a damaged sheet is refused whole.
    BookOutcome activateSheet(int index);
    BookOutcome activateSheet(const QString& name);
    int activeSheet() const { return m_activeSheet; }
    QString activeSheetName() const { return m_activeSheetName; }

    // The current worksheet's cells, 1-based; empty where unreadable.
    xls::CellValue cell(int row, int column) const;
    QString cellText(int row, int column) const;
    int lastUsedRow() const;
    int worksheetCount() const;
    xls::CellValue cellAt(int sheet, int row, int column) const;
    bool sheetReadable(int sheet) const;

    // Writes the cells into the current worksheet, all or none.
    BookOutcome write(const std::vector<CellWrite>& cells);
    // A teacher's edit: a number typed is stored as a number, any other
    // text as text, an empty text empties the cell; saved at once.
    BookOutcome editCell(const QString& sheet, int row, int column, const QString& typed);
    // Saves the changes written. SaveFailed keeps them for the next access.
    BookOutcome save();

    // Changes the file does not hold yet: unsaved, kept aside, or records
    // waiting for the next access.
    bool hasUnsavedChanges() const;
    // The teacher's changes (a score, an award, an edit, a grouping) written
    // into the workbook and not saved yet, each counted once whatever the
    // number of its cells.
    int unsavedWriteCount() const { return m_pending.changeCount(); }
    // Whether the file, as it is now, can be written by us at all (its
    // permissions, its folder, its medium); a holder does not count.
    bool writableByPermissions() const;
    // Asks the holder a failed save named to close, as closing its window
    // would, and waits through the clock seam until it has ended. False when
    // it could not be asked or is still running after the wait.
    bool askHolderToClose(const BookHolder& holder);
    const std::vector<KeptChange>& keptChanges() const { return m_pending.kept(); }

    // Applies a record to its sheet (see RecordCommand). One that could not
    // be written and waits goes after those already waiting.
    RecordOutcome record(std::shared_ptr<RecordCommand> record);
    // Applies the waiting records, oldest first, each exactly once; after
    // one finds the file unreachable the others wait on untried.
    std::vector<RecordOutcome> applyWaiting();
    const std::vector<std::shared_ptr<RecordCommand>>& waiting() const
    {
        return m_pending.waiting();
    }
    // Takes an applied or waiting record back, through the same rule as
    // any record (see TakeBackRecord): one still waiting simply stops
    // waiting; one whose changes the file does not hold yet leaves the
    // pending list with the workbook's cells restored; one saved is undone
    // by a record of its own, which waits as the original would. Written
    // means it is taken back (the save is the caller's).
    RecordOutcome takeBack(std::shared_ptr<RecordCommand> record);
    void dropWaiting() { m_pending.dropWaiting(); }
    // Where the recorded change of `column` in the row `subject` stands
    // for stands: "are this person's points still unsaved?" Plain writes
    // (a reset, a grouping) do not count.
    ChangeState changeFor(const QString& sheet, int column, const CellAnchor& subject) const
    {
        return m_pending.stateOf(sheet, column, subject);
    }

    // Adds the worksheet `name` after the last sheet with `cells` in it, in
    // memory: the save is the caller's, and a sheet whose save failed is
    // taken back with dropAddedWorksheet(). Needs every earlier change saved
    // (SaveFailed otherwise), so taking it back loses nothing. SheetExists
    // for a name the workbook has, Refused for one Excel does not take.
    BookOutcome addWorksheet(const QString& name, const std::vector<CellWrite>& cells);
    // Reads the file again, so the sheet added and not saved is gone.
    void dropAddedWorksheet();

    // Closes the workbook; kept when changes of ours still need it.
    BookOutcome close();
    // Drops the workbook and every change that never reached the file.
    void drop();

    xls::Workbook* workbook() const { return m_workbook.get(); }
    // Counts the saves and readings of the file: what is shown of the
    // workbook is out of date when it moved on.
    int version() const { return m_version; }

private:
    static BookOutcome failed(BookStatus status, QString detail = {});
    // The outcome of a public operation, with the readings made on its way.
    BookOutcome finish(BookOutcome outcome);
    // Keeps the readings of an inner step for the outer outcome.
    bool carry(BookOutcome& step);
    BookOutcome readAgain();
    BookOutcome makeCurrent(int index);
    BookOutcome writeInto(int sheet, const std::vector<CellWrite>& cells, bool recorded = false,
                          int recordId = 0);
    // Remembers what a record's cells hold before it writes them.
    AppliedCells appliedCells(const std::vector<CellWrite>& cells);
    bool waitsAfter(const RecordOutcome& outcome) const;
    RecordOutcome applyOne(const std::shared_ptr<RecordCommand>& record);
    BookHolder holderOf(const xls::WriteAccess& access) const;

    AppServices& m_services;
    std::unique_ptr<xls::Workbook> m_workbook;
    int m_activeSheet = -1;
    QString m_activeSheetName;
    PendingChanges m_pending;
    // Readings of the file since the last outcome, handed out with it.
    std::vector<ReloadReport> m_reloads;
    int m_version = 0;
    int m_lastRecordId = 0;
};

} // namespace zelvano
