#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>
#include <initializer_list>
#include <tuple>
#include <vector>

class QLabel;
class QMainWindow;
class QMenu;
class QToolButton;
class QWidget;

namespace zelvano
{

struct AppServices;
struct DisplayFormatConfig;
struct SpeechTimerConfig;
class DisplayFormat;
class DrawReport;
class RollingDraw;
class SpeechTimer;
class StartButton;

// What a window with a draw stage answers: the design's handlers of the
// stage's surfaces, its pop-up menu and the rolling display's two steps.
class DrawStageHandlers
{
public:
    virtual void Form_Click() = 0;      // the canvas clicked
    virtual void lblXm_Click() = 0;     // the result label clicked
    virtual void imgOk_MouseDown() = 0; // the start button pressed
    virtual void popUpDrawMenu(QPoint globalPos) = 0;
    virtual void drawStep() = 0;   // one pick of a rolling draw
    virtual void comeToRest() = 0; // the rolling draw came to rest

protected:
    ~DrawStageHandlers() = default;
};

// The stage every draw window with a start button shows: the canvas, the
// result label lblXm, the start button (fraTs with imgOk), the rolling
// display, the timer, the display format, the draw record with its voice,
// and the gate of the top menus. It takes the steps each draw takes alike at
// its start and at rest; what a window shows beside them stays the window's.
class DrawStage : public QObject
{
public:
    // Builds the canvas as `window`'s central widget, the result label (at
    // `labelPoints`, caption "随机点名") and the start button `startCaption`;
    // their input goes to `handlers`.
    DrawStage(QMainWindow* window, DrawStageHandlers& handlers, AppServices& services,
              const QString& startCaption, int labelPoints);
    ~DrawStage() override;

    // The parts built after the window's own panels, in this order.
    SpeechTimer* addSpeechTimer(const SpeechTimerConfig& config);
    DisplayFormat* addDisplayFormat(const DisplayFormatConfig& config);
    // The draw record (its item in `recordMenu`) and the voice (in the
    // format menu), named `windowName` in the record.
    DrawReport* addReport(const QString& windowName, QMenu* recordMenu);

    // The canvas, the result label and the start button, for a window that
    // keeps them under their own names.
    std::tuple<QWidget*, QLabel*, StartButton*> controls() const
    {
        return {m_canvas, m_lblXm, m_fraTs};
    }
    QWidget* canvas() const { return m_canvas; }
    QLabel* lblXm() const { return m_lblXm; }
    StartButton* fraTs() const { return m_fraTs; }
    QToolButton* imgOk() const;
    RollingDraw* rolling() const { return m_rolling; }
    bool isRolling() const;

    // The window at its design size, shrunk to fit a small screen, centred;
    // designScale() is then how much smaller it is now (2 at half).
    void openAtDesignSize(QSize design);
    double designScale() const;

    // A click or key that may start a draw: the voice stops first.
    void cutOff();
    // With nobody left in the pool, asks whether to draw again; true when
    // the draw goes on.
    bool drawAgainWhenEmpty(int poolSize) const;
    // The draw starts: the start button and the timer step aside and the
    // record learns the pool's size.
    void beginDraw(int poolSize);
    // The draw is at rest: the timer is armed again and the start button
    // comes back in its normal look.
    void rest();

    // The top menus, gated together with their shortcuts.
    void setTopMenus(std::initializer_list<QMenu*> menus);
    void setTopMenusEnabled(bool enabled);
    bool topMenusEnabled() const { return m_menusOn; }
    QMenu* topMenu(int i) const { return m_topMenus.at(static_cast<size_t>(i)); }

    // The label's and the time's fonts at `scale` (2 at half the design
    // size), never under one point.
    void scaleFonts(double labelPoints, double timePoints, double scale);

private:
    AppServices& m_services;
    QSize m_designSize;
    QWidget* m_canvas = nullptr;
    QLabel* m_lblXm = nullptr;
    StartButton* m_fraTs = nullptr;
    RollingDraw* m_rolling = nullptr;
    SpeechTimer* m_speechTimer = nullptr;
    DisplayFormat* m_displayFormat = nullptr;
    DrawReport* m_report = nullptr;
    std::vector<QMenu*> m_topMenus;
    bool m_menusOn = false;
};

} // namespace zelvano
