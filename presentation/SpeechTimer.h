#pragma once

#include "presentation/TimerRules.h"

#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QFont;
class QFrame;
class QHBoxLayout;
class QPalette;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;

namespace zelvano
{

struct AppServices;

// How the number window and the classroom window differ in their timers.
struct SpeechTimerConfig {
    QString startCue = QStringLiteral("sound\\start.wav");
    QString stopCue;               // stopped by hand
    QString endCue;                // time-out
    QKeySequence startShortcut;    // "开始计时"
    QKeySequence settingsShortcut; // "计时设置"
    QString firstHint;             // first hint line of the settings panel
    // The classroom window lets the mode menu item do the work and the combo
    // call it; the number window lets the combo do it and the menu set the combo.
    bool menuDrivesMode = false;

    static SpeechTimerConfig numberDraw(); // FrmYh
    static SpeechTimerConfig classroom();  // FrmKtHd
};

// The speech timer a draw window embeds: the big time display, the timer bar
// with its settings, the settings panel, the tick and the menu items.
//
// Every control is created as a child of the host window, hidden or shown as
// the window first needs it; the window positions them (`lblSj` under the
// result, `fraJs2` next to the start button, `fraJs` centred during set-up)
// and puts the menu items into its "摇号计时(&P)" menu in its own order.
class SpeechTimer : public QObject
{
    Q_OBJECT

public:
    SpeechTimer(AppServices& services, SpeechTimerConfig config, QWidget* host);
    ~SpeechTimer() override;

    // --- Controls, named as the windows name them -------------------------
    QLabel* lblSj() const { return m_lblSj; }
    QFrame* fraJs2() const { return m_fraJs2; }
    QFrame* fraJs3() const { return m_fraJs3; }
    QComboBox* cmbFs1() const { return m_cmbFs1; }
    QComboBox* cmbJsDw() const { return m_cmbJsDw; }
    QPushButton* Command1(int index) const; // 2 "+", 3 "-"
    QToolButton* imgJs() const { return m_imgJs; }
    QToolButton* imgJs0() const { return m_imgJs0; }
    QLabel* Label3() const { return m_label3; }
    QFrame* fraJs() const { return m_fraJs; }
    QLabel* lblFangshi() const { return m_lblFangshi; } // "方式"
    QComboBox* cmbJsFs() const { return m_cmbJsFs; }
    QToolButton* lblClose2() const { return m_lblClose2; }
    QPushButton* cmdOk2() const { return m_cmdOk2; }
    QTimer* timJs() const { return m_timJs; }

    // --- Menu items for the window's "摇号计时(&P)" menu -------------------
    QAction* startAction() const { return m_startAction; }       // "开始计时"
    QAction* settingsAction() const { return m_settingsAction; } // "计时设置"
    QMenu* modeMenu() const { return m_modeMenu; }               // "计时方式(&J)"
    QMenu* unitMenu() const { return m_unitMenu; }               // "时间单位(&D)"
    QAction* MnJsFs(int index) const { return m_mnJsFs.at(index); }
    QAction* MnJsDw(int index) const { return m_mnJsDw.at(index); }
    // The menu a right click on the time display pops up (the window's
    // "摇号计时(&P)"); without one the click does nothing.
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    // Where "计时设置" shows the settings panel (host coordinates); without
    // it the panel shows where it was last put.
    void setSettingsPlace(std::function<QPoint()> place) { m_settingsPlace = std::move(place); }

    // --- Handlers -----------------------------------------------------------
    void imgJs_Click(); // start or stop
    void lblSj_Click();
    void lblSj_MouseDown(Qt::MouseButton button);
    void MnJs_Start_Click();    // the "开始计时" item
    void MnJs_Settings_Click(); // the "计时设置" item: shows fraJs
    void imgJs0_Click();        // shows or hides fraJs3
    // 2 and 3 step the time box; 0 and 1 the score box given by setScoreBox.
    void Command1_Click(int index);
    void cmbFs_LostFocus(int index);
    void cmbJsDw_Click();
    void MnJsDw_Click(int index);
    void cmbJsFs_Click();
    void MnJsFs_Click(int index);
    void timJs_Timer();
    // Hides the settings panel, then tells the window (signal settingsClosed),
    // which runs the rest of its set-up step. "确定" and "×" both come here.
    void closeSettingsPanel();

    // The classroom window's score box cmbFs(0): stepped by Command1 0 and 1,
    // filtered and tidied like the time box.
    void setScoreBox(QComboBox* box);

    // --- What a draw does ---------------------------------------------------
    // A draw starting: the timer stops without a cue, the display reads
    // 00:00:00 and hides, the timer bar hides.
    void cancelForDraw();
    // The result shown: the button is idle again, the bar shows (its panel
    // folded), the display shows.
    void rearmAfterDraw();

    // --- Where the windows put it (they never move its inner controls) -----
    // The set-up step of the timer: the settings panel with its top-left
    // corner at `topLeft` (host coordinates) and the timer bar on the panel's
    // free row, aligned with "方式" and level with "确定"; both shown on top.
    void showSettingsPanelAt(QPoint topLeft);
    // The settings panel goes and the bar folds; the bar, which sat on the
    // panel during the set-up, takes the window's colours.
    void leaveSettingsPanel(const QPalette& windowPalette);
    // Hides the timer bar; folded too unless `fold` is false (a new layout
    // keeps the bar as the teacher left it for the next time it shows).
    void hideBar(bool fold = true);
    // The bar left of `widget`, `gap` pixels away, centred on its height.
    // The bar is as large as what it shows: folded, only its button, which
    // then stands next to `widget`; unfolded, the panel opens to its left.
    void placeBarLeftOf(const QWidget* widget, int gap);
    // The bar with its right edge at `right` (never past the left edge of
    // the host) and its top at `top`, folding and unfolding as above.
    void placeBarEndingAt(int right, int top);
    // The time display centred on the host, `gap` pixels below `widget`.
    void placeTimeUnder(const QWidget* widget, int gap = 0);
    // The time display in `font`, sized to its text.
    void setTimeFont(const QFont& font);

    // --- Settings (the window reads and writes them in its own order) -------
    // Selects the unit and mode as stored (each raising its handler, an index
    // outside the lists selecting the first) and puts the decimal text of the
    // stored time into the time box.
    void applySettings(const QString& unitSetting, const QString& modeSetting,
                       const QString& timeSetting);
    // Selects an entry in a list as if the person chose it.
    void selectUnit(int index);
    void selectMode(int index);
    int unitIndex() const;
    int modeIndex() const;
    QString timeSetting() const; // decimal text of the time box's value

    // --- State --------------------------------------------------------------
    bool isRunning() const { return m_running; }
    std::int16_t timerUnit() const { return m_timerUnit; }
    std::int16_t timerMode() const { return m_timerMode; }
    int durationSeconds() const { return m_run.durationSeconds(); }

    // Keeps only the keys a number can be typed with (see numberBoxAcceptsKey)
    // in an editable combo, and calls `lostFocus` when it loses the focus.
    static void filterNumberBox(QComboBox* box, std::function<void()> lostFocus);
    // "+" (even index) or "-" (odd index) on a number box.
    static void stepNumberBox(QComboBox* box, int index);

signals:
    void runningChanged(bool running);
    void settingsClosed();

private:
    void buildTimerBar(QWidget* host);
    void buildTimeRow(QHBoxLayout* row);
    void buildSettingsPanel(QWidget* host);
    void buildMenuItems(QWidget* host);
    void start();
    void stop(bool withCue);
    void showIdleButton();
    // Folds or unfolds the bar, which takes the size of what it shows and
    // keeps the edge it was placed by.
    void setBarFolded(bool folded);
    void fitBar();
    void setModeItemState(int oldMode, int newMode);

    AppServices& m_services;
    SpeechTimerConfig m_config;
    TimerRun m_run;
    bool m_running = false;
    std::int16_t m_timerUnit = -1;
    std::int16_t m_timerMode = 0;

    QLabel* m_lblSj = nullptr;
    QFrame* m_fraJs2 = nullptr;
    QFrame* m_fraJs3 = nullptr;
    QComboBox* m_cmbFs1 = nullptr;
    QComboBox* m_cmbJsDw = nullptr;
    QPushButton* m_plus = nullptr;
    QPushButton* m_minus = nullptr;
    QToolButton* m_imgJs = nullptr;
    QToolButton* m_imgJs0 = nullptr;
    QLabel* m_label3 = nullptr;
    QFrame* m_fraJs = nullptr;
    QLabel* m_lblFangshi = nullptr;
    QComboBox* m_cmbJsFs = nullptr;
    QToolButton* m_lblClose2 = nullptr;
    QPushButton* m_cmdOk2 = nullptr;
    QTimer* m_timJs = nullptr;
    QPointer<QComboBox> m_scoreBox;

    QAction* m_startAction = nullptr;
    QAction* m_settingsAction = nullptr;
    QMenu* m_modeMenu = nullptr;
    QMenu* m_unitMenu = nullptr;
    std::array<QAction*, 2> m_mnJsFs{};
    std::array<QAction*, 3> m_mnJsDw{};
    QPointer<QMenu> m_popupMenu;
    std::function<QPoint()> m_settingsPlace;
    // Where the bar was put: its left edge (or its right edge) at x, its top
    // (or its vertical centre) at y. Unplaced, it stays where it is.
    struct BarAnchor {
        bool placed = false;
        bool byRightEdge = false;
        bool byCentre = false;
        QPoint at;
    } m_barAnchor;
};

} // namespace zelvano
