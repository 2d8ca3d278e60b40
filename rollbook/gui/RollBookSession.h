#pragma once

#include "rollbook/CellValue.h"
#include "rollbook/ops/RollBook.h"
#include "shell/core/MessageService.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace zelvano
{

struct AppServices;
class RollBookViewer;

// The roll book as a window uses it: the operations of RollBook (which
// decides everything and shows nothing), each outcome told to the teacher
// in the words, icons and titles the windows have always used, the
// questions asked, and the roll-book window shown.
//
// Every write operation ends with a save. When the file changed on disk
// while changes of ours were unsaved, the teacher is told which were
// written again and which were kept; a cell the engine will not change is
// named to the teacher and left as it was.
class RollBookSession
{
public:
    explicit RollBookSession(AppServices& services);
    ~RollBookSession();

    // The roll book used: 点名册.xls, or 点名册.xlsx (see findRollBook). When
    // both are in the folder, the teacher is told once per run which one.
    QString rollBookPath() const;
    // "点名册.xls" or "点名册.xlsx", for the messages that name the file.
    QString rollBookFileName() const { return m_book.fileName(); }

    // The roll book is in the data folder. Otherwise the teacher is told the
    // folder searched and may take the sample roll book shipped with the
    // program instead (true); else the program ends (false).
    bool checkRollBookPresent();

    // Makes sure the roll book is open and current (see RollBook::open). False
    // when it cannot be read; errorText() says why, and no message is shown.
    bool openRollBook();

    // Worksheets in workbook order (chart and macro sheets are not
    // worksheets). Nothing when the roll book cannot be read.
    std::optional<QStringList> worksheetNames();
    // Position (0-based) of the worksheet with exactly that name, or -1.
    int worksheetIndex(const QString& name);

    // Opens the roll book and makes a worksheet the current one: by its
    // 0-based position among the worksheets, or by its name (what a window
    // remembers, so a sheet inserted by another program never takes its
    // place). False when there is no such sheet or its cells are damaged;
    // errorText() says why.
    bool activateSheet(int index);
    bool activateSheet(const QString& name);
    int activeSheet() const { return m_book.activeSheet(); }
    QString activeSheetName() const { return m_book.activeSheetName(); }
    // Position of a worksheet of the open workbook, -1 when none; opens nothing.
    int openWorksheetIndex(const QString& name) const;

    // The current worksheet's cells, rows and columns 1-based; empty where
    // the engine cannot read them.
    xls::CellValue cell(int row, int column) const;
    // The value converted to text and trimmed of spaces.
    QString cellText(int row, int column) const;
    // The last row of the current worksheet holding anything, 0 when none.
    int lastUsedRow() const;

    // Writes the cells into the current worksheet, all or none: a cell the
    // engine will not change ("抽奖品!F5" in an array formula) is named in a
    // message titled "错误" and nothing is written (false).
    bool write(const std::vector<CellWrite>& cells);
    bool setNumber(int row, int column, double value, const CellAnchor& anchor = {});
    bool setText(int row, int column, const QString& text, const CellAnchor& anchor = {});

    // Any worksheet's cells, for the roll-book window; empty where they
    // cannot be read.
    int worksheetCount() const;
    xls::CellValue cellAt(int sheet, int row, int column) const;
    bool sheetReadable(int sheet) const;
    // A teacher's edit in the roll-book window, a record of its own saved at
    // once through the same workbook the program writes: a number typed
    // ("12", "2.5") is stored as a number, any other text ("03月05") as
    // text, and an empty text empties the cell. The edit as written, to be
    // taken back with takeBack(); a failed save is told and the edit stays
    // pending, as any other. Null when the cell refused it (told) or the
    // file could not be opened.
    std::shared_ptr<RecordCommand> editCell(const QString& sheet, int row, int column,
                                            const QString& typed);

    // Saves the changes of a write operation. False when the file cannot be
    // written now (held by another program, read-only, disk full): the
    // changes stay in memory and are saved by the next access. A program
    // holding the file is named, and the teacher chooses 重试 (after closing
    // it there), 请它关闭 (it is asked to close, as closing its window would)
    // or 取消.
    bool save();
    // Saves the changes of a write operation and tells its failure: a save
    // that failed, or a write that found the file unreachable (`status`),
    // is told once as reportWriteFailure does. True when all is saved.
    bool commit(RecordStatus status = RecordStatus::Written);
    // The same for a write a window's logic made through book(): what it
    // met is told (a refused cell named, a row gone, the file read again),
    // and the save follows. True when the write took and all is saved.
    // Cells that could not be written are not saved past: a sheet that
    // could not be opened is told as a write failure.
    bool commit(const BookOutcome& written);
    // A record's changes are saved whatever it met, as a failed record may
    // leave others' changes to save, unless the file was unreachable (told
    // with the cause its opening gave); true when it was written and saved.
    bool commit(const RecordOutcome& recorded);
    // Opens the sheet a write operation is about to change, the waiting
    // records applied first when asked; when that fails the write failure
    // is told, as commit does, and false.
    enum class Waiting { Untouched, AppliedFirst };
    bool beginWrite(const QString& sheet, Waiting waiting = Waiting::Untouched);
    // Tells what a read by a window's logic through book() met: the file
    // read again, and the cause kept for the messages that follow. True
    // when it succeeded.
    bool tell(const BookOutcome& outcome) { return told(outcome); }
    // Changes the file does not hold yet: unsaved, kept aside because a
    // file another program saved had no place for them, or records waiting
    // for the next access.
    bool hasUnsavedChanges() const;
    const std::vector<KeptChange>& keptChanges() const { return m_book.keptChanges(); }

    // Applies a record of a window's logic (points, an award) through the
    // roll book. A refused cell and a row that is gone are told here; a
    // file that cannot be opened is the window's to tell (Unreachable).
    RecordStatus record(std::shared_ptr<RecordCommand> record);
    // Takes a record back (see RollBook::takeBack); a cell changed since,
    // or a row gone, is told here and nothing is changed.
    RecordStatus takeBack(std::shared_ptr<RecordCommand> record);
    // Applies the records waiting for the next access, each told as above;
    // true when none waits any more.
    bool applyWaiting();
    bool hasWaitingRecords() const { return !m_book.waiting().empty(); }
    // The waiting records as a person writes them by hand, oldest first.
    QStringList waitingRecordTexts() const;
    // Gives the waiting records up (after listing them for the teacher).
    void dropWaitingRecords() { m_book.dropWaiting(); }
    // Is a recorded change of `column` in the row `subject` stands for
    // still not in the file?
    ChangeState changeFor(const QString& sheet, int column, const CellAnchor& subject) const
    {
        return m_book.changeFor(sheet, column, subject);
    }

    // Adds the class sheet `name` holding `cells` and saves it at once;
    // earlier changes are saved first. A name taken is told; a save that
    // fails is told as any (the holder asked about) and the sheet is not
    // added: it exists once the file holds it. The new sheet's position
    // among the worksheets, or -1.
    int addClassSheet(const QString& name, const std::vector<CellWrite>& cells);

    // Shows "非常抱歉，写入没成功，请再来一次，" / "" / the cause of the failure
    // (critical, "错误") and opens the roll book again. Nothing is shown when
    // the teacher has just answered the question about the file's holder.
    // commit and beginWrite call it for the windows.
    void reportWriteFailure();

    // The other failures of the roll book, each with its message, icon and
    // title. The first ends the program (through the seam).
    void reportNoWorksheet();    // "找不到工作表，请检查"
    void reportDamaged();        // "请打开并检查Excel文档是否损坏。"
    void reportEmptyClassList(); // "检测到名单表格为空，请检查", then closes the workbook

    // Shows the roll book to the teacher on worksheet `index` (or the one
    // named so), in the roll-book window. Errors are ignored silently.
    void showRollBook(int index);
    void showRollBook(const QString& sheet);

    // Closes the workbook after a failed roster read; the next access opens
    // it again from the file.
    void closeWorkbook();
    // Drops the workbook and closes the roll-book window (at window close).
    // Unsaved changes are saved first when possible; changes that never
    // found their place are listed for the teacher to write by hand.
    void release();

    QString errorText() const { return m_error; }
    // The workbook itself, for the roll-book window. Null when not open.
    xls::Workbook* workbook() const { return m_book.workbook(); }
    // The roll book underneath, as the logic sees it.
    RollBook& book() { return m_book; }
    const RollBook& book() const { return m_book; }

private:
    // Tells what an operation met on the way (the file read again) and
    // keeps its words for errorText(); true when it succeeded.
    bool told(const BookOutcome& outcome);
    RecordStatus told(const RecordOutcome& outcome);
    bool showSheet(int index);
    void refreshViewer();
    void reportRefused(const RefusedCell& cell);
    void tellChoiceOnce();
    void tellReadOnlyOnce();
    QString failureCause() const;
    MessageAnswer askAboutHolder(const BookHolder& holder, const QString& cancelText);
    void reportUnplaced();

    AppServices& m_services;
    RollBook m_book;
    QString m_error;
    BookStatus m_status = BookStatus::Ok;
    bool m_failureTold = false;
    bool m_readOnlyTold = false;
    const xls::Workbook* m_checkedBook = nullptr;
    int m_shownVersion = 0;
    std::unique_ptr<RollBookViewer> m_viewer;
};

} // namespace zelvano
