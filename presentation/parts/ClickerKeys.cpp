#include "presentation/parts/ClickerKeys.h"

#include "shell/core/MessageService.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>

#include <algorithm>

namespace zelvano
{

namespace
{

bool isTextBox(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

enum class KeyRole { None, Next, Blank, Nothing };

// What a key does: the first set whatever control has the focus (short of a
// text box), the second only on the stage.
KeyRole roleOf(int key, bool onStage)
{
    switch (key) {
    case Qt::Key_PageDown:
        return KeyRole::Next;
    case Qt::Key_PageUp:
        return KeyRole::Nothing;
    case Qt::Key_B:
        return KeyRole::Blank;
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return onStage ? KeyRole::Next : KeyRole::None;
    case Qt::Key_Left:
        return onStage ? KeyRole::Nothing : KeyRole::None;
    default:
        return KeyRole::None;
    }
}

} // namespace

ClickerKeys::ClickerKeys(QMainWindow* window, QWidget* result, std::function<void()> next,
                         std::initializer_list<QWidget*> stage)
    : QObject(window), m_window(window), m_result(result), m_next(std::move(next)), m_stage(stage)
{
    // On the application: a focused list or button would otherwise take
    // PageDown before the window saw it.
    qApp->installEventFilter(this);
}

void ClickerKeys::setResultBlanked(bool blanked)
{
    m_blanked = blanked;
    if (!blanked) {
        m_result->setGraphicsEffect(nullptr);
        return;
    }
    // Transparent rather than hidden: the label keeps its place, its text
    // and what a screen reader is told, and the next draw still shows on it.
    auto* effect = new QGraphicsOpacityEffect(m_result);
    effect->setOpacity(0.0);
    m_result->setGraphicsEffect(effect);
}

bool ClickerKeys::onStage(const QWidget* widget) const
{
    return widget == m_window || std::find(m_stage.begin(), m_stage.end(), widget) != m_stage.end();
}

// The widget a key was meant for: the focus when the key is on its way up
// from it (so a key a text box let pass is not taken by its panel), else the
// widget it was sent to.
static const QWidget* keyOrigin(const QWidget* receiver)
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == receiver || receiver->isAncestorOf(focus)))
        return focus;
    return receiver;
}

bool ClickerKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_window)
        return false;
    const QWidget* origin = keyOrigin(widget);
    if (isTextBox(origin))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (roleOf(key->key(), onStage(origin))) {
    case KeyRole::None:
        return false;
    case KeyRole::Next:
        if (!key->isAutoRepeat()) {
            setResultBlanked(false);
            m_next();
        }
        return true;
    case KeyRole::Blank:
        if (!key->isAutoRepeat())
            setResultBlanked(!m_blanked);
        return true;
    case KeyRole::Nothing:
        return true;
    }
    return false;
}

namespace
{

QString plainText(const QAction* action)
{
    QString text = action->text();
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    return text.remove(QLatin1Char('&'));
}

void listKeys(const QMenu* menu, QStringList& lines)
{
    for (const QAction* action : menu->actions()) {
        if (action->menu())
            listKeys(action->menu(), lines);
        else if (!action->shortcut().isEmpty() && action->isVisible())
            lines << plainText(action) + QStringLiteral("：") +
                         action->shortcut().toString(QKeySequence::NativeText);
    }
}

} // namespace

void addShortcutHelp(QMainWindow* window, MessageService& messages)
{
    QMenu* help = window->menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("MnBz"));
    QAction* keys = help->addAction(QStringLiteral("快捷键(&K)"));
    keys->setObjectName(QStringLiteral("MnKjj"));
    QObject::connect(keys, &QAction::triggered, window, [window, &messages] {
        QStringList lines;
        for (const QAction* top : window->menuBar()->actions()) {
            if (top->menu())
                listKeys(top->menu(), lines);
        }
        lines << QString()
              << QStringLiteral("翻页笔：PageDown 开始下一次抽取，PageUp 不做任何事，"
                                "B 隐去结果（再按一次显示）")
              << QStringLiteral("键盘：空格、回车、→ 开始下一次抽取，← 不做任何事"
                                "（焦点在列表、按钮或输入框上时，这些键归它们）");
        messages.show(lines.join(QLatin1Char('\n')), QStringLiteral("快捷键"),
                      MessageIcon::Information);
    });
}

} // namespace zelvano
