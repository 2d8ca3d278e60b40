// The classroom window under the monkey, on a copy of a real roll book.
// The run keeps its own expectation of the workbook: each time the person
// asks for a score to be written (写 or 写入分数), the points shown in the
// score box go to the person shown in the call line, in this lesson's
// column of the class shown; 重置 empties that column; an edit in the
// roll-book window puts what was typed into the cell that was edited, a
// stray key or click there changes nothing, and Ctrl+Z there gives the last
// edited cell back what it held while nothing changed it since. At
// the end xlrd must read exactly that, every other cell unchanged.
#include "MonkeyWorld.h"

#include "classroom/FrmKtHd.h"
#include "presentation/SpeechTimer.h"
#include "rollbook/gui/RollBookViewer.h"
#include "shell/core/Numbers.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace zelvano::testing
{

namespace
{

// What the window shows before an input: the class, the lesson's column,
// the person called and the points per answer.
struct Shown {
    QString sheet;
    int column = 0;
    int persons = 0;
    QString call; // "第 g 组 m 号 ，n name"
    QString points;
};

// A control of the window found by its name, as a person finds it.
template <typename T> T* control(const FrmKtHd* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

QComboBox* classBox(const FrmKtHd& window)
{
    return control<QComboBox>(&window, "cmbBj");
}

Shown shownBy(const FrmKtHd& window)
{
    Shown shown;
    if (window.setupStage() >= ClassroomStep::SettingUp && window.classIndex() >= 0)
        shown.sheet = classBox(window)->itemText(window.classIndex());
    shown.column = window.scoreColumn();
    shown.persons = static_cast<int>(window.roster().size());
    shown.call = control<QLabel>(&window, "LabCz")->text();
    shown.points = control<QComboBox>(&window, "cmbFs0")->currentText();
    return shown;
}

// The row of the person with this number and name, as the sheet holds them.
int personRow(const BookCells& book, const QString& sheet, const QString& number,
              const QString& name)
{
    const auto holds = [&](int row) {
        return book.text(sheet, row, 1).trimmed() == number &&
               book.text(sheet, row, 2).trimmed() == name;
    };
    const double n = Val(number);
    if (n >= 1 && n == std::floor(n) && holds(int(n) + 2))
        return int(n) + 2;
    for (int row = 3; !book.text(sheet, row, 1).trimmed().isEmpty(); ++row)
        if (holds(row))
            return row;
    return 0;
}

const QRegularExpression& callPattern()
{
    static const QRegularExpression call(QStringLiteral("^第 \\S+ 组 \\S+ 号 ，(\\S+) (.+)$"));
    return call;
}

// A call line whose number and name are not one person of any class.
QString mixedCall(const BookCells& book, const QStringList& classes, const QString& call)
{
    const auto match = callPattern().match(call);
    if (!match.hasMatch())
        return {};
    for (const QString& sheet : classes) {
        if (personRow(book, sheet, match.captured(1), match.captured(2)) > 0)
            return {};
    }
    return QStringLiteral("the call line \"%1\" pairs a number with another person's name")
        .arg(call);
}

double numericValue(const std::optional<BookCell>& cell)
{
    if (!cell)
        return 0;
    return cell->number ? cell->value : Val(cell->text);
}

// 写 and 写入分数 (its key F4, the pop-up menu): the person asked for it;
// 重置 empties this lesson's column of the class.
void expectWrites(MonkeyWorld& world, FrmKtHd& window, BookCells& expected, const Shown& before,
                  const QString& today)
{
    const auto writeAsked = [&world, &expected, &before, today] {
        Monkey& monkey = world.monkey;
        const auto match = callPattern().match(before.call);
        if (before.sheet.isEmpty() || !match.hasMatch()) {
            monkey.log(
                QStringLiteral("写 asked with no call shown (\"%1\" in \"%2\"): nothing to write")
                    .arg(before.call, before.sheet));
            return;
        }
        const int row = personRow(expected, before.sheet, match.captured(1), match.captured(2));
        if (row == 0) {
            monkey.log(QStringLiteral("写 asked for \"%1\", who is not in %2: refused")
                           .arg(before.call, before.sheet));
            return;
        }
        ++world.figures[QStringLiteral("score writes")];
        if (expected.text(before.sheet, 2, before.column).trimmed().isEmpty())
            expected.setText(before.sheet, 2, before.column, today);
        const float sum =
            static_cast<float>(numericValue(expected.cell(before.sheet, row, before.column))) +
            static_cast<float>(Val(before.points));
        expected.setNumber(before.sheet, row, before.column, sum);
        world.expectationChanged();
        monkey.log(QStringLiteral("expect %1!R%2C%3 = %4")
                       .arg(before.sheet)
                       .arg(row)
                       .arg(before.column)
                       .arg(sum));
    };
    QObject::connect(control<QToolButton>(&window, "imgXie(1)"), &QToolButton::clicked, &window,
                     writeAsked);
    QObject::connect(window.MnJs(2), &QAction::triggered, &window, writeAsked);
    QObject::connect(window.MnMd(5), &QAction::triggered, &window, [&world, &expected, &before] {
        if (before.sheet.isEmpty() || before.persons < 1)
            return;
        ++world.figures[QStringLiteral("resets")];
        world.monkey.log(
            QStringLiteral("expect %1 column %2 emptied").arg(before.sheet).arg(before.column));
        for (int k = 1; k <= before.persons; ++k)
            expected.clear(before.sheet, k + 2, before.column);
        world.expectationChanged();
    });
}

// An edit made in the roll-book window, while Ctrl+Z may take it back.
struct ViewerEdit {
    QString sheet;
    int row = 0;
    int column = 0;
    std::optional<BookCell> before;
    QString after; // the cell as the expectation shows it after the edit
};

// The teacher corrects a score in the roll-book window.
bool editScoreInRollBook(MonkeyWorld& world, BookCells& expected, const QStringList& classes,
                         std::vector<ViewerEdit>& edits)
{
    Monkey& monkey = world.monkey;
    if (!MonkeyWorld::shownViewer() || classes.isEmpty())
        return false;
    const QString sheet = classes.at(monkey.below(int(classes.size())));
    const int persons = expected.runLength(sheet, 3, 1);
    // The dated columns and the first free one.
    int firstFree = 7;
    while (!expected.text(sheet, 2, firstFree).trimmed().isEmpty())
        ++firstFree;
    if (persons < 1)
        return false;
    const int row = 3 + monkey.below(persons);
    const int column = 7 + monkey.below(firstFree - 6);
    const QStringList typings = {QString(), QString::number(monkey.below(10)),
                                 QStringLiteral("%1.5").arg(monkey.below(4)), QStringLiteral("ab")};
    const auto edit =
        world.editCell(sheet, row, column, typings.at(monkey.below(int(typings.size()))));
    if (!edit)
        return false;
    ++world.figures[QStringLiteral("roll-book edits")];
    world.expectationChanged();
    if (edit->typed == edit->before)
        return true;
    ViewerEdit made{sheet, row, column, expected.cell(sheet, row, column), QString()};
    if (isNumeric(edit->typed))
        expected.setNumber(sheet, row, column, Val(edit->typed));
    else
        expected.setText(sheet, row, column, edit->typed);
    made.after = expected.text(sheet, row, column);
    edits.push_back(std::move(made));
    return true;
}

// Clicks and keys that open no cell: the roll book must stay as it was.
bool strayInputInRollBook(Monkey& monkey)
{
    RollBookViewer* viewer = MonkeyWorld::shownViewer();
    if (!viewer)
        return false;
    QApplication::setActiveWindow(viewer);
    QTableView* grid = viewer->grid();
    static const std::vector<Qt::Key> keys = {
        Qt::Key_Q,    Qt::Key_7,     Qt::Key_Space, Qt::Key_Delete, Qt::Key_Backspace,
        Qt::Key_Down, Qt::Key_Right, Qt::Key_Tab,   Qt::Key_Escape, Qt::Key_PageDown,
        Qt::Key_Home, Qt::Key_Minus, Qt::Key_Z};
    for (int i = 1 + monkey.below(4); i > 0; --i) {
        if (monkey.chance(0.3)) {
            const QPoint at(monkey.below(std::max(1, grid->viewport()->width())),
                            monkey.below(std::max(1, grid->viewport()->height())));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::keyClick(grid, keys[static_cast<size_t>(monkey.below(int(keys.size())))]);
        }
    }
    monkey.log(QStringLiteral("stray input in the roll-book window"));
    return true;
}

// Ctrl+Z in the roll-book window takes the last edit back, unless its cell
// was changed since (a score added to it, a reset).
bool takeBackInRollBook(MonkeyWorld& world, BookCells& expected, std::vector<ViewerEdit>& edits)
{
    RollBookViewer* viewer = MonkeyWorld::shownViewer();
    if (!viewer)
        return false;
    QApplication::setActiveWindow(viewer);
    viewer->grid()->setFocus();
    QTest::keyClick(viewer->grid(), Qt::Key_Z, Qt::ControlModifier);
    Monkey::flushPosted();
    if (edits.empty())
        return true;
    const ViewerEdit edit = edits.back();
    edits.pop_back();
    if (expected.text(edit.sheet, edit.row, edit.column) != edit.after)
        return true; // refused and told
    if (!edit.before)
        expected.clear(edit.sheet, edit.row, edit.column);
    else if (edit.before->number)
        expected.setNumber(edit.sheet, edit.row, edit.column, edit.before->value);
    else
        expected.setText(edit.sheet, edit.row, edit.column, edit.before->text);
    ++world.figures[QStringLiteral("roll-book take-backs")];
    world.expectationChanged();
    world.monkey.log(QStringLiteral("expect %1!R%2C%3 taken back")
                         .arg(edit.sheet)
                         .arg(edit.row)
                         .arg(edit.column));
    return true;
}

// The roll-book window, once the monkey opened it: edits, stray input and
// Ctrl+Z.
void addRollBookExtras(MonkeyWorld& world, const QPointer<FrmKtHd>& window, BookCells& expected,
                       const QStringList& classes, std::vector<ViewerEdit>& edits)
{
    world.monkey.addExtra(QStringLiteral("edit a score in the roll book"), 3, [&] {
        return window && window->setupStage() >= ClassroomStep::SettingUp &&
               editScoreInRollBook(world, expected, classes, edits);
    });
    world.monkey.addExtra(QStringLiteral("stray input in the roll book"), 3,
                          [&] { return window && strayInputInRollBook(world.monkey); });
    world.monkey.addExtra(QStringLiteral("take back a roll-book edit"), 2,
                          [&] { return window && takeBackInRollBook(world, expected, edits); });
}

// The window's timers tick while the monkey waits.
void addTimers(Monkey& monkey, const QPointer<FrmKtHd>& window)
{
    monkey.addTimer(
        QStringLiteral("rolling draw"), [&window] { return window && window->isRolling(); },
        [&window] { window->Timer1_Timer(); }, [&window] { return window->Timer1()->interval(); });
    monkey.addTimer(
        QStringLiteral("speech timer"),
        [&window] { return window && window->speechTimer().isRunning(); },
        [&window] { window->speechTimer().timJs_Timer(); }, [] { return 500; }, false);
}

} // namespace

MonkeyResult runClassroomMonkey(const MonkeyRun& run)
{
    MonkeyWorld world(run);
    world.label = QStringLiteral("classroom window (%1)").arg(QFileInfo(run.book).fileName());
    std::optional<BookCells> expected = world.readBook();
    if (!expected)
        return world.finish(false);
    world.messages.neverYes << QStringLiteral("您没有选择班级，想退出吗？");
    QPointer<FrmKtHd> window = new FrmKtHd(world.services(), world.navigator);
    window->show();
    QApplication::setActiveWindow(window);
    Monkey::flushPosted();
    const QString today = dayText(world.ts.clock.today());
    QStringList classes;
    for (int i = 0; i < classBox(*window)->count(); ++i)
        classes << classBox(*window)->itemText(i);

    Monkey& monkey = world.monkey;
    QMap<QString, int>& figures = world.figures;
    monkey.setWindows([&] { return window ? QList<QWidget*>{window.data()} : QList<QWidget*>{}; });
    monkey.leaveOut(&MonkeyWorld::returnsOrTakesBack);
    addTimers(monkey, window);

    Shown before;
    monkey.beforeStep([&](const MonkeyStep&) { before = shownBy(*window); });

    expectWrites(world, *window, *expected, before, today);
    std::vector<ViewerEdit> edits;
    addRollBookExtras(world, window, *expected, classes, edits);
    // The grouping columns (5, 6) of the persons are the grouping's own.
    const auto grouping = [](const BookCells::Key& key) {
        const auto& [sheet, row, column] = key;
        return sheet != QStringLiteral("抽奖品") && row >= 3 && (column == 5 || column == 6);
    };
    monkey.setCheck([&]() -> QString {
        if (world.ts.programEnd.calls > 0)
            return QStringLiteral("the program was ended");
        // Whatever was clicked, the call line never pairs one person's
        // number with another's name.
        if (const QString mixed =
                mixedCall(*expected, classes, control<QLabel>(window, "LabCz")->text());
            !mixed.isEmpty())
            return mixed;
        return world.strictCheck(*expected, grouping);
    });

    const bool ran = monkey.run(run.actions);
    figures[QStringLiteral("calls")] =
        static_cast<int>(world.ts.sound.played.count(QStringLiteral("sound\\type.wav")));
    // Every write is saved at once: the file holds them all now.
    if (ran) {
        if (const QString wrong = world.bookDifferences(*expected, grouping); !wrong.isEmpty())
            monkey.fail(wrong);
    }
    MonkeyResult result = world.finish(ran);
    delete window;
    return result;
}

} // namespace zelvano::testing
