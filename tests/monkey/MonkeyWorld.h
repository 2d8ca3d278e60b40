#pragma once

// What every monkey run starts from: the scripted services with the random
// source, the message boxes and the colour dialog driven from the run's
// seed, a scratch application folder with the pictures (and the roll book
// when the run has one), and the monkey itself.

#include "BookCells.h"
#include "Monkey.h"
#include "MonkeyRuns.h"
#include "TestServices.h"

#include "shell/gui/ModeNavigator.h"

#include <QAction>
#include <QDateTime>

#include <memory>
#include <optional>

class QTabBar;
class QTableView;

namespace zelvano
{
class RollBookViewer;
}

namespace zelvano::testing
{

class MonkeyWorld
{
public:
    explicit MonkeyWorld(const MonkeyRun& run, WindowFactory* windows = nullptr);

    AppServices& services() { return ts.services; }
    QString bookPath() const { return ts.folder.file(QStringLiteral("点名册.xls")); }
    // The roll book as xlrd reads it now; records a failure when it cannot.
    std::optional<BookCells> readBook();
    // What xlrd reads now where it differs from `expected`, empty when
    // nothing does. With ZELVANO_MONKEY_STRICT set the runs compare after
    // every step that changed the expectation, to find the step at fault.
    QString bookDifferences(const BookCells& expected,
                            const std::function<bool(const BookCells::Key&)>& ignored = {});
    static bool strict();
    // With ZELVANO_MONKEY_STRICT: the differences when the expectation or
    // the file changed since the last call, else empty.
    QString strictCheck(const BookCells& expected,
                        const std::function<bool(const BookCells::Key&)>& ignored = {});
    // Every change of the expectation is counted here.
    void expectationChanged() { ++m_changes; }
    // A fault already reported and not mended yet: counted under `name` (a
    // short id) and logged, so the run goes on; with
    // ZELVANO_MONKEY_KNOWN_FAULTS=fail it fails the run instead (to check a
    // mend).
    void knownFault(const QString& name, const QString& detail);
    // Ends the run: still running, nothing modal left, the figures taken.
    MonkeyResult finish(bool ran);
    void fail(const QString& why) { monkey.fail(why); }

    // The roll-book window of this run when it is shown.
    static RollBookViewer* shownViewer();
    // Types `typed` into the cell of the shown roll-book window as a person
    // does (sheet tab, click, keys, Enter). The text the cell editor held
    // when Enter was pressed, and the text the cell showed before, or
    // nothing when the cell could not be reached.
    struct Edit {
        QString before;
        QString typed;
    };
    std::optional<Edit> editCell(const QString& sheet, int row, int column, const QString& typed);

    // Items that go back to the mode menu are never chosen.
    static bool returnsToMenu(const QAction* action);
    // Returning to the menu, or taking a score or an award back, which the
    // expected roll book does not follow.
    static bool returnsOrTakesBack(const QAction* action);

    TestServices ts;
    SeededRandom random;
    MonkeyMessages messages;
    MonkeyColours colours;
    std::unique_ptr<WindowFactory> noWindows;
    ModeNavigator navigator;
    Monkey monkey;
    QMap<QString, int> figures;
    QString label;

private:
    int m_changes = 0;
    int m_compared = 0;
    QDateTime m_stamp;
};

} // namespace zelvano::testing
