#pragma once

#include "base/ItemArray.h"
#include "draw/DrawSession.h"
#include "numberdraw/logic/NumberSetup.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/Mode.h"
#include "shell/core/SettingsColumns.h"

#include <QMainWindow>

#include <array>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QToolButton;

namespace zelvano
{

class ModeNavigator;

// The number draw ("摇号码", mode 1) and seat draw ("摇座位", mode 2) window:
// a value list built from a range, a guided setup through the value,
// grouping and timer panels, then draws with the rolling display.
class FrmYh : public QMainWindow, private DrawStageHandlers
{
    Q_OBJECT
public:
    // The menu items, by the design's numbers (the handlers' index).
    enum class MnFsItem { // 摇号方式
        Order = 0,        // 顺序 (submenu: 随机, 顺序)
        Repeat = 1,       // 重复
        Rolling = 2,      // 滚动
        Composition = 3,  // 组合 (submenu)
        Reset = 4,        // 重置
        BackToMenu = 5,   // 返回
    };
    enum class MnHmItem { // 号码设置
        Values = 0,       // 编辑号码
        GroupRules = 1,   // 分组规则
        Name = 2,         // 选择 (submenu)
    };
    enum class MnJsItem {  // 摇号计时
        Next = 0,          // 下一个
        NextGroup = 1,     // 下一组
        StartTimer = 2,    // the timer's start item
        TimerSettings = 3, // the timer's settings item
        TimerMode = 4,     // the timer's mode submenu
        TimerUnit = 5,     // the timer's unit submenu
    };

    // The control arrays, by the design's numbers.
    enum class ImgZdyItem { Add = 0, Remove = 1, Clear = 2 }; // +, −, 清 of the value list
    enum class RangeBox { First = 0, Second = 1 }; // txtXh, lblVal: 最小值/行数, 最大值/列数

    // `mode` is Mode::NumberDraw or Mode::SeatDraw.
    FrmYh(AppServices& services, ModeNavigator& navigator, Mode mode, QWidget* parent = nullptr);
    ~FrmYh() override;

    // Draw (rolling display, result, order, direct choice).
    void lblXm_Click() override;
    void Form_Click() override { lblXm_Click(); }
    void imgOk_MouseDown() override;
    void Timer1_Timer();
    void MnJs_Click(int index);
    void MnJs_Click(MnJsItem item) { MnJs_Click(itemIndex(item)); }
    void MnFs_Click(int index);
    void MnFs_Click(MnFsItem item) { MnFs_Click(itemIndex(item)); }
    void MnSx_Click(int index);
    void MnXm_Click(int index);
    void List1_Click(int row);

    // Grouping.
    void OptFz_Click(int index);
    bool applyGroupInput(int index);
    void imgFz_Click(int index);
    void List2_Click(int row);
    void cmbZh_Click(int index);
    void MnZh_Click(int index);

    // Value panel and guided setup.
    void txtXh_GotFocus(int index);
    void rangeEntry(int index);
    void ImgZdy_Click(int index);
    void lstHm_Click(int row);
    void lblClose_Click(int index);
    void cmdOk_Click(int index) { lblClose_Click(index); }
    void MnHm_Click(int index);
    void MnHm_Click(MnHmItem item) { MnHm_Click(itemIndex(item)); }
    void Form_Resize();

    // What tests and the layout read.
    const DrawSession& session() const { return m_session; }
    bool isRolling() const;
    const RollingDraw& rollingDraw() const { return *m_stage->rolling(); }
    QLabel* lblXm() const { return m_lblXm; }
    QLineEdit* txtXh(int i) const { return m_txtXh.at(i); }
    QToolButton* imgOk() const { return m_stage->imgOk(); }
    QAction* MnFs(int i) const { return m_mnFs.at(i); }
    QAction* MnSx(int i) const { return m_mnSx.at(i); }
    QAction* MnZh(int i) const { return m_mnZh.at(static_cast<size_t>(i)); }
    QAction* MnJs(int i) const { return m_mnJs.at(i); }
    QAction* MnHm(int i) const { return m_mnHm.at(i); }
    QAction* MnXm(int i) const;
    SpeechTimer& speechTimer() const { return *m_speechTimer; }
    DisplayFormat& displayFormat() const { return *m_displayFormat; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Building (FrmYhControls.cpp).
    void buildControls();
    void buildValuePanel();
    void buildGroupPanel();
    void buildMenus();
    QMenu* buildDrawMenu(QMenuBar* bar);
    QFrame* makePanel(const QString& title, int closeIndex, QSize size);

    // Lifecycle (FrmYh.cpp).
    void Form_Load();
    void readSettings();
    void saveSettings();
    void resetSettings();
    // The number draw and the seat draw keep their compositions apart.
    Setting compositionSetting() const { return seatMode() ? Setting::DzhFs : Setting::CzhFs; }
    // What the 重置 item writes back (the columns shared with the classroom,
    // whose reset values it also takes).
    static constexpr Setting kResetSettings[] = {Setting::BbjYs, Setting::BzhFs, Setting::Bsx,
                                                 Setting::BsjDw, Setting::BJsFs, Setting::Bsj,
                                                 Setting::BCf,   Setting::BGd,   Setting::BTs};
    void beginSetup();
    void showSetupPrompt(const QString& text);
    void startSetupOver();
    QPoint timerPanelPlace() const;
    void loadValueList();
    void rebuildValueMenu();
    QAction* makeValueItem(int index, QMenu* menu);
    void fillValueChunk(int chunk);
    void reportUnreasonableData();
    void centreHorizontally(QWidget* widget);
    void setBigText(const QString& text);
    void popUpDrawMenu(QPoint globalPos) override;

    void showPanel(NumberPanel panel);
    bool closePanel(NumberPanel panel);
    void showValues();
    void showReady();
    void placeResult();

    // Draw (FrmYhDraw.cpp).
    void drawStep() override;
    void finishDraw();
    void putGroupingAway();
    void comeToRest() override;
    void render(const DrawChange& change);
    void showCalled();

    bool seatMode() const { return m_mode == Mode::SeatDraw; }

    AppServices& m_services;
    ModeNavigator& m_navigator;
    Mode m_mode = Mode::NumberDraw;

    // State: the draw and the setup live in logic; the window keeps what it
    // shows beside them.
    DrawSession m_session;
    NumberSetup m_setup;
    int m_minOrRows = 0;
    int m_maxOrCols = 0;
    int m_baseFontSize = 100;
    int m_valueRow = -1;       // the value selected in the value list, -1 none
    int m_timerPanelTop = 0;   // where the setup put the timer panel
    bool m_drawCalled = false; // the draw under way has called a value

    // The stage (canvas, result, start button, rolling display, timer,
    // format, record) and the grouped draw over the session.
    DrawStage* m_stage = nullptr;
    GroupedDraw* m_grouped = nullptr;

    // Controls, as the stage and the panels built them.
    QWidget* m_canvas = nullptr;
    QLabel* m_lblXm = nullptr;
    StartButton* m_fraTs = nullptr;

    QFrame* m_fraHmSz = nullptr;
    ItemArray<RangeBox, QLabel*, 2> m_lblVal;
    ItemArray<RangeBox, QLineEdit*, 2> m_txtXh;
    QListWidget* m_lstHm = nullptr;
    QLineEdit* m_txtShu = nullptr;
    ItemArray<ImgZdyItem, QToolButton*, 3> m_imgZdy;

    QFrame* m_fraFz = nullptr;
    GroupControls m_fz; // the grouping panel's controls, under their names
    std::array<QFrame*, 3> m_panels{};

    // Menus.
    QMenu* m_mnJishi = nullptr;
    QMenu* m_mnXmMenu = nullptr;
    ItemArray<MnFsItem, QAction*, 6> m_mnFs;
    ItemArray<DrawOrder, QAction*, 2> m_mnSx; // by the order each item chooses
    std::array<QAction*, 3> m_mnZh{};
    ItemArray<MnJsItem, QAction*, 6> m_mnJs;
    ItemArray<MnHmItem, QAction*, 3> m_mnHm;
    // Items of the value menu, made when first shown: a list of 30000
    // values must not freeze the window.
    mutable std::vector<QAction*> m_mnXm;
    std::vector<QMenu*> m_valueChunks;

    SpeechTimer* m_speechTimer = nullptr;
    DisplayFormat* m_displayFormat = nullptr;
    DrawReport* m_report = nullptr; // the draw record and the result read aloud
};

} // namespace zelvano
