#include "Monkey.h"

#include "RealInput.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace zelvano::testing
{

namespace
{

// Mouse and key events that a label or a panel lets pass are normal for a
// monkey; Qt Test warns about each. Other warnings are passed on once.
QtMessageHandler previousHandler = nullptr;
QSet<QString>* warningsSeen = nullptr;

void filterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("not accepted by receiving widget")) ||
        text.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (warningsSeen) {
        if (warningsSeen->contains(text))
            return;
        warningsSeen->insert(text);
    }
    if (previousHandler)
        previousHandler(type, context, text);
}

QString widgetName(const QWidget* widget)
{
    if (!widget)
        return QStringLiteral("(gone)");
    QString name = widget->objectName();
    if (name.isEmpty())
        name = widget->accessibleName();
    if (name.isEmpty())
        name = widget->toolTip();
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(widget->metaObject()->className()), name);
}

QString actionName(const QAction* action)
{
    if (!action)
        return QStringLiteral("(gone)");
    return QStringLiteral("\"%1\"").arg(action->text());
}

const char* kindName(MonkeyStep::Kind kind)
{
    switch (kind) {
    case MonkeyStep::Kind::Click:
        return "click";
    case MonkeyStep::Kind::Press:
        return "press";
    case MonkeyStep::Kind::DoubleClick:
        return "double click";
    case MonkeyStep::Kind::Key:
        return "key";
    case MonkeyStep::Kind::MenuBar:
        return "menu bar";
    case MonkeyStep::Kind::Trigger:
        return "menu item";
    case MonkeyStep::Kind::PopUp:
        return "pop-up answer";
    case MonkeyStep::Kind::Time:
        return "time";
    case MonkeyStep::Kind::Extra:
        return "extra";
    }
    return "?";
}

} // namespace

// Some of Qt's own widgets (a scroll bar's context menu) open their menu with
// exec(), which waits in an event loop of its own. While an input is being
// delivered, every menu shown is answered from inside that loop as soon as
// it runs; a menu opened with popup() is left to answerPopUps, which runs
// once the input returns. Real timers stay silent in such a loop: time
// passes only by the monkey's ticks, so a seed replays the same run.
class PopUpGuard : public QObject
{
public:
    explicit PopUpGuard(Monkey& monkey) : m_monkey(monkey) { qApp->installEventFilter(this); }
    ~PopUpGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            return true;
        if (event->type() == QEvent::Show && qobject_cast<QMenu*>(watched))
            answerLater();
        return false;
    }

private:
    void answerLater()
    {
        QPointer<PopUpGuard> self(this);
        QTimer::singleShot(0, qApp, [self] {
            if (!self || !QApplication::activePopupWidget())
                return;
            if (++self->m_answers > 40) {
                while (QWidget* popup = QApplication::activePopupWidget())
                    popup->close();
                return;
            }
            self->m_monkey.answerOnePopUp();
            if (self && QApplication::activePopupWidget())
                self->answerLater();
        });
    }

    Monkey& m_monkey;
    int m_answers = 0;
};

std::uint64_t monkeySeed()
{
    const QByteArray given = qgetenv("ZELVANO_MONKEY_SEED");
    bool ok = false;
    const std::uint64_t seed = given.toULongLong(&ok);
    if (ok)
        return seed;
    return QRandomGenerator::system()->generate64() % 1000000000000ULL;
}

int monkeyActions(int fallback)
{
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("ZELVANO_MONKEY_ACTIONS", &ok);
    return ok && given > 0 ? given : fallback;
}

int SeededRandom::pick(int count)
{
    ++picks;
    if (count < 1)
        return 1;
    return std::uniform_int_distribution<int>(1, count)(m_generator);
}

MessageAnswer MonkeyMessages::show(const QString& text, const QString& title, MessageIcon icon,
                                   MessageButtons buttons)
{
    shown.push_back({text, title, icon, buttons});
    thisStep << text;
    if (onShow)
        onShow(text);
    // A real box takes the window's activation while it is up: the focused
    // box sees the focus leave, and come back when the box is answered.
    QPointer<QWidget> focused = QApplication::focusWidget();
    loseFocusToMessageBox();
    if (focused && focused == QApplication::focusWidget() && focused->isVisible()) {
        QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(focused, &in);
    }
    const bool yes = !neverYes.contains(text) && (m_generator() % 2 == 0);
    lastYes = yes || buttons == MessageButtons::Ok;
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return yes ? MessageAnswer::Ok : MessageAnswer::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return yes ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::RetryCancel:
    case MessageButtons::RetryCloseCancel: // never asks a real program to close
        return yes ? MessageAnswer::Retry : MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

std::optional<int> MonkeyColours::pickColour(int)
{
    ++asked;
    if (m_generator() % 3 == 0)
        return std::nullopt;
    return static_cast<int>(m_generator() % 0x1000000);
}

QString MonkeyStep::describe() const
{
    QString text = QLatin1String(kindName(kind));
    switch (kind) {
    case Kind::Click:
    case Kind::Press:
    case Kind::DoubleClick:
        text += QStringLiteral(" %1 at %2,%3 on %4")
                    .arg(button == Qt::LeftButton    ? QStringLiteral("left")
                         : button == Qt::RightButton ? QStringLiteral("right")
                                                     : QStringLiteral("middle"))
                    .arg(pos.x())
                    .arg(pos.y())
                    .arg(widgetName(widget));
        break;
    case Kind::Key:
        text += QStringLiteral(" %1 to %2")
                    .arg(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))).toString(),
                         widgetName(widget));
        break;
    case Kind::MenuBar:
    case Kind::Trigger:
    case Kind::PopUp:
        text += QLatin1Char(' ') + (action ? actionName(action) : QStringLiteral("Escape"));
        if (widget)
            text += QStringLiteral(" in ") + widgetName(widget);
        break;
    case Kind::Time:
    case Kind::Extra:
        text += QLatin1Char(' ') + name;
        break;
    }
    return text;
}

Monkey::Monkey(std::uint64_t seed) : m_seed(seed), m_generator(seed)
{
    m_trace = qEnvironmentVariableIsSet("ZELVANO_MONKEY_TRACE");
    // Combo lists and menus open at once, without an animation timer.
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
}

Monkey::~Monkey() = default;

int Monkey::below(int n)
{
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(m_generator);
}

bool Monkey::chance(double p)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_generator) < p;
}

void Monkey::addTimer(const QString& name, std::function<bool()> running,
                      std::function<void()> tick, std::function<int()> msPerTick, bool rests)
{
    m_timers.push_back({name, std::move(running), std::move(tick), std::move(msPerTick), rests});
}

void Monkey::addExtra(const QString& name, int weight, std::function<bool()> act)
{
    m_extras.push_back({name, weight, std::move(act)});
}

void Monkey::flushPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Monkey::note(const QString& line)
{
    m_trail.push_back(QStringLiteral("%1: %2").arg(m_actions).arg(line));
    if (m_trail.size() > 25)
        m_trail.pop_front();
    if (m_trace)
        std::fprintf(stderr, "monkey %d: %s\n", m_actions, qPrintable(line));
}

void Monkey::fail(const QString& why)
{
    if (!m_failure.isEmpty())
        return;
    QStringList trail(m_trail.begin(), m_trail.end());
    m_failure = QStringLiteral("monkey failed at action %1 (seed %2; replay with "
                               "ZELVANO_MONKEY_SEED=%2 ZELVANO_MONKEY_ACTIONS=%3): %4\n"
                               "last steps:\n  %5")
                    .arg(m_actions)
                    .arg(m_seed)
                    .arg(m_counts.value(QStringLiteral("planned")))
                    .arg(why, trail.join(QStringLiteral("\n  ")));
}

bool Monkey::isLeftOut(const QAction* action) const
{
    return m_leftOut && m_leftOut(action);
}

bool Monkey::run(int actions)
{
    QElapsedTimer clock;
    clock.start();
    QSet<QString> seen;
    warningsSeen = &seen;
    previousHandler = qInstallMessageHandler(filterMessages);
    m_counts[QStringLiteral("planned")] = actions;
    flushPosted();
    bool ok = true;
    for (int i = 0; i < actions && ok; ++i) {
        ++m_actions;
        ok = step();
    }
    ok = ok && settle();
    qInstallMessageHandler(previousHandler);
    warningsSeen = nullptr;
    m_warnings = QStringList(seen.begin(), seen.end());
    m_warnings.sort();
    m_seconds = clock.nsecsElapsed() / 1e9;
    return ok && m_failure.isEmpty();
}

QString Monkey::summary() const
{
    QStringList parts;
    for (auto it = m_counts.begin(); it != m_counts.end(); ++it) {
        if (it.key() != QLatin1String("planned"))
            parts << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    }
    return QStringLiteral("seed %1, %2 actions in %3 s (%4)")
        .arg(m_seed)
        .arg(m_actions)
        .arg(m_seconds, 0, 'f', 2)
        .arg(parts.join(QStringLiteral(", ")));
}

QWidget* Monkey::pickWindow()
{
    QList<QWidget*> windows;
    for (QWidget* window : m_windows())
        if (window && window->isVisible())
            windows << window;
    if (windows.isEmpty())
        return nullptr;
    QWidget* window = windows.at(below(int(windows.size())));
    // A person clicks into a window before typing into it.
    if (QApplication::activeWindow() != window)
        QApplication::setActiveWindow(window);
    return window;
}

bool Monkey::step()
{
    QWidget* window = pickWindow();
    if (!window) {
        fail(QStringLiteral("the window under test is gone"));
        return false;
    }
    int extraWeight = 0;
    for (const Extra& extra : m_extras)
        extraWeight += extra.weight;
    // Weights: mostly clicks and keys, some menu use, time passing often
    // enough that draws finish and timers run out.
    const int weights[] = {34, 8, 3, 26, 5, 8, 12, extraWeight};
    int total = 0;
    for (int w : weights)
        total += w;
    int roll = below(total);
    int kind = 0;
    while (roll >= weights[kind]) {
        roll -= weights[kind];
        ++kind;
    }
    bool done = false;
    switch (kind) {
    case 0:
        done = mouseStep(window, MonkeyStep::Kind::Click);
        break;
    case 1:
        done = mouseStep(window, MonkeyStep::Kind::Press);
        break;
    case 2:
        done = mouseStep(window, MonkeyStep::Kind::DoubleClick);
        break;
    case 3:
        done = keyStep(window);
        break;
    case 4:
        done = menuBarStep(window);
        break;
    case 5:
        done = triggerStep(window);
        break;
    case 6:
        done = timeStep();
        break;
    default:
        done = extraStep();
        break;
    }
    if (!done && m_failure.isEmpty())
        mouseStep(window, MonkeyStep::Kind::Click);
    if (m_failure.isEmpty())
        answerPopUps();
    return m_failure.isEmpty();
}

void Monkey::perform(MonkeyStep step, const std::function<void()>& input)
{
    step.focus = QApplication::focusWidget();
    if (m_messages)
        m_messages->thisStep.clear();
    ++m_counts[QLatin1String(kindName(step.kind))];
    note(step.describe());
    if (m_before)
        m_before(step);
    {
        PopUpGuard guard(*this);
        input();
    }
    flushPosted();
    if (m_after)
        m_after(step);
    checkAfter(step);
}

bool Monkey::checkAfter(const MonkeyStep& step)
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        fail(QStringLiteral("a modal window was left open: %1 \"%2\"")
                 .arg(QLatin1String(modal->metaObject()->className()), modal->windowTitle()));
        return false;
    }
    // A double click is two clicks: the same answer twice is right.
    if (m_messages && step.kind != MonkeyStep::Kind::DoubleClick) {
        const QStringList& texts = m_messages->thisStep;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (texts.indexOf(texts[i], i + 1) > 0 &&
                !(m_knownDuplicate && m_knownDuplicate(texts[i], step))) {
                fail(QStringLiteral("one input raised the same message twice: ") + texts[i]);
                return false;
            }
        }
    }
    bool alive = false;
    for (QWidget* window : m_windows())
        alive = alive || (window && window->isVisible());
    if (!alive) {
        fail(QStringLiteral("the window under test is gone"));
        return false;
    }
    if (m_check) {
        const QString why = m_check();
        if (!why.isEmpty()) {
            fail(why);
            return false;
        }
    }
    return true;
}

bool Monkey::runTimers(int maxTicks)
{
    bool any = false;
    for (const Timer& timer : m_timers) {
        for (int tick = 0; tick < maxTicks && timer.running(); ++tick) {
            if (m_clock) {
                const int ms = timer.msPerTick ? timer.msPerTick() : 0;
                m_clock->nowMs += ms;
                m_clock->secondsOfDay += ms / 1000.0;
            }
            timer.tick();
            any = true;
            ++m_counts[QStringLiteral("ticks")];
        }
    }
    return any;
}

bool Monkey::timeStep()
{
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::Time;
    const int pause = below(4000);
    const int ticks = 1 + below(40);
    step.name = QStringLiteral("%1 ms, up to %2 ticks").arg(pause).arg(ticks);
    perform(step, [&] {
        if (m_clock) {
            m_clock->nowMs += pause;
            m_clock->secondsOfDay += pause / 1000.0;
        }
        runTimers(ticks);
    });
    return true;
}

bool Monkey::extraStep()
{
    int total = 0;
    for (const Extra& extra : m_extras)
        total += extra.weight;
    if (total <= 0)
        return false;
    int roll = below(total);
    for (const Extra& extra : m_extras) {
        if (roll >= extra.weight) {
            roll -= extra.weight;
            continue;
        }
        MonkeyStep step;
        step.kind = MonkeyStep::Kind::Extra;
        step.name = extra.name;
        bool acted = false;
        perform(step, [&] { acted = extra.act(); });
        return acted;
    }
    return false;
}

bool Monkey::settle()
{
    // Whatever still rolls or counts comes to rest before the roll book is
    // checked.
    MonkeyStep step;
    step.kind = MonkeyStep::Kind::Time;
    step.name = QStringLiteral("settle");
    perform(step, [&] {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        runTimers(400);
    });
    for (const Timer& timer : m_timers) {
        if (timer.rests && timer.running())
            fail(QStringLiteral("%1 still runs after 400 ticks").arg(timer.name));
    }
    return m_failure.isEmpty();
}

} // namespace zelvano::testing
