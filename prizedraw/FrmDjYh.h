#pragma once

#include "prizedraw/logic/PrizeAward.h"
#include "prizedraw/logic/PrizePool.h"
#include "prizedraw/logic/PrizeSheet.h"

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

class RollingDraw;

struct AppServices;
class DisplayFormat;
class ModeNavigator;
class RollBookSession;

// The prize draw window: "定名抽奖" (mode 3, a prize is drawn for a fixed
// person) and "定奖摇号" (mode 4, a winner is drawn for a chosen prize). It
// reads the prize sheet "抽奖品" of the roll book, has the host confirm the
// prize list and the name list, draws with the rolling display and writes
// every award into the sheet and the winners' list at once.
class FrmDjYh : public QMainWindow
{
    Q_OBJECT
public:
    FrmDjYh(AppServices& services, ModeNavigator& navigator, QWidget* parent = nullptr);
    ~FrmDjYh() override;

    // Lifecycle and start-up (FrmDjYh.cpp).
    void Form_Activate();
    void lblClose_Click(int index);
    void cmdOk_Click(int index) { lblClose_Click(index); }
    void imgRefrash_Click();
    void imgDj_Click();
    void imgCz_Click() { MnSz_Click(7); }
    void Image1_Click() { MnSz_Click(5); }
    void MnSz_Click(int index);
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

    // Write-back (FrmDjYhBook.cpp): saves an award still waiting to reach
    // the roll book; nothing else.
    void imgXie_Click();

    // What tests and the layout read.
    int setupStage() const { return m_setupStage; }
    int poolSize() const { return m_pool.size(); }
    const std::vector<int>& drawPool() const { return m_pool.entries(); }
    const std::vector<int>& prizeTickets() const { return m_prizeTickets; }
    const PrizeSheetData& sheet() const { return m_data; }
    int chosenPrize() const { return m_chosenPrize; }
    int chosenPerson() const { return m_chosenPerson; }
    int awardCount() const { return m_awardCount; }
    // Where "抽奖品" stands in the open workbook now, -1 when it does not.
    int prizeSheetIndex() const;
    bool isRolling() const;
    bool hasUnsavedAward() const;
    // The choice menu the last click popped up (MnSz item 0 or 1), -1 none.
    int lastPopUp() const { return m_lastPopUp; }
    QLabel* lblXm() const { return m_lblXm; }
    QLabel* lblXm2() const { return m_lblXm2; }
    QLabel* imgJp() const { return m_imgJp; }
    QLabel* lblXx() const { return m_lblXx; }
    QFrame* fraJp() const { return m_fraJp; }
    QFrame* fraTs() const { return m_fraTs; }
    QFrame* FraTs2() const { return m_fraTs2; }
    QFrame* FraLine() const { return m_fraLine; }
    QListWidget* lstJp() const { return m_lstJp; }
    QListWidget* lstMd() const { return m_lstMd; }
    QListWidget* lstHj() const { return m_lstHj; }
    QComboBox* cmbMd() const { return m_cmbMd; }
    QCheckBox* chkMd() const { return m_chkMd; }
    QToolButton* imgOk() const { return m_imgOk; }
    QAction* MnSz(int i) const { return m_mnSz.at(static_cast<size_t>(i)); }
    QAction* MnDj(int i) const;
    QAction* MnMd(int i) const;
    QMenu* topMenu(int i) const { return m_topMenus.at(static_cast<size_t>(i)); }
    DisplayFormat& displayFormat() const { return *m_displayFormat; }
    RollBookSession& rollBook() const { return *m_session; }

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
    void buildMenus();

    // Lifecycle (FrmDjYh.cpp).
    void Form_Load();
    void readSettings();
    void saveSettings();
    void setTopMenusEnabled(bool enabled);
    void centrePanel(double topShare);
    void setMainText(const QString& text, bool besidePanel);
    void placeMainText();

    // The sheet (FrmDjYhBook.cpp).
    void openPrizeSheet();
    void readPrizeSheet();
    void loadPrizes();
    void loadNames();
    void showPrizeList();
    void showNameList();
    static QString prizeSheetName();
    void recordAward();
    bool writeWaitingAwards();
    void rereadSheet();
    void resetAwards();
    void showWorkbook();
    void warnUnwrittenAwards();

    // Draw (FrmDjYhDraw.cpp).
    void startDraw();
    void rollStep();
    void finishDraw();
    void showPrize(int t);
    void showPerson(int v);
    void placePersonDisplay();
    void showEnd(const QString& text);
    void popUpChoiceMenu(int item, QPoint globalPos);
    void takeChoice();
    bool noNameList() const;

    bool fixedPerson() const { return m_modeCode == 3; }

    AppServices& m_services;
    ModeNavigator& m_navigator;
    std::unique_ptr<RollBookSession> m_session;
    int m_modeCode = 4;

    // State.
    int m_setupStage = 0;
    bool m_ended = false;
    PrizeSheetData m_data;
    std::vector<int> m_prizeTickets;
    PrizePool m_pool;
    int m_chosenPrize = 0;
    int m_chosenPerson = 0;
    int m_awardCount = 0;
    int m_baseFontSize = 48;
    int m_lastPopUp = -1;
    bool m_textBesidePanel = false;
    QString m_mainText;
    QFont m_mainFont;
    bool m_sidePanelShown = false;
    QString m_picturePath;
    QPixmap m_picture;
    QSize m_designSize;

    // Controls.
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
    RollingDraw* m_rolling = nullptr; // Timer1 and its pace

    // Menus.
    std::array<QMenu*, 2> m_topMenus{}; // 名单设置, 格式
    std::array<QAction*, 9> m_mnSz{};
    QMenu* m_mnDjMenu = nullptr;
    QMenu* m_mnMdMenu = nullptr;
    std::vector<QAction*> m_mnDj;
    std::vector<QAction*> m_mnMd;

    DisplayFormat* m_displayFormat = nullptr;
};

} // namespace zelvano
