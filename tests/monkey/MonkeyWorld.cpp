#include "MonkeyWorld.h"

#include "rollbook/gui/RollBookViewer.h"

#include "NoWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTest>

namespace zelvano::testing
{

namespace
{

// Independent streams for the seams, all fixed by the run's seed.
std::uint64_t stream(std::uint64_t seed, std::uint64_t index)
{
    std::uint64_t z = seed + 0x9e3779b97f4a7c15ULL * (index + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace

QString MonkeyResult::line() const
{
    QStringList parts;
    for (auto it = figures.begin(); it != figures.end(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    return summary + QStringLiteral("; ") + parts.join(QStringLiteral(", "));
}

QString sampleRollBook()
{
    return QStringLiteral(ZELVANO_SOURCE_DIR "/assets/点名册.xls");
}

QString libreOfficeRollBook()
{
    return QStringLiteral(ZELVANO_SOURCE_DIR "/tests/fixtures/xls/rollbook_lo.xls");
}

MonkeyWorld::MonkeyWorld(const MonkeyRun& run, WindowFactory* windows)
    : random(stream(run.seed, 0)), messages(stream(run.seed, 1)), colours(stream(run.seed, 2)),
      noWindows(std::make_unique<NoWindows>()),
      navigator(ts.services, windows ? *windows : *noWindows), monkey(run.seed)
{
    ts.services.random = &random;
    ts.services.messages = &messages;
    ts.services.colours = &colours;
    monkey.setMessages(&messages);
    monkey.setClock(&ts.clock);
    QDir().mkpath(ts.folder.file(QStringLiteral("img")));
    const QDir pictures(QStringLiteral(ZELVANO_SOURCE_DIR "/assets/img"));
    for (const QString& name : pictures.entryList(QDir::Files))
        QFile::copy(pictures.filePath(name), ts.folder.file(QStringLiteral("img/") + name));
    if (!run.book.isEmpty() && !ts.addFile(run.book, QStringLiteral("点名册.xls")))
        monkey.fail(QStringLiteral("cannot copy ") + run.book);
}

std::optional<BookCells> MonkeyWorld::readBook()
{
    QString error;
    auto cells = BookCells::read(bookPath(), &error);
    if (!cells)
        monkey.fail(error);
    return cells;
}

QString MonkeyWorld::bookDifferences(const BookCells& expected,
                                     const std::function<bool(const BookCells::Key&)>& ignored)
{
    QString error;
    const auto actual = BookCells::read(bookPath(), &error);
    if (!actual)
        return error;
    const QStringList wrong = expected.differences(*actual, ignored);
    if (wrong.isEmpty())
        return {};
    return QStringLiteral("the roll book differs from what was asked for:\n  ") +
           wrong.join(QStringLiteral("\n  "));
}

bool MonkeyWorld::strict()
{
    return qEnvironmentVariableIsSet("ZELVANO_MONKEY_STRICT");
}

QString MonkeyWorld::strictCheck(const BookCells& expected,
                                 const std::function<bool(const BookCells::Key&)>& ignored)
{
    if (!strict())
        return {};
    const QDateTime stamp = QFileInfo(bookPath()).lastModified();
    if (m_changes == m_compared && stamp == m_stamp)
        return {};
    m_compared = m_changes;
    m_stamp = stamp;
    return bookDifferences(expected, ignored);
}

void MonkeyWorld::knownFault(const QString& name, const QString& detail)
{
    if (qgetenv("ZELVANO_MONKEY_KNOWN_FAULTS") == "fail") {
        monkey.fail(QStringLiteral("known fault \"%1\": %2").arg(name, detail));
        return;
    }
    ++figures[QStringLiteral("known fault ") + name];
    monkey.log(QStringLiteral("known fault \"%1\": %2").arg(name, detail));
}

MonkeyResult MonkeyWorld::finish(bool ran)
{
    if (QWidget* modal = QApplication::activeModalWidget())
        monkey.fail(QStringLiteral("a modal window is open at the end: ") + modal->windowTitle());
    if (ts.programEnd.calls > 0)
        monkey.fail(QStringLiteral("the program was ended"));
    MonkeyResult result;
    result.ok = ran && monkey.failure().isEmpty();
    result.failure = monkey.failure();
    result.seed = monkey.seed();
    result.actions = monkey.actions();
    result.seconds = monkey.seconds();
    result.summary = label + QStringLiteral(": ") + monkey.summary();
    result.figures = figures;
    result.figures[QStringLiteral("messages")] = static_cast<int>(messages.shown.size());
    result.figures[QStringLiteral("colour dialogs")] = colours.asked;
    result.figures[QStringLiteral("Qt warnings")] = static_cast<int>(monkey.warnings().size());
    return result;
}

bool MonkeyWorld::returnsToMenu(const QAction* action)
{
    return action && action->text().startsWith(QStringLiteral("返回"));
}

bool MonkeyWorld::returnsOrTakesBack(const QAction* action)
{
    return returnsToMenu(action) || (action && (action->objectName() == QStringLiteral("MnCx") ||
                                                action->objectName() == QStringLiteral("MnZf")));
}

RollBookViewer* MonkeyWorld::shownViewer()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* viewer = qobject_cast<RollBookViewer*>(widget); viewer && viewer->isVisible())
            return viewer;
    }
    return nullptr;
}

std::optional<MonkeyWorld::Edit> MonkeyWorld::editCell(const QString& sheet, int row, int column,
                                                       const QString& typed)
{
    RollBookViewer* viewer = shownViewer();
    if (!viewer)
        return std::nullopt;
    QApplication::setActiveWindow(viewer);
    QTabBar* tabs = viewer->sheetTabs();
    int tab = -1;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == sheet)
            tab = i;
    if (tab < 0)
        return std::nullopt;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    Monkey::flushPosted();
    QTableView* grid = viewer->grid();
    const QModelIndex index = grid->model()->index(row - 1, column - 1);
    if (!index.isValid())
        return std::nullopt;
    grid->scrollTo(index); // the person scrolls to the cell
    const QRect cell = grid->visualRect(index);
    if (!grid->viewport()->rect().contains(cell.center()))
        return std::nullopt;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    if (grid->currentIndex() != index)
        return std::nullopt;
    Edit edit;
    edit.before = index.data().toString();
    // F2 or Enter opens the cell with its text, which the person replaces.
    QTest::keyClick(grid, monkey.below(2) == 0 ? Qt::Key_F2 : Qt::Key_Return);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    if (!editor || !editor->isVisible())
        return std::nullopt;
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, typed);
    edit.typed = editor->text();
    QTest::keyClick(editor, Qt::Key_Return);
    Monkey::flushPosted();
    monkey.log(QStringLiteral("edited %1!R%2C%3 from \"%4\" to \"%5\"")
                   .arg(sheet)
                   .arg(row)
                   .arg(column)
                   .arg(edit.before, edit.typed));
    return edit;
}

} // namespace zelvano::testing
