// The prize draw window: opening, settings, the start-up confirmations,
// refresh, the menus, closing and the layout.
#include "prizedraw/FrmDjYh.h"

#include "draw/RollingDraw.h"

#include "presentation/DisplayFormat.h"
#include "presentation/parts/ResultLabel.h"
#include "presentation/parts/WindowParts.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/gui/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/ProgramEnd.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/ModeNavigator.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

namespace
{

constexpr QSize kDesignSize(1000, 700);

} // namespace

FrmDjYh::FrmDjYh(AppServices& services, ModeNavigator& navigator, Mode mode, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_navigator(navigator), m_mode(mode),
      m_session(std::make_unique<RollBookSession>(services)),
      m_draw(mode == Mode::FixedPerson ? PrizeMode::FixedPerson : PrizeMode::FixedPrize)
{
    buildControls();
    DisplayTargets targets;
    targets.background = m_canvas;
    targets.lblXm = m_lblXm;
    targets.backgroundFollowers = {m_fraTs, m_fraTs2, m_lstHj};
    targets.textFollowers = {m_lblXm2, m_lstHj};
    targets.sizeFollowers = {m_lblXm2};
    m_displayFormat = m_stage->addDisplayFormat(DisplayFormatConfig::prizeDraw(), targets);
    buildMenus();
    Form_Load();
}

FrmDjYh::~FrmDjYh() = default;

bool FrmDjYh::isRolling() const
{
    return m_stage->isRolling();
}

void FrmDjYh::Form_Load()
{
    resize(kDesignSize);
    if (layout())
        layout()->activate();
    m_designSize = kDesignSize;
    m_baseFontSize = 48;
    m_lblXm->setFont(kaiFont(48, true));
    m_mainFont = m_lblXm->font();
    setWindowState(windowState() | Qt::WindowMaximized);
    m_stage->setTopMenusEnabled(false);

    readSettings();
    if (!QFileInfo(m_session->rollBookPath()).isFile()) {
        m_services.messages->show(QStringLiteral("找不到点名册.xls文件，请检查"),
                                  QStringLiteral("警告"), MessageIcon::Critical);
        m_setup.end();
        m_services.programEnd->endProgram();
        return;
    }
    if (fixedPerson()) {
        setWindowTitle(QStringLiteral("Zelvano >> 定名抽奖"));
    } else {
        m_draw.setWithoutNames(false);
        showNameState();
        m_chkMd->hide();
        setWindowTitle(QStringLiteral("Zelvano >> 定奖摇号"));
    }
    setMainText(m_draw.mainText(), m_draw.textBesidePanel());
    m_lblXm2->clear();
}

void FrmDjYh::readSettings()
{
    SettingsStore& settings = *m_services.settings;
    m_displayFormat->loadColourSetting(settings.read(Setting::DbjYs));
    // Only 1 ticks the box; an empty or unreadable value leaves it clear.
    const bool noNames = toInt16(Val(settings.read(Setting::DmdYn))) == 1;
    m_draw.setWithoutNames(noNames);
    showNameState();
}

void FrmDjYh::saveSettings()
{
    SettingsStore& settings = *m_services.settings;
    settings.write(Setting::DbjYs, m_displayFormat->colourSetting());
    settings.write(Setting::DmdYn,
                   // The host's choice; a sheet without names only
                   // ticks the box while it is read.
                   m_draw.hostWithoutNames() ? QStringLiteral("1") : QStringLiteral("0"));
}

void FrmDjYh::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Once the window is on screen, so the messages of the first reading
    // stand in front of it.
    QTimer::singleShot(0, this, [this] { Form_Activate(); });
}

void FrmDjYh::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void FrmDjYh::Form_Activate()
{
    if (!m_setup.needsReading())
        return;
    openPrizeSheet();
    showPrizeList();
    m_setup.sheetRead();
    m_imgJp->hide();
}

void FrmDjYh::lblClose_Click(int index)
{
    if (index != 0)
        return;
    const PanelClose close = m_setup.closePanel(!m_draw.withoutNames());
    if (close == PanelClose::ShowNames) {
        showNameList();
        return;
    }
    m_fraJp->hide();
    m_listPanelOpen = false;
    m_lblXm->show();
    if (close == PanelClose::Finish)
        showDrawControls();
}

void FrmDjYh::showDrawControls()
{
    m_stage->setTopMenusEnabled(true);
    m_fraTs->show();
    m_sidePanelShown = true;
    placeMainText();
    m_imgOk->show();
    if (m_draw.choiceMenuApplies()) {
        if (m_draw.choices().isEmpty()) {
            m_cmbMd->hide();
        } else {
            m_draw.selectChoice(0);
            showChoices();
        }
    }
}

void FrmDjYh::imgRefrash_Click()
{
    if (isRolling())
        return;
    // Reading the sheet again would forget awards the file does not hold
    // yet: the winner would be drawn again and the prize regain its unit.
    // They are written first; while they cannot be, the refresh waits.
    if (!writeWaitingAwards())
        return;
    rereadSheet();
}

void FrmDjYh::rereadSheet()
{
    m_setup.reread();
    Form_Activate();
    layoutWindow();
}

void FrmDjYh::imgDj_Click()
{
    m_fraTs2->show();
    m_imgDj->hide();
}

void FrmDjYh::MnSz_Click(int index)
{
    // The menus stay open during a draw; what they would change waits until
    // the rolling stops.
    const auto item = static_cast<MnSzItem>(index);
    if (isRolling() && item != MnSzItem::PrizeList && item != MnSzItem::WinnerList)
        return;
    switch (item) {
    case MnSzItem::Draw:
        startDraw();
        break;
    case MnSzItem::PrizeList:
        showPrizeList();
        break;
    case MnSzItem::WinnerList:
        showNameList();
        break;
    case MnSzItem::RollBook:
        showWorkbook();
        break;
    case MnSzItem::Refresh:
        imgRefrash_Click();
        break;
    case MnSzItem::Reset:
        resetAwards();
        break;
    case MnSzItem::BackToMenu:
        m_navigator.returnToMenu(this);
        break;
    case MnSzItem::PrizeLevels: // submenus: their items have their own handlers
    case MnSzItem::NameLists:
        break;
    }
}

void FrmDjYh::MnXs_Click(int index)
{
    m_displayFormat->MnGs_Click(index);
    takeDisplaySize();
}

void FrmDjYh::takeDisplaySize()
{
    m_mainFont = m_lblXm->font();
    placeMainText();
}

void FrmDjYh::MnYs_Click(int index)
{
    m_displayFormat->MnYs_Click(index);
}

void FrmDjYh::closeEvent(QCloseEvent* event)
{
    m_stage->rolling()->cancel();
    saveSettings();
    warnUnwrittenAwards();
    m_session->release();
    event->accept();
    m_navigator.windowClosed(this);
}

void FrmDjYh::centrePanel(double topShare)
{
    m_fraJp->move(std::max(0, (m_canvas->width() - m_fraJp->width()) / 2),
                  std::max(0, int((m_canvas->height() - m_fraJp->height()) * topShare)));
    m_fraJp->show();
    m_listPanelOpen = true;
    m_fraJp->raise();
    // A display half hidden behind the panel reads as broken on the
    // projector: it steps aside until the panel closes.
    m_lblXm->setVisible(!m_lblXm->geometry().intersects(m_fraJp->geometry()));
}

void FrmDjYh::setMainText(const QString& text, bool besidePanel)
{
    m_mainText = text;
    m_textBesidePanel = besidePanel;
    placeMainText();
}

void FrmDjYh::placeMainText()
{
    // Centred over the window, or over the part left of the side panel.
    // Once the side panel is up, a text centred over the window may only be
    // as wide as keeps its right end clear of the panel; a longer one wraps
    // and gets smaller instead of running under the panel. Where that strip
    // is too narrow to read, the text is centred left of the panel.
    const int canvasWidth = std::max(1, m_canvas->width());
    const int panelLeft = m_sidePanelShown ? std::max(1, m_fraTs->x() - 10) : canvasWidth;
    bool besidePanel = m_textBesidePanel;
    int width = besidePanel ? panelLeft : std::min(canvasWidth, 2 * panelLeft - canvasWidth);
    if (!besidePanel && width < canvasWidth / 3) {
        besidePanel = true;
        width = panelLeft;
    }
    m_lblXm->setText(m_mainText);
    fitLabelText(m_lblXm, m_mainFont, width, std::max(1, m_canvas->height()));
    const int area = besidePanel ? panelLeft : canvasWidth;
    m_lblXm->move(std::max(0, (area - m_lblXm->width()) / 2), 0);
}

void FrmDjYh::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutWindow();
}

void FrmDjYh::layoutWindow()
{
    if (!m_canvas)
        return;
    const int width = std::max(m_canvas->width(), 1);
    const int height = std::max(m_canvas->height(), 1);
    const double scale = designScale(this, m_designSize);
    m_draw.restartNumbering();
    QFont font = m_lblXm->font();
    font.setPointSizeF(std::max(1.0, m_baseFontSize / scale * 1.2));
    m_mainFont = font;
    font.setPointSizeF(font.pointSizeF() * 1.2);
    m_lblXm2->setFont(font);
    scaleSidePanel(1.0 / scale);
    m_fraTs->move(int((width - m_fraTs->width()) * 0.9), int((height - m_fraTs->height()) * 0.9));
    placeMainText();
    m_fraLine->setGeometry(m_fraTs->x() - 20, 0, 3, height);
    m_fraLine->hide();
    placePersonDisplay();
    if (m_listPanelOpen)
        centrePanel(0.5);
    if (m_draw.showsPrizePicture())
        showPrize();
}

} // namespace zelvano
