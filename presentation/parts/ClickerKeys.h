#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>
#include <vector>

class QMainWindow;
class QWidget;

namespace zelvano
{

class MessageService;

// The keys a presentation clicker sends, taken in one draw window: PageDown
// starts the next draw and B blanks the result (and shows it again), while
// PageUp does nothing, so a clicker paging back harms nothing. Right, Space
// and Enter start the next draw and Left does nothing too, but only while
// the focus is on the stage itself: a list, a button or a box keeps its own
// arrows, Space and Enter for whoever works it with the keyboard. While a
// text box has the focus every key goes to it.
class ClickerKeys : public QObject
{
public:
    // `next` is what the start button does; `result` is what B blanks.
    // `stage` lists the widgets that count as the stage besides the window.
    ClickerKeys(QMainWindow* window, QWidget* result, std::function<void()> next,
                std::initializer_list<QWidget*> stage);

    bool resultBlanked() const { return m_blanked; }
    void setResultBlanked(bool blanked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onStage(const QWidget* widget) const;

    QMainWindow* m_window;
    QWidget* m_result;
    std::function<void()> m_next;
    std::vector<QWidget*> m_stage;
    bool m_blanked = false;
};

// "帮助(&H)" at the end of the window's menu bar, with "快捷键": every
// item of the menus that has a key, then the clicker's keys.
void addShortcutHelp(QMainWindow* window, MessageService& messages);

} // namespace zelvano
