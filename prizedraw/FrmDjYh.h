#pragma once

#include "base/ItemArray.h"
#include "presentation/DrawStage.h"
#include "prizedraw/logic/PrizeAward.h"
#include "prizedraw/logic/PrizeDrawSession.h"
#include "prizedraw/logic/PrizeSetup.h"
#include "prizedraw/logic/PrizeSheet.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "shell/core/Mode.h"
#include "shell/core/SettingsColumns.h"

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace zelvano
{

struct AppServices;
class DisplayFormat;
class DrawReport;
class ModeNavigator;
class RollBookSession;

// The prize draw window: "定名抽奖" (mode 3, a prize is drawn for a fixed
// person) and "定奖摇号" (mode 4, a winner is drawn for a chosen prize). It
// reads the prize sheet "抽奖品" of the roll book, has the host confirm the
// prize list and the name list, draws with the rolling display and writes
// every award into the sheet and the winners' list at once.
class FrmDjYh : public QMainWindow, private DrawStageHandlers
{
    Q_OBJECT
public:
    // The items of the 名单设置 menu (MnSz), by the design's numbers: the two
    // submenus, then the items with F1..F6 and F12.
    enum class MnSzItem {
        PrizeLevels = 0, // 获奖等级
        NameLists = 1,   // 选择名单
        Draw = 2,        // 摇奖
        PrizeList = 3,   // 查看奖品
        WinnerList = 4,  // 获奖名单
        RollBook = 5,    // 点名册
        Refresh = 6,     // 刷新
        Reset = 7,       // 重置
        BackToMenu = 8,  // 返回主页
    };

    // `mode` is Mode::FixedPerson or Mode::FixedPrize.
    FrmDjYh(AppServices& services, ModeNavigator& navigator, Mode mode, QWidget* parent = nullptr);
    ~FrmDjYh() override;

    // Lifecycle and start-up (FrmDjYh.cpp).
    void Form_Activate();
    void lblClose_Click(int index);
    void cmdOk_Click(int index) { lblClose_Click(index); }
    void imgRefrash_Click();
    void imgDj_Click();
    void imgCz_Click() { MnSz_Click(MnSzItem::Reset); }
    void Image1_Click() { MnSz_Click(MnSzItem::RollBook); }
    void MnSz_Click(int index);
    void MnSz_Click(MnSzItem item) { MnSz_Click(itemIndex(item)); }
    void MnXs_Click(int index);
    void MnYs_Click(int index);
    void layoutWindow();

    // Draw (FrmDjYhDraw.cpp).
    void imgOk_MouseDown();
    void MnDj_Click(int index);
    void MnMd_Click(int index);
    void lblXm_MouseDown(Qt::MouseButton button, QPoint globalPos = {});
    void Timer1_Timer();
    void chkMd_Click();
    // "作废重抽" (FrmDjYhBook.cpp): voids the newest award still standing.
    void MnZf_Click();

    // Write-back (FrmDjYhBook.cpp): saves an award still waiting to reach
    // the roll book; nothing else.
    void imgXie_Click();

    // What tests read beside what is on screen: the step of the guided
    // start, the draw state (tested on its own), the roll book's state.
    PrizeStep setupStep() const { return m_setup.step(); }
    const PrizeDrawSession& drawSession() const { return m_draw; }
    // Where "抽奖品" stands in the open workbook now, -1 when it does not.
    int prizeSheetIndex() const;
    bool isRolling() const;
    bool hasUnsavedAward() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Building (FrmDjYhControls.cpp).
    void buildControls();
    void buildSidePanel();
    void buildListPanel();
    void buildListButtons();
    void buildMenus();
    // The side panel and the choice menus at `factor` times their design size.
    void scaleSidePanel(double factor);
    void fitWinnersList();

    // Lifecycle (FrmDjYh.cpp).
    void Form_Load();
    void readSettings();
    void saveSettings();
    // What the 重置 item writes back.
    static constexpr Setting kResetSettings[] = {Setting::DbjYs, Setting::DmdYn, Setting::DTs};
    void showDrawControls();
    void centrePanel(double topShare);
    void setMainText(const QString& text, bool besidePanel);
    void placeMainText();
    void takeDisplaySize();

    // The sheet (FrmDjYhBook.cpp).
    void openPrizeSheet();
    void readPrizeSheet();
    void loadSheet(PrizeSheetData sheet);
    void showPrizeList();
    void showNameList();
    static QString prizeSheetName();
    void recordAward();
    bool writeWaitingAwards();
    void rereadSheet();
    void resetAwards();
    void showWorkbook();
    void warnUnwrittenAwards();
    void removeWinnerLine(const QString& line);
    void showVoidable();

    // Draw (FrmDjYhDraw.cpp).
    void startDraw();
    void drawStep() override;
    void comeToRest() override;
    void finishDraw();
    void reportDraw();
    void showPrize();
    void showPerson();
    void placePersonDisplay();
    void showEnd();
    void popUpChoiceMenu(int item, QPoint globalPos);
    void takeChoice();
    void showChoices();
    void showMenuStates();
    void showStartButton();
    void showNameState();
    void refuseSheet(SheetProblem problem);
    void refreshOpenList();

    bool fixedPerson() const { return m_draw.fixedPerson(); }

    AppServices& m_services;
    ModeNavigator& m_navigator;
    Mode m_mode;
    std::unique_ptr<RollBookSession> m_session;

    // State.
    PrizeSetup m_setup;
    PrizeDrawSession m_draw;
    // The list panel is up (for confirmation or opened from the menu): a
    // new layout centres it again.
    bool m_listPanelOpen = false;
    int m_baseFontSize = 48;
    bool m_textBesidePanel = false;
    QString m_mainText;
    QFont m_mainFont;
    bool m_sidePanelShown = false;
    QString m_picturePath;
    QPixmap m_picture;
    QSize m_designSize;
    double m_sidePanelFactor = 1.0;

    // The stage (canvas, display, rolling display, format, record, the
    // gate of the top menus), and the controls.
    DrawStage* m_stage = nullptr;
    QWidget* m_canvas = nullptr;
    QLabel* m_lblXm = nullptr;
    QLabel* m_lblXm2 = nullptr;
    QLabel* m_imgJp = nullptr;
    QToolButton* m_imgXie = nullptr;
    QFrame* m_fraLine = nullptr;
    QFrame* m_fraTs = nullptr;
    QFrame* m_fraTs2 = nullptr;
    QComboBox* m_cmbMd = nullptr;
    QListWidget* m_lstHj = nullptr;
    QToolButton* m_imgOk = nullptr;
    QToolButton* m_imgDj = nullptr;
    QFrame* m_fraJp = nullptr;
    QLabel* m_lblXx = nullptr;
    QListWidget* m_lstJp = nullptr;
    QListWidget* m_lstMd = nullptr;
    QCheckBox* m_chkMd = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QToolButton* m_lblClose = nullptr;

    // Menus.
    ItemArray<MnSzItem, QAction*, 9> m_mnSz;
    QMenu* m_mnDjMenu = nullptr;
    QMenu* m_mnMdMenu = nullptr;
    std::vector<QAction*> m_mnDj;
    std::vector<QAction*> m_mnMd;
    QAction* m_mnZf = nullptr; // 作废重抽

    DisplayFormat* m_displayFormat = nullptr;
    DrawReport* m_report = nullptr; // the draw record and the result read aloud
};

} // namespace zelvano
