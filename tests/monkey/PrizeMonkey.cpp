// The prize window under the monkey, on a copy of a real roll book. The run
// keeps its own expectation of the prize sheet: each draw that comes to
// rest awards the prize shown in the main display to the person shown in
// the person display, so F of that prize grows by one, the person joins G,
// and C and D of the person take the prize's level and name; 重置 empties
// F of every prize and C and D of every person; an edit in the roll-book
// window puts what was typed into the cell that was edited. At the end xlrd
// must read exactly that, every other cell unchanged.
#include "MonkeyWorld.h"

#include "prizedraw/FrmDjYh.h"
#include "shell/core/Numbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

namespace zelvano::testing
{

namespace
{

const QString kPrizeSheet = QStringLiteral("抽奖品");
constexpr int kFirstPrizeRow = 3;
constexpr int kFirstNameRow = 21;

double numericValue(const std::optional<BookCell>& cell)
{
    if (!cell)
        return 0;
    return cell->number ? cell->value : Val(cell->text);
}

int findRow(const BookCells& book, int first, const QString& a, int columnA, const QString& b,
            int columnB)
{
    for (int row = first; !book.text(kPrizeSheet, row, 1).trimmed().isEmpty(); ++row) {
        if (book.text(kPrizeSheet, row, columnA).trimmed() == a &&
            book.text(kPrizeSheet, row, columnB).trimmed() == b)
            return row;
    }
    return 0;
}

} // namespace

MonkeyResult runPrizeMonkey(const MonkeyRun& run)
{
    MonkeyWorld world(run);
    world.label = QStringLiteral("prize window mode %1 (%2)")
                      .arg(run.modeCode)
                      .arg(QFileInfo(run.book).fileName());
    std::optional<BookCells> expected = world.readBook();
    if (!expected)
        return world.finish(false);
    QPointer<FrmDjYh> window = new FrmDjYh(world.services(), world.navigator);
    window->show();
    QApplication::setActiveWindow(window);
    Monkey::flushPosted();

    Monkey& monkey = world.monkey;
    QMap<QString, int>& figures = world.figures;
    monkey.setWindows([&] { return window ? QList<QWidget*>{window.data()} : QList<QWidget*>{}; });
    monkey.leaveOut(&MonkeyWorld::returnsToMenu);

    // A draw that comes to rest is an award of what the two displays show.
    const auto awarded = [&] {
        ++figures[QStringLiteral("awards")];
        world.expectationChanged();
        const QString shownPrize = window->lblXm()->text().section(QStringLiteral("\r\n"), 1);
        const QString level = shownPrize.section(QStringLiteral(" : "), 0, 0);
        const QString name = shownPrize.section(QStringLiteral(" : "), 1);
        const int prizeRow = findRow(*expected, kFirstPrizeRow, level, 2, name, 3);
        if (prizeRow == 0) {
            monkey.fail(QStringLiteral("a draw ended on \"%1\", which is no prize of the sheet")
                            .arg(shownPrize));
            return;
        }
        expected->setNumber(kPrizeSheet, prizeRow, 6,
                            toInt16(numericValue(expected->cell(kPrizeSheet, prizeRow, 6))) + 1);
        const QString display = window->lblXm2()->text();
        const QString number = display.section(QStringLiteral("\r\n"), 0, 0);
        const QString person = display.section(QStringLiteral("\r\n"), 1);
        if (window->chkMd()->isChecked() || display.isEmpty())
            return;
        const int personRow = findRow(*expected, kFirstNameRow, number, 1, person, 2);
        if (personRow == 0) {
            monkey.fail(
                QStringLiteral("a prize went to \"%1\", who is not on the sheet")
                    .arg(QString(display).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
            return;
        }
        const QString winners = expected->text(kPrizeSheet, prizeRow, 7).trimmed();
        expected->setText(kPrizeSheet, prizeRow, 7,
                          winners.isEmpty() ? display : winners + QLatin1Char(',') + display);
        expected->setText(kPrizeSheet, personRow, 3, expected->text(kPrizeSheet, prizeRow, 2));
        expected->setText(kPrizeSheet, personRow, 4, expected->text(kPrizeSheet, prizeRow, 3));
    };
    // Rolls end on the monkey's ticks, and now and then on a tick of the
    // real timer while a menu of Qt's own waits in its event loop: every
    // end is seen, right after the tick or the input.
    bool rolling = false;
    const auto watchRoll = [&] {
        const bool now = window && window->isRolling();
        if (rolling && !now && window)
            awarded();
        rolling = now;
    };
    monkey.addTimer(
        QStringLiteral("rolling draw"), [&] { return window && window->isRolling(); },
        [&] {
            window->Timer1_Timer();
            watchRoll();
        },
        [] { return 100; });
    monkey.afterStep([&](const MonkeyStep&) { watchRoll(); });

    // 重置 (its key F6 and the panel's button), refused while a draw rolls.
    struct Shown {
        bool rolling = false;
        int prizes = 0;
        int people = 0;
    } before;
    monkey.beforeStep([&](const MonkeyStep&) {
        before = {window->isRolling(), static_cast<int>(window->drawSession().sheet().prizes.size()),
                  static_cast<int>(window->drawSession().sheet().people.size())};
    });
    const auto resetAsked = [&] {
        if (before.rolling)
            return;
        ++figures[QStringLiteral("resets")];
        world.expectationChanged();
        for (int t = 0; t < before.prizes; ++t)
            expected->clear(kPrizeSheet, kFirstPrizeRow + t, 6);
        for (int v = 0; v < before.people; ++v) {
            expected->clear(kPrizeSheet, kFirstNameRow + v, 3);
            expected->clear(kPrizeSheet, kFirstNameRow + v, 4);
        }
    };
    QObject::connect(window->MnSz(7), &QAction::triggered, window, resetAsked);
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->toolTip() == QStringLiteral("重置"))
            QObject::connect(button, &QToolButton::clicked, window, resetAsked);

    // The host corrects the sheet in the roll-book window: units used, or
    // what a person won.
    monkey.addExtra(QStringLiteral("edit an award in the roll book"), 3, [&] {
        const int prizes = expected->runLength(kPrizeSheet, kFirstPrizeRow, 1);
        const int people = expected->runLength(kPrizeSheet, kFirstNameRow, 1);
        if (!MonkeyWorld::shownViewer() || prizes < 1 || people < 1)
            return false;
        int row = 0;
        int column = 0;
        QString typed;
        if (monkey.chance(0.4)) {
            row = kFirstPrizeRow + monkey.below(prizes);
            column = 6;
            typed = monkey.chance(0.3) ? QString() : QString::number(monkey.below(4));
        } else {
            row = kFirstNameRow + monkey.below(people);
            column = 3 + monkey.below(2);
            typed = monkey.chance(0.5) ? QString() : QStringLiteral("ab");
        }
        const auto edit = world.editCell(kPrizeSheet, row, column, typed);
        if (!edit)
            return false;
        ++figures[QStringLiteral("roll-book edits")];
        world.expectationChanged();
        if (edit->typed == edit->before)
            return true;
        if (isNumeric(edit->typed))
            expected->setNumber(kPrizeSheet, row, column, Val(edit->typed));
        else
            expected->setText(kPrizeSheet, row, column, edit->typed);
        return true;
    });
    monkey.setCheck([&]() -> QString {
        if (world.ts.programEnd.calls > 0)
            return QStringLiteral("the program was ended");
        return world.strictCheck(*expected);
    });

    const bool ran = monkey.run(run.actions);
    if (ran) {
        if (const auto actual = world.readBook()) {
            const QStringList wrong = expected->differences(*actual);
            if (!wrong.isEmpty())
                monkey.fail(QStringLiteral("the roll book differs from the draws:\n  ") +
                            wrong.join(QStringLiteral("\n  ")));
        }
    }
    MonkeyResult result = world.finish(ran);
    delete window;
    return result;
}

} // namespace zelvano::testing
