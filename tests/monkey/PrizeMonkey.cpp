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

#include <QAction>
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

// One run: the window, the expectation of the sheet and what the monkey
// watches.
class PrizeMonkeyRun
{
public:
    explicit PrizeMonkeyRun(const MonkeyRun& run);
    MonkeyResult run(const MonkeyRun& run);

private:
    QString shown(const char* label) const
    {
        return m_window->findChild<QLabel*>(QLatin1String(label))->text();
    }
    void awarded();
    void watchRolls();
    void watchResets();
    void resetAsked();
    bool editAward();
    void compareBook(bool ran);

    MonkeyWorld m_world;
    Monkey& m_monkey;
    QMap<QString, int>& m_figures;
    std::optional<BookCells> m_expected;
    QPointer<FrmDjYh> m_window;
    bool m_rolling = false;
    // What the window held before the step: a reset clears what it had read.
    struct Shown {
        bool rolling = false;
        int prizes = 0;
        int people = 0;
    } m_before;
};

PrizeMonkeyRun::PrizeMonkeyRun(const MonkeyRun& run)
    : m_world(run), m_monkey(m_world.monkey), m_figures(m_world.figures)
{
    m_world.label = QStringLiteral("prize window mode %1 (%2)")
                        .arg(modeIndex(run.mode))
                        .arg(QFileInfo(run.book).fileName());
}

// A draw that comes to rest is an award of what the two displays show.
void PrizeMonkeyRun::awarded()
{
    ++m_figures[QStringLiteral("awards")];
    m_world.expectationChanged();
    const QString shownPrize = shown("lblXm").section(QStringLiteral("\r\n"), 1);
    const QString level = shownPrize.section(QStringLiteral(" : "), 0, 0);
    const QString name = shownPrize.section(QStringLiteral(" : "), 1);
    const int prizeRow = findRow(*m_expected, kFirstPrizeRow, level, 2, name, 3);
    if (prizeRow == 0) {
        m_monkey.fail(QStringLiteral("a draw ended on \"%1\", which is no prize of the sheet")
                          .arg(shownPrize));
        return;
    }
    m_expected->setNumber(kPrizeSheet, prizeRow, 6,
                          toInt16(numericValue(m_expected->cell(kPrizeSheet, prizeRow, 6))) + 1);
    const QString display = shown("lblXm2");
    const QString number = display.section(QStringLiteral("\r\n"), 0, 0);
    const QString person = display.section(QStringLiteral("\r\n"), 1);
    if (m_window->findChild<QCheckBox*>(QStringLiteral("chkMd"))->isChecked() || display.isEmpty())
        return;
    const int personRow = findRow(*m_expected, kFirstNameRow, number, 1, person, 2);
    if (personRow == 0) {
        m_monkey.fail(
            QStringLiteral("a prize went to \"%1\", who is not on the sheet")
                .arg(QString(display).replace(QStringLiteral("\r\n"), QStringLiteral(" "))));
        return;
    }
    const QString winners = m_expected->text(kPrizeSheet, prizeRow, 7).trimmed();
    m_expected->setText(kPrizeSheet, prizeRow, 7,
                        winners.isEmpty() ? display : winners + QLatin1Char(',') + display);
    m_expected->setText(kPrizeSheet, personRow, 3, m_expected->text(kPrizeSheet, prizeRow, 2));
    m_expected->setText(kPrizeSheet, personRow, 4, m_expected->text(kPrizeSheet, prizeRow, 3));
}

// Rolls end on the monkey's ticks, and now and then on a tick of the real
// timer while a menu of Qt's own waits in its event loop: every end is
// seen, right after the tick or the input.
void PrizeMonkeyRun::watchRolls()
{
    const auto watchRoll = [this] {
        const bool now = m_window && m_window->isRolling();
        if (m_rolling && !now && m_window)
            awarded();
        m_rolling = now;
    };
    m_monkey.addTimer(
        QStringLiteral("rolling draw"), [this] { return m_window && m_window->isRolling(); },
        [this, watchRoll] {
            m_window->Timer1_Timer();
            watchRoll();
        },
        [] { return 100; });
    m_monkey.afterStep([watchRoll](const MonkeyStep&) { watchRoll(); });
}

// 重置 (its key F6 and the panel's button), refused while a draw rolls.
void PrizeMonkeyRun::watchResets()
{
    m_monkey.beforeStep([this](const MonkeyStep&) {
        const PrizeSheetData& sheet = m_window->drawSession().sheet();
        m_before = {m_window->isRolling(), static_cast<int>(sheet.prizes.size()),
                    static_cast<int>(sheet.people.size())};
    });
    const auto asked = [this] { resetAsked(); };
    QObject::connect(m_window->findChild<QAction*>(QStringLiteral("MnSz_7")), &QAction::triggered,
                     m_window, asked);
    for (QToolButton* button : m_window->findChildren<QToolButton*>())
        if (button->toolTip() == QStringLiteral("重置"))
            QObject::connect(button, &QToolButton::clicked, m_window, asked);
}

void PrizeMonkeyRun::resetAsked()
{
    if (m_before.rolling)
        return;
    // The host is asked first; 否 leaves every award standing.
    const QString question = QStringLiteral("确定清除全部获奖记录吗？");
    if (m_world.messages.thisStep.contains(question) &&
        (m_world.messages.shown.back().text != question || !m_world.messages.lastYes))
        return;
    ++m_figures[QStringLiteral("resets")];
    m_world.expectationChanged();
    for (int t = 0; t < m_before.prizes; ++t)
        m_expected->clear(kPrizeSheet, kFirstPrizeRow + t, 6);
    for (int v = 0; v < m_before.people; ++v) {
        m_expected->clear(kPrizeSheet, kFirstNameRow + v, 3);
        m_expected->clear(kPrizeSheet, kFirstNameRow + v, 4);
    }
}

// The host corrects the sheet in the roll-book window: units used, or what
// a person won.
bool PrizeMonkeyRun::editAward()
{
    const int prizes = m_expected->runLength(kPrizeSheet, kFirstPrizeRow, 1);
    const int people = m_expected->runLength(kPrizeSheet, kFirstNameRow, 1);
    if (!MonkeyWorld::shownViewer() || prizes < 1 || people < 1)
        return false;
    int row = 0;
    int column = 0;
    QString typed;
    if (m_monkey.chance(0.4)) {
        row = kFirstPrizeRow + m_monkey.below(prizes);
        column = 6;
        typed = m_monkey.chance(0.3) ? QString() : QString::number(m_monkey.below(4));
    } else {
        row = kFirstNameRow + m_monkey.below(people);
        column = 3 + m_monkey.below(2);
        typed = m_monkey.chance(0.5) ? QString() : QStringLiteral("ab");
    }
    const auto edit = m_world.editCell(kPrizeSheet, row, column, typed);
    if (!edit)
        return false;
    ++m_figures[QStringLiteral("roll-book edits")];
    m_world.expectationChanged();
    if (edit->typed == edit->before)
        return true;
    if (isNumeric(edit->typed))
        m_expected->setNumber(kPrizeSheet, row, column, Val(edit->typed));
    else
        m_expected->setText(kPrizeSheet, row, column, edit->typed);
    return true;
}

void PrizeMonkeyRun::compareBook(bool ran)
{
    if (!ran)
        return;
    if (const auto actual = m_world.readBook()) {
        const QStringList wrong = m_expected->differences(*actual);
        if (!wrong.isEmpty())
            m_monkey.fail(QStringLiteral("the roll book differs from the draws:\n  ") +
                          wrong.join(QStringLiteral("\n  ")));
    }
}

MonkeyResult PrizeMonkeyRun::run(const MonkeyRun& run)
{
    m_expected = m_world.readBook();
    if (!m_expected)
        return m_world.finish(false);
    m_window = new FrmDjYh(m_world.services(), m_world.navigator, run.mode);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    Monkey::flushPosted();

    m_monkey.setWindows(
        [this] { return m_window ? QList<QWidget*>{m_window.data()} : QList<QWidget*>{}; });
    m_monkey.leaveOut(&MonkeyWorld::returnsOrTakesBack);
    watchRolls();
    watchResets();
    m_monkey.addExtra(QStringLiteral("edit an award in the roll book"), 3,
                      [this] { return editAward(); });
    m_monkey.setCheck([this]() -> QString {
        if (m_world.ts.programEnd.calls > 0)
            return QStringLiteral("the program was ended");
        return m_world.strictCheck(*m_expected);
    });

    const bool ran = m_monkey.run(run.actions);
    compareBook(ran);
    MonkeyResult result = m_world.finish(ran);
    delete m_window;
    return result;
}

} // namespace

MonkeyResult runPrizeMonkey(const MonkeyRun& run)
{
    PrizeMonkeyRun prizeRun(run);
    return prizeRun.run(run);
}

} // namespace zelvano::testing
