#pragma once

#include "base/ItemArray.h"
#include "classroom/logic/ClassroomSession.h"
#include "classroom/logic/ClassroomSetup.h"
#include "classroom/logic/Roster.h"
#include "classroom/logic/Scoring.h"
#include "draw/DrawSession.h"
#include "draw/Grouping.h"
#include "shell/core/SettingsColumns.h"

#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/parts/WindowParts.h"

#include <QFont>
#include <QMainWindow>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace zelvano
{

class MiniWindow;

class ModeNavigator;
class RollBookSession;

// The classroom window ("课堂互动", mode 0): a class of the roll book is
// chosen, grouped, and called person by person on the projector, with the
// answer timed and the points written into the lesson's dated column.
class FrmKtHd : public QMainWindow, private DrawStageHandlers
{
    Q_OBJECT
public:
    // The menu items, by the design's numbers (the handlers' index).
    enum class MnMdItem { // 名单设置
        Class = 0,        // 选择班级 (submenu)
        GroupRules = 1,   // 分组规则
        Name = 2,         // 选择姓名 (submenu)
        RollBook = 3,     // 点名册
        Refresh = 4,      // 刷新
        Reset = 5,        // 重置
        BackToMenu = 6,   // 返回主页
    };
    enum class MnFsItem { // 摇号方式
        Order = 0,        // 顺序 (submenu: 随机, 顺序)
        Repeat = 1,       // 重复
        Rolling = 2,      // 滚动
        Composition = 3,  // 组合 (submenu)
    };
    enum class MnJsItem {  // 摇号计时
        Next = 0,          // 下一个
        NextGroup = 1,     // 下一组
        WriteScore = 2,    // 写入分数
        StartTimer = 3,    // the timer's start item
        ScoreSettings = 4, // 评分设置
        TimerSettings = 5, // the timer's settings item
        TimerMode = 6,     // the timer's mode submenu
        TimerUnit = 7,     // the timer's unit submenu
    };

    // The control arrays, by the design's numbers.
    enum class ImgXieItem { SaveGroups = 0, WriteScore = 1 }; // 存 (写分组), 写 (写成绩)
    enum class ImgOpenItem { GroupPanel = 0, ScoreBar = 1 };  // the two 册
    enum class Command1Item { Plus = 0, Minus = 1 };          // + and - of the time

    FrmKtHd(AppServices& services, ModeNavigator& navigator, QWidget* parent = nullptr);
    ~FrmKtHd() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

public:
    // Guided setup (FrmKtHdSetup.cpp), class and roster (FrmKtHd.cpp).
    void Form_Activate();
    void lblClose_Click(int index);
    void cmdOk_Click(int index) { lblClose_Click(index); }
    void cmbBj_Click();
    void MnBj_Click(int index);
    void MnMd_Click(int index);
    void MnMd_Click(MnMdItem item) { MnMd_Click(itemIndex(item)); }
    void ImgOpen_Click(int index) { MnMd_Click(MnMdItem::RollBook); }
    void ImgOpen_Click(ImgOpenItem item) { ImgOpen_Click(itemIndex(item)); }
    void loadRoster();
    void Form_Resize();

    // Roll call (FrmKtHdDraw.cpp).
    void lblXm_Click() override;
    void Form_Click() override { lblXm_Click(); }
    void imgOk_MouseDown() override;
    void Timer1_Timer();
    void List1_Click(int row);
    void List2_Click(int row);
    void MnXm_Click(int index);
    void MnSx_Click(int index);
    void MnFs_Click(int index);
    void MnFs_Click(MnFsItem item) { MnFs_Click(itemIndex(item)); }
    void MnJs_Click(int index);
    void MnJs_Click(MnJsItem item) { MnJs_Click(itemIndex(item)); }
    void cmbZh_Click(int index);
    void MnZh_Click(int index);

    // Grouping and scoring (FrmKtHdGroups.cpp).
    void OptFz_Click(int index);
    bool applyGroupInput(int index);
    void imgFz_Click(int index);
    void imgXie_Click(int index);
    void imgXie_Click(ImgXieItem item) { imgXie_Click(itemIndex(item)); }
    void imgDf0_Click();
    void cmbPfWz_Click();
    // "撤销上次成绩": takes the last score written back.
    void MnCx_Click();
    void prepareScorePool();

    // "均衡点名" and "点名统计" (FrmKtHdBalance.cpp).
    void MnJh_Click();
    void MnTj_Click();
    // "新建班级" (FrmKtHdNewClass.cpp).
    void MnXjBj_Click();
    // "迷你窗口" (FrmKtHdDraw.cpp): the small window over the slides.
    void MnMini_Click();

    // What tests and the layout read.
    ClassroomStep setupStage() const { return m_setup.step(); }
    int classIndex() const { return m_session.classIndex(); }
    int personCount() const { return m_session.personCount(); }
    int scoreColumn() const { return m_session.scoreColumn(); }
    const DrawSession& drawSession() const { return m_session.draw(); }
    const std::vector<Person>& roster() const { return m_session.roster(); }
    bool isRolling() const;
    QLabel* lblXm() const { return m_lblXm; }
    QFrame* fraBj() const { return m_fraBj; }
    QFrame* fraFz() const { return m_fraFz; }
    QFrame* FraPf() const { return m_fraPf; }
    QFrame* fraTs() const { return m_fraTs; }
    QToolButton* imgOk() const { return m_stage->imgOk(); }
    QTimer* Timer1() const;
    QAction* MnMd(int i) const { return m_mnMd.at(i); }
    QAction* MnFs(int i) const { return m_mnFs.at(i); }
    QAction* MnSx(int i) const { return m_mnSx.at(i); }
    QAction* MnZh(int i) const
    {
        return i >= 0 && i < int(m_mnZh.size()) ? m_mnZh[static_cast<size_t>(i)] : nullptr;
    }
    QAction* MnJs(int i) const { return m_mnJs.at(i); }
    QAction* MnBj(int i) const;
    QAction* MnXm(int i) const;
    QMenu* topMenu(int i) const;
    SpeechTimer& speechTimer() const { return *m_speechTimer; }
    DisplayFormat& displayFormat() const { return *m_displayFormat; }

private:
    // Building (FrmKtHdControls.cpp).
    void buildControls();
    void nameControls();
    void buildClassPanel();
    void buildGroupPanel();
    void buildScorePanel();
    void buildScoreBar();
    QFrame* buildScoreEditor();
    void buildMenus();
    QMenu* buildNamesMenu(QMenuBar* menuBar);
    QMenu* buildDrawMenu(QMenuBar* menuBar);
    void buildTimingMenu(QMenuBar* menuBar);
    QFrame* makePanel(const QString& title, int closeIndex, QSize size);

    // Lifecycle (FrmKtHd.cpp).
    void Form_Load();
    void readSettings();
    void saveSettings();
    void resetSettings();
    // What the 重置 item writes back.
    static constexpr Setting kResetSettings[] = {
        Setting::BBj, Setting::BbjYs, Setting::BzhFs, Setting::Bsx, Setting::BsjDw, Setting::BJsFs,
        Setting::Bsj, Setting::Bpf,   Setting::BpfWz, Setting::BCf, Setting::BGd,   Setting::BTs};
    bool locateRollBook();
    void loadClassList();
    void showClassList();
    // A class from a pasted list (FrmKtHdNewClass.cpp): its sheet made and
    // chosen; false when the roll book could not take it.
    bool createClass(const QString& className, const QStringList& names);
    void showClassChoice();
    void returnToClassChoice();
    // The grouping panel over a reloaded class, under the setup's caption.
    void showGroupingPrompt();
    // The roster read: its menu items, pool, grouping and panel.
    void showRoster();
    // Nothing of the previous class stays on show.
    void clearRoster();
    void resetMenuItems();
    void resetScores();

    // Guided setup and layout (FrmKtHdSetup.cpp).
    static ClassroomPanel closablePanel(int index);
    void hidePanel(ClassroomPanel panel);
    void askToQuit();
    void takeChosenClass();
    void showScoringStep();
    void showTimerStep();
    void startCalling();
    void centreHorizontally(QWidget* widget);
    QPoint belowLabel(const QWidget* panel, double factor = 1.5) const;
    void placeBelowLabel(QWidget* panel, double factor = 1.5);
    void setBigText(const QString& text);
    // The caption within the window: a long name wraps and shrinks.
    void fitCaption();
    void popUpDrawMenu(QPoint globalPos) override;
    void placeToolBars();
    void showScoreEditor(bool open);

    // Draw (FrmKtHdDraw.cpp).
    void drawStep() override;
    void comeToRest() override;
    void finishDraw(bool withCue);
    void showDraw(const DrawChange& change);
    void attachDrawItems();
    void showCall();
    // 写 and "写入分数": offered only while a person called is at rest.
    void showWriteItems(bool shown);
    void showGroupingPanel();
    void offerGroupingAgain();

    // Grouping (FrmKtHdGroups.cpp).
    bool formGroups(bool atRandom);
    void showGroups(std::vector<Group> groups, bool saved);
    bool restoreOrFormGroups();
    void writeScore();
    // Says why 写 writes nothing for a score that waits for its row.
    void tellScoreKeptAside(const Person& person);
    // The last score can no longer be taken back (another call, a new roster).
    void forgetLastScore();

    // Balance (FrmKtHdBalance.cpp).
    // The class's 均衡点名 as last chosen for it, and the record read.
    void restoreBalance();
    // The draw record read again, so the weights count the latest calls.
    void readDrawRecord();
    CallStats callStats();
    // 点名统计, when open, shows the call just made.
    void refreshCallStats();

    AppServices& m_services;
    ModeNavigator& m_navigator;
    std::unique_ptr<RollBookSession> m_rollBook;
    // The chosen class's roster was read; false after a class found empty or
    // unreadable.
    bool m_classLoaded = false;

    // State: the class, roster, roll call and scores in the session, the
    // guided setup, and what only the window shows.
    ClassroomSession m_session;
    ClassroomSetup m_setup;
    int m_baseFontSize = 100;
    // "请设置分组信息" stands at its setup size and place while the grouping
    // panel shown for a class just loaded, refreshed or reset is open.
    bool m_groupingPrompt = false;
    QFont m_captionFont; // the caption's size as chosen
    QFont m_fittedFont;  // ... and as it was fitted last

    // The stage (canvas, result, start button, rolling display, timer,
    // format, record) and the grouped draw over the roll call.
    DrawStage* m_stage = nullptr;
    GroupedDraw* m_grouped = nullptr;

    // Controls, as the stage and the panels built them.
    QWidget* m_canvas = nullptr;
    QLabel* m_lblXm = nullptr;
    StartButton* m_fraTs = nullptr;

    QFrame* m_fraBj = nullptr;
    QComboBox* m_cmbBj = nullptr;

    QFrame* m_fraFz = nullptr;
    QLabel* m_lblFzBt = nullptr;
    ItemArray<GroupBox, QRadioButton*, 2> m_optFz;
    GroupBoxes m_txtFz;
    ItemArray<GroupingOrder, QToolButton*, 2> m_imgFz;
    ItemArray<ImgXieItem, QToolButton*, 2> m_imgXie;
    ItemArray<ImgOpenItem, QToolButton*, 2> m_imgOpen;
    QLabel* m_lblXx2 = nullptr;
    QListWidget* m_list2 = nullptr;
    QListWidget* m_list1 = nullptr;
    QLabel* m_labCz = nullptr;
    QLabel* m_labXx = nullptr;
    QComboBox* m_cmbZh = nullptr;

    // The scoring panel, and its bar (打分) with the folding editor.
    ItemArray<Command1Item, QPushButton*, 2> m_command1;
    QFrame* m_fraPf = nullptr;
    QComboBox* m_cmbPfWz = nullptr;
    QFrame* m_fraPf2 = nullptr;
    QToolButton* m_imgDf0 = nullptr;
    QFrame* m_fraPf3 = nullptr;
    // The editor m_fraPf3 is open; it starts shown inside the score bar.
    bool m_scoreEditorOpen = true;
    QComboBox* m_cmbFs0 = nullptr;

    // Menus.
    QMenu* m_mnJishi = nullptr;
    QMenu* m_mnBjMenu = nullptr;
    QMenu* m_mnXmMenu = nullptr;
    ItemArray<MnMdItem, QAction*, 7> m_mnMd;
    ItemArray<MnFsItem, QAction*, 4> m_mnFs;
    ItemArray<DrawOrder, QAction*, 2> m_mnSx; // by the order each item chooses
    std::array<QAction*, 6> m_mnZh{};
    ItemArray<MnJsItem, QAction*, 8> m_mnJs;
    QAction* m_mnCx = nullptr; // 撤销上次成绩
    QAction* m_mnJh = nullptr; // 均衡点名
    QAction* m_mnTj = nullptr; // 点名统计
    std::unique_ptr<MiniWindow> m_mini;
    std::vector<QAction*> m_mnBj;
    std::vector<QAction*> m_mnXm;

    SpeechTimer* m_speechTimer = nullptr;
    DisplayFormat* m_displayFormat = nullptr;
    DrawReport* m_report = nullptr; // the draw record and the result read aloud
};

} // namespace zelvano
