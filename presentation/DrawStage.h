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
struct DisplayTargets;
struct SpeechTimerConfig;
class ClickerKeys;
class DisplayFormat;
class DrawReport;
class RollingDraw;
class SpeechTimer;
class StartButton;

// What a window with a draw stage answers: the rolling display's two steps,
// and the design's handlers of the surfaces a stage with a start button
// has (the canvas, the result label, the start button, the pop-up menu).
class DrawStageHandlers
{
public:
    virtual void drawStep() = 0;      // one pick of a rolling draw
    virtual void comeToRest() = 0;    // the rolling draw came to rest
    virtual void Form_Click() {}      // the canvas clicked
    virtual void lblXm_Click() {}     // the result label clicked
    virtual void imgOk_MouseDown() {} // the start button pressed
    virtual void popUpDrawMenu(QPoint globalPos) { Q_UNUSED(globalPos); }

protected:
    ~DrawStageHandlers() = default;
};

// How a stage is built.
struct DrawStageConfig {
    // The number and classroom windows: the start button `startCaption`
    // (fraTs with imgOk), clicks on the canvas and the label, the label
    // captioned "随机点名", and "sound\type.wav" at rest.
    static DrawStageConfig withStartButton(const QString& startCaption, int labelPoints);
    // The prize window: the display alone, empty until the sheet is read,
    // whose presses the window takes itself; the award's cue is played
    // before "sound\over.wav" at rest.
    static DrawStageConfig displayOnly(int labelPoints);

    int labelPoints = 0;
    QString labelCaption;
    QString startCaption;     // empty: no start button
    bool stageClicks = false; // Form_Click, lblXm_Click and the right button's menu
    QString restCue;
    bool restCueAfterFinish = false;
};

// The stage every draw window shows: the canvas, the result label lblXm,
// the rolling display, the display format, the draw record with its voice,
// and the gate of the top menus; with a start button, also the start button
// (fraTs with imgOk) and the timer. It takes the steps each draw takes
// alike at its start and at rest; what a window shows beside them stays the
// window's.
class DrawStage : public QObject
{
public:
    // Builds the canvas as `window`'s central widget, the result label and
    // the start button as `config` says; their input goes to `handlers`.
    DrawStage(QMainWindow* window, DrawStageHandlers& handlers, AppServices& services,
              const DrawStageConfig& config);
    ~DrawStage() override;

    // The parts built after the window's own panels, in this order.
    SpeechTimer* addSpeechTimer(const SpeechTimerConfig& config);
    // Over the canvas, the label, the time and the start button.
    DisplayFormat* addDisplayFormat(const DisplayFormatConfig& config);
    // Over what the window says (a stage without the timer).
    DisplayFormat* addDisplayFormat(const DisplayFormatConfig& config,
                                    const DisplayTargets& targets);
    // The draw record (its item in `recordMenu`) and the voice (in the
    // format menu), named `windowName` in the record.
    DrawReport* addReport(const QString& windowName, QMenu* recordMenu);

    // After the window's menus: "窗口(&W)" with "投影到" and "全屏" (F11);
    // a window may add its own items after them.
    QMenu* addWindowMenu();
    // Last, after the window's menus: the clicker's keys, which start a
    // draw as `next` does, and the help menu listing every key. `startButton`
    // is the window's own start button where the stage has none.
    ClickerKeys* addClickerKeys(std::function<void()> next, QWidget* startButton = nullptr);

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
    // The steps of a stage with a start button and the timer.
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
    ClickerKeys* m_clickerKeys = nullptr;
    std::vector<QMenu*> m_topMenus;
    bool m_menusOn = false;
};

} // namespace zelvano
