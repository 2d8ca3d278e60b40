#pragma once

// A monkey: thousands of random inputs a person could give, sent to the
// shown widgets of the windows under test, all drawn from one seed so a
// failure can be replayed. Mouse clicks and presses land on the widget
// under a random point of a visible, enabled widget (as the window system
// would route them), keys go to the focused widget, menu items are opened
// from the menu bar or triggered, pop-up menus and combo lists that the
// input opened are answered at once. Time passes only when the monkey lets
// it: the fake clock is advanced and the windows' timers are ticked by hand,
// so nothing depends on real waiting.

#include "Fakes.h"

#include "shell/core/ColourPicker.h"
#include "shell/core/MessageService.h"
#include "shell/core/RandomSource.h"

#include <QElapsedTimer>
#include <QKeySequence>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace zelvano::testing
{

// The seed of a run: ZELVANO_MONKEY_SEED when set (to replay a failure),
// otherwise a fresh one from the operating system.
std::uint64_t monkeySeed();
// The number of actions: ZELVANO_MONKEY_ACTIONS when set, else `fallback`.
int monkeyActions(int fallback);

// The draw's random source, driven from the monkey's seed.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_generator(seed) {}
    int pick(int count) override;
    void reseed() override { ++reseeds; }
    int picks = 0;
    int reseeds = 0;

private:
    std::mt19937_64 m_generator;
};

// Message boxes answered at random, except the questions whose Yes would
// end the run (always answered No). Every box shown is kept.
class MonkeyMessages final : public MessageService
{
public:
    explicit MonkeyMessages(std::uint64_t seed) : m_generator(seed) {}
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;

    QStringList neverYes;
    std::vector<ShownMessage> shown;
    // Texts shown since the last step began: one input must not raise the
    // same box twice.
    QStringList thisStep;
    // Whether the last box was answered yes (OK, 是, 重试).
    bool lastYes = false;
    // Told of every box, for the replay log.
    std::function<void(const QString&)> onShow;

private:
    std::mt19937_64 m_generator;
};

// The colour dialog: a random colour or cancel.
class MonkeyColours final : public ColourPicker
{
public:
    explicit MonkeyColours(std::uint64_t seed) : m_generator(seed) {}
    std::optional<int> pickColour(int initialColour) override;
    int asked = 0;

private:
    std::mt19937_64 m_generator;
};

// One thing the monkey did, for the test's bookkeeping and the replay log.
struct MonkeyStep {
    enum class Kind { Click, Press, DoubleClick, Key, MenuBar, Trigger, PopUp, Time, Extra };
    Kind kind = Kind::Click;
    QPointer<QWidget> widget; // the receiver of the input
    QPointer<QAction> action; // the item triggered or chosen
    Qt::MouseButton button = Qt::NoButton;
    QPoint pos;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString name;            // of a time or extra step
    QPointer<QWidget> focus; // the focused widget when the input began
    QString describe() const;
};

class PopUpGuard;

class Monkey
{
public:
    explicit Monkey(std::uint64_t seed);
    ~Monkey();
    Monkey(const Monkey&) = delete;
    Monkey& operator=(const Monkey&) = delete;

    std::uint64_t seed() const { return m_seed; }
    // The monkey's own random numbers, for tests' extra actions.
    int below(int n);
    bool chance(double p);

    // The top-level windows the monkey acts on (the window under test).
    void setWindows(std::function<QList<QWidget*>()> windows) { m_windows = std::move(windows); }
    // Items never chosen, neither from a menu nor by their shortcut (the
    // return to the mode menu, for example).
    void leaveOut(std::function<bool(const QAction*)> leftOut) { m_leftOut = std::move(leftOut); }
    // A timer of the windows: while `running`, each tick advances the fake
    // clock by `msPerTick()` and calls `tick`. A timer that `rests` must
    // have stopped by itself when the run ends (a rolling draw); a speech
    // timer counting up need not.
    void addTimer(const QString& name, std::function<bool()> running, std::function<void()> tick,
                  std::function<int()> msPerTick, bool rests = true);
    void setClock(FakeClock* clock) { m_clock = clock; }
    // An input sequence of the test's own (editing a cell in the roll-book
    // window): returns false when it could not act now.
    void addExtra(const QString& name, int weight, std::function<bool()> act);
    // Before and after every step; `check` returns a failure text or empty.
    void beforeStep(std::function<void(const MonkeyStep&)> hook) { m_before = std::move(hook); }
    void afterStep(std::function<void(const MonkeyStep&)> hook) { m_after = std::move(hook); }
    void setCheck(std::function<QString()> check) { m_check = std::move(check); }
    // Tells whether one input raising the same message twice is a fault the
    // test already knows (and counts), rather than a failure.
    void knownDuplicate(std::function<bool(const QString&, const MonkeyStep&)> known)
    {
        m_knownDuplicate = std::move(known);
    }
    void setMessages(MonkeyMessages* messages)
    {
        m_messages = messages;
        m_messages->onShow = [this](const QString& text) {
            note(QStringLiteral("  message: ") +
                 QString(text).replace(QLatin1String("\r\n"), QLatin1String(" / ")));
        };
    }

    // Runs `actions` steps and lets every running timer come to rest. False
    // on the first failure (failure() says which, with the seed and the
    // last steps).
    bool run(int actions);
    QString failure() const { return m_failure; }

    // Figures of the run.
    int actions() const { return m_actions; }
    double seconds() const { return m_seconds; }
    const QMap<QString, int>& counts() const { return m_counts; }
    // Qt's own warnings met during the run, each once.
    const QStringList& warnings() const { return m_warnings; }
    QString summary() const;

    // A failure found by the test's own hooks, with the replay details.
    void fail(const QString& why);
    // A line for the replay log (what the test expects from a step).
    void log(const QString& line) { note(QStringLiteral("  ") + line); }

    // Sends Qt's posted events (layouts, queued calls, deferred deletes)
    // without running timers.
    static void flushPosted();

private:
    struct Timer {
        QString name;
        std::function<bool()> running;
        std::function<void()> tick;
        std::function<int()> msPerTick;
        bool rests;
    };
    struct Extra {
        QString name;
        int weight;
        std::function<bool()> act;
    };

    bool step();
    QWidget* pickWindow();
    bool mouseStep(QWidget* window, MonkeyStep::Kind kind);
    bool keyStep(QWidget* window);
    bool menuBarStep(QWidget* window);
    bool triggerStep(QWidget* window);
    bool timeStep();
    bool extraStep();
    void answerPopUps();
    void answerOnePopUp();
    friend class PopUpGuard;
    void answerMenu(QMenu* menu);
    void answerList(QWidget* popup);
    bool runTimers(int maxTicks);
    bool settle();
    void perform(MonkeyStep step, const std::function<void()>& input);
    bool checkAfter(const MonkeyStep& step);
    bool isLeftOut(const QAction* action) const;
    QList<QAction*> reachableItems(QWidget* window) const;
    std::vector<QKeySequence> leftOutKeys(QWidget* window) const;
    void note(const QString& line);

    std::uint64_t m_seed;
    std::mt19937_64 m_generator;
    std::function<QList<QWidget*>()> m_windows;
    std::function<bool(const QAction*)> m_leftOut;
    std::vector<Timer> m_timers;
    std::vector<Extra> m_extras;
    FakeClock* m_clock = nullptr;
    MonkeyMessages* m_messages = nullptr;
    std::function<void(const MonkeyStep&)> m_before;
    std::function<void(const MonkeyStep&)> m_after;
    std::function<QString()> m_check;
    std::function<bool(const QString&, const MonkeyStep&)> m_knownDuplicate;

    int m_actions = 0;
    double m_seconds = 0;
    QMap<QString, int> m_counts;
    std::deque<QString> m_trail; // the last steps, for the failure report
    QStringList m_warnings;
    bool m_trace = false;
    QString m_failure;
};

} // namespace zelvano::testing
