#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

namespace zelvano
{

// "迷你窗口": a small window above every other, a slide show in full screen
// too, with the class, one big button that calls the next person of the
// class as the full window would, and the name called in large text. It
// never takes the keyboard focus, and a click does not activate it, so a
// clicker still pages the slides. It is dragged by any spot outside the
// button and keeps its place; a double click returns to the full window.
class MiniWindow : public QWidget
{
    Q_OBJECT

public:
    struct Handlers {
        std::function<void()> draw; // the big button
        std::function<void()> back; // a double click
    };

    MiniWindow(QString dataDir, Handlers handlers);

    // Shown at its remembered place for `className`.
    void showFor(const QString& className);
    // What the full window's label shows now (a passing or the called name).
    void showResult(const QString& text);

    static constexpr const char* kPlaceKey = "mini/place";

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPoint rememberedPlace() const;

    QString m_dataDir;
    Handlers m_handlers;
    QLabel* m_class = nullptr;
    QToolButton* m_draw = nullptr;
    QLabel* m_result = nullptr;
    QPoint m_grab; // where the pointer holds the window while dragged
    bool m_dragging = false;
};

} // namespace zelvano
