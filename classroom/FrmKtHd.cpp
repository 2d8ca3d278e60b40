// The classroom window: opening, settings, the class list and roster, the
// guided setup, closing and the layout of the big display.
#include "classroom/FrmKtHd.h"

#include "classroom/logic/RollCallText.h"
#include "numberdraw/RollingDraw.h"
#include "presentation/DisplayFormat.h"
#include "presentation/SpeechTimer.h"
#include "rollbook/ops/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/ProgramEnd.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/Fonts.h"
#include "shell/gui/MenuGate.h"
#include "shell/gui/ModeNavigator.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

namespace
{

constexpr QSize kDesignSize(1000, 700);

} // namespace

FrmKtHd::FrmKtHd(AppServices& services, ModeNavigator& navigator, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_navigator(navigator),
      m_groupMessages(*services.messages),
      m_rollBook(std::make_unique<RollBookSession>(services))
{
    setWindowTitle(QStringLiteral("Zelvano >> 课堂互动"));
    buildControls();
    m_speechTimer = new SpeechTimer(services, SpeechTimerConfig::classroom(), m_canvas);
    m_speechTimer->setScoreBox(m_cmbFs0);
    connect(m_speechTimer, &SpeechTimer::settingsClosed, this, [this] { lblClose_Click(2); });
    m_panels[2] = m_speechTimer->fraJs();
    DisplayTargets targets;
    targets.background = m_canvas;
    targets.lblXm = m_lblXm;
    targets.lblSj = m_speechTimer->lblSj();
    targets.fraTs = m_fraTs;
    m_displayFormat = new DisplayFormat(services, DisplayFormatConfig::classroom(), targets, this);
    buildMenus();
    Form_Load();
}

FrmKtHd::~FrmKtHd() = default;

bool FrmKtHd::isRolling() const
{
    return m_rolling->isRolling();
}

QTimer* FrmKtHd::Timer1() const
{
    return m_rolling->Timer1();
}

QAction* FrmKtHd::MnXm(int i) const
{
    return i >= 0 && i < static_cast<int>(m_mnXm.size()) ? m_mnXm[static_cast<size_t>(i)] : nullptr;
}

QAction* FrmKtHd::MnBj(int i) const
{
    return i >= 0 && i < static_cast<int>(m_mnBj.size()) ? m_mnBj[static_cast<size_t>(i)] : nullptr;
}

int FrmKtHd::visibleClassItems() const
{
    int n = 0;
    for (QAction* item : m_mnBj)
        n += item->isVisible() ? 1 : 0;
    return n;
}

CellReader FrmKtHd::sheetCells() const
{
    RollBookSession* book = m_rollBook.get();
    return [book](int row, int column) { return book->cell(row, column); };
}

// --- Opening ----------------------------------------------------------------

void FrmKtHd::Form_Load()
{
    openAtDesignSize(this, kDesignSize);
    m_fraFz->move(m_fraFz->x(), 0);
    m_designSize = kDesignSize;
    m_scaledFraFz = ScaledPanel(m_fraFz);

    m_baseFontSize = 100;
    m_chosenNameItem = -1;
    readSettings();
    // The start-button frame blends into the stage as loaded; the colour
    // items leave it as it is.
    m_fraTs->setPalette(m_canvas->palette());

    showClassChoice();
    setTopMenusEnabled(false);
}

void FrmKtHd::showClassChoice()
{
    m_lblXm->setFont(kaiFont(32, true));
    m_lblXm->move(m_lblXm->x(), 20);
    setBigText(QStringLiteral("请选择班级"));
    m_lblXm->show();
    placeBelowLabel(m_fraBj);
    m_fraBj->show();
    m_fraBj->raise();
}

void FrmKtHd::readSettings()
{
    SettingsStore& settings = *m_services.settings;
    m_displayFormat->loadColourSetting(settings.readSetting(QStringLiteral("BbjYs")));
    int composition = toInt16(Val(settings.readSetting(QStringLiteral("BzhFs"))));
    if (composition < 0 || composition >= m_cmbZh->count())
        composition = 2;
    m_cmbZh->setCurrentIndex(composition);
    cmbZh_Click();
    m_drawOrder = toInt16(Val(settings.readSetting(QStringLiteral("Bsx"))));
    if (m_drawOrder < 0 || m_drawOrder > 1)
        m_drawOrder = 0;
    const QString unit = settings.readSetting(QStringLiteral("BsjDw"));
    const QString mode = settings.readSetting(QStringLiteral("BJsFs"));
    const QString time = settings.readSetting(QStringLiteral("Bsj"));
    m_speechTimer->applySettings(unit, mode, time);
    m_mnFs[1]->setChecked(
        booleanFromText(settings.readSetting(QStringLiteral("BCf"))).value_or(false));
    m_mnFs[2]->setChecked(
        booleanFromText(settings.readSetting(QStringLiteral("BGd"))).value_or(false));
}

void FrmKtHd::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    Form_Activate();
}

void FrmKtHd::Form_Activate()
{
    if (m_setup.activate() && !locateRollBook())
        m_setup.rollBookMissing();
}

bool FrmKtHd::locateRollBook()
{
    m_todayText = dayText(m_services.clock->today());
    if (!m_rollBook->checkRollBookPresent())
        return false;
    loadClassList();
    SettingsStore& settings = *m_services.settings;
    m_cmbFs0->setEditText(numberText(Val(settings.readSetting(QStringLiteral("Bpf")))));
    const int position = toInt16(Val(settings.readSetting(QStringLiteral("BpfWz"))));
    m_cmbPfWz->setCurrentIndex(position == 1 ? 1 : 0);
    cmbPfWz_Click();
    return true;
}

void FrmKtHd::loadClassList()
{
    const auto names = m_rollBook->worksheetNames();
    if (!names) {
        m_rollBook->reportDamaged();
        return;
    }
    m_classes = classEntries(*names);
    if (names->isEmpty() || m_classes.empty()) {
        m_rollBook->reportNoWorksheet();
        return;
    }
    m_cmbBj->clear();
    for (size_t i = 0; i < m_classes.size(); ++i) {
        if (i >= m_mnBj.size()) {
            const int index = static_cast<int>(i);
            m_mnBj.push_back(
                m_mnBjMenu->addAction(QString(), this, [this, index] { MnBj_Click(index); }));
        }
        m_mnBj[i]->setText(m_classes[i].name);
        m_mnBj[i]->setVisible(true);
        m_mnBj[i]->setEnabled(true);
        m_cmbBj->addItem(m_classes[i].name);
    }
    for (size_t i = m_classes.size(); i < m_mnBj.size(); ++i)
        m_mnBj[i]->setVisible(false);
    const int saved = toInt16(Val(m_services.settings->readSetting(QStringLiteral("BBj"))));
    m_classIndex = preselectedClass(saved, static_cast<int>(m_classes.size()));
    m_cmbBj->setCurrentIndex(m_classIndex);
}

bool FrmKtHd::activateClassSheet()
{
    if (m_classIndex < 0 || m_classIndex >= static_cast<int>(m_classes.size()))
        return false;
    // By name: a sheet inserted or moved by another program since the class
    // list was read must not take the class's place.
    return m_rollBook->activateSheet(m_classes[static_cast<size_t>(m_classIndex)].name);
}

// --- Class and roster --------------------------------------------------------

void FrmKtHd::cmbBj_Click()
{
    if (!m_setup.classTaken())
        return;
    const int chosen = m_cmbBj->currentIndex();
    if (chosen < 0)
        return;
    if (QAction* old = MnBj(m_classIndex))
        old->setEnabled(true);
    m_classIndex = chosen;
    if (QAction* now = MnBj(m_classIndex))
        now->setEnabled(false);
    m_fraBj->hide();
    loadRoster();
    m_lblXm->setFont(kaiFont(32, true));
    setBigText(QStringLiteral("请设置分组信息"));
    placeBelowLabel(m_fraFz);
    m_speechTimer->selectMode(0);
    if (m_cmbPfWz->currentIndex() != 0) {
        m_cmbPfWz->setCurrentIndex(0);
        cmbPfWz_Click();
    }
    Form_Resize();
}

void FrmKtHd::MnBj_Click(int index)
{
    if (index < 0 || index >= m_cmbBj->count())
        return;
    m_cmbBj->setCurrentIndex(index);
    cmbBj_Click();
}

void FrmKtHd::loadRoster()
{
    // Nobody is called any more: the write items would write nothing.
    m_imgXie[1]->hide();
    m_mnJs[2]->setVisible(false);
    m_classLoaded = false;
    // Until the new class is read nothing of the previous one may be drawn,
    // scored or reset on the newly chosen sheet.
    forgetRoster();
    if (!activateClassSheet()) {
        // The sheet cannot be read now; the teacher is told rather than left
        // with a panel that silently shows the previous class.
        m_personCount = 0;
        m_rosterEnd = 1;
        m_rollBook->reportDamaged();
        m_rollBook->closeWorkbook();
        return;
    }
    const CellReader cells = sheetCells();
    m_personCount = countPersons(cells);
    m_rosterEnd = m_personCount + 1;
    m_lblFzBt->setText(groupPanelTitle(m_personCount));
    if (m_personCount > 1) {
        readRoster();
        m_classLoaded = true;
    } else {
        m_rollBook->reportEmptyClassList();
    }
}

void FrmKtHd::forgetRoster()
{
    // Nothing of the previous class may stay to stand for the new one: a
    // reset or a score would land in the previous class's rows and score
    // column of the newly chosen sheet.
    m_roster.clear();
    m_drawPool = DrawPool<PoolEntry>();
    m_groups.clear();
    m_groupCount = 0;
    m_groupSize = 0;
    m_currentMember = 0;
    m_currentPosition = 0;
    m_scoreColumn = kFirstScoreColumn;
    m_scoreAwaitingSave = false;
    m_list1->clear();
    m_list2->clear();
    resetMenuItems();
}

bool FrmKtHd::readRoster()
{
    const Roster roster = zelvano::readRoster(sheetCells(), m_personCount);
    forgetRoster();
    m_roster = roster.persons;
    resetMenuItems();

    prepareScorePool();
    // Selecting the option raises its handler only when it was not selected:
    // the count box otherwise keeps what it holds for a never-grouped class.
    if (!m_optFz[0]->isChecked()) {
        m_optFz[0]->setChecked(true);
        OptFz_Click(0);
    }
    const bool restored = restoreOrFormGroups(roster.savedGroupCount, roster.savedGroupSize);
    m_txtFz[0]->setText(QString::number(std::max(m_groupCount, 1)));
    m_txtFz[1]->setText(QString::number(m_groupSize));
    m_imgXie[0]->hide();
    // A saved grouping that could not be rebuilt leaves the class without
    // groups: the panel stays open with the grouping buttons, so the teacher
    // can form and save new groups instead of being stuck in the setup.
    m_imgFz[0]->setVisible(!restored);
    m_imgFz[1]->setVisible(!restored);
    m_lblXx2->setText(restored ? QStringLiteral("注意：修改数据后回车确认")
                               : QStringLiteral("-> 点击“随机/顺序”图标正式分组"));
    m_fraFz->show();
    m_fraFz->raise();
    m_mnMd[1]->setChecked(true);
    return restored;
}

void FrmKtHd::resetMenuItems()
{
    const size_t n = m_roster.size();
    for (size_t i = 0; i < n; ++i) {
        if (i >= m_mnXm.size()) {
            const int index = static_cast<int>(i);
            m_mnXm.push_back(
                m_mnXmMenu->addAction(QString(), this, [this, index] { MnXm_Click(index); }));
        }
        m_mnXm[i]->setText(nameItemCaption(m_roster[i]));
        m_mnXm[i]->setVisible(true);
        m_mnXm[i]->setEnabled(true);
    }
    for (size_t i = n; i < m_mnXm.size(); ++i)
        m_mnXm[i]->setVisible(false);
    // A new roster has no name chosen yet.
    m_chosenNameItem = -1;
}

// --- Guided setup ------------------------------------------------------------

void FrmKtHd::lblClose_Click(int index)
{
    const ClassroomPanel panel = closablePanel(index);
    const SetupAction action = m_setup.close(panel, m_cmbBj->currentIndex() >= 0);
    if (action == SetupAction::AskToQuit) {
        askToQuit();
        return;
    }
    hidePanel(panel);
    switch (action) {
    case SetupAction::HidePanel:
        // A called name and "下一组" stay as they are; a class just loaded
        // from the menu has nobody called yet.
        if (panel == ClassroomPanel::Grouping && m_setup.readyToCall() && m_currentPosition == 0)
            setBigText(drawOrderCaption(m_drawOrder));
        return;
    case SetupAction::LoadClass:
        takeChosenClass();
        return;
    case SetupAction::ShowScoring:
        showScoringStep();
        return;
    case SetupAction::ShowTimer:
        showTimerStep();
        return;
    case SetupAction::StartCalling:
        startCalling();
        return;
    case SetupAction::AskToQuit:
        return;
    }
}

ClassroomPanel FrmKtHd::closablePanel(int index)
{
    // The panels' close indexes: 0 scoring, 1 grouping, 2 timer, 3 class.
    static constexpr std::array<ClassroomPanel, 4> kPanels{
        ClassroomPanel::Scoring, ClassroomPanel::Grouping, ClassroomPanel::Timer,
        ClassroomPanel::Class};
    return index >= 0 && index < int(kPanels.size()) ? kPanels[static_cast<size_t>(index)]
                                                     : ClassroomPanel::None;
}

void FrmKtHd::hidePanel(ClassroomPanel panel)
{
    switch (panel) {
    case ClassroomPanel::Class:
        m_fraBj->hide();
        return;
    case ClassroomPanel::Grouping:
        m_fraFz->hide();
        m_mnMd[1]->setChecked(false);
        return;
    case ClassroomPanel::Scoring:
        m_fraPf->hide();
        return;
    case ClassroomPanel::Timer:
        m_speechTimer->fraJs()->hide();
        return;
    case ClassroomPanel::None:
        return;
    }
}

void FrmKtHd::askToQuit()
{
    const MessageAnswer answer = m_services.messages->show(
        QStringLiteral("您没有选择班级，想退出吗？"), QStringLiteral("警告"), MessageIcon::Question,
        MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes)
        m_services.programEnd->endProgram();
}

void FrmKtHd::takeChosenClass()
{
    m_fraFz->hide();
    cmbBj_Click();
    if (!m_classLoaded) {
        // An empty or unreadable class leaves nothing to group: the
        // teacher, told why, chooses a class again instead of facing a
        // window whose menus are still off and no panel shown.
        m_fraFz->hide();
        m_setup.classRejected();
        showClassChoice();
    }
}

void FrmKtHd::showScoringStep()
{
    setBigText(QStringLiteral("请设置评分参数"));
    placeBelowLabel(m_fraPf);
    m_fraPf2->setParent(m_fraPf);
    m_fraPf2->move(20, 136);
    m_fraPf2->setAutoFillBackground(false);
    m_fraPf2->show();
    m_fraPf3->show();
    m_fraPf->show();
    m_fraPf->raise();
}

void FrmKtHd::showTimerStep()
{
    setBigText(QStringLiteral("请设计时参数"));
    m_fraPf2->setParent(m_canvas);
    m_fraPf2->setPalette(m_canvas->palette());
    m_fraPf2->setAutoFillBackground(true);
    m_fraPf2->hide();
    m_fraPf3->hide();
    placeToolBars();
    QFrame* panel = m_speechTimer->fraJs();
    placeBelowLabel(panel);
    QFrame* bar = m_speechTimer->fraJs2();
    bar->move(panel->x() + m_speechTimer->lblFangshi()->x(),
              panel->y() + m_speechTimer->cmdOk2()->y());
    panel->show();
    panel->raise();
    bar->show();
    bar->raise();
}

void FrmKtHd::startCalling()
{
    QLabel* sj = m_speechTimer->lblSj();
    setBigText(QStringLiteral("随机\r\n点名"));
    sj->move((m_canvas->width() - sj->width()) / 2,
             m_lblXm->y() + m_lblXm->height() + sj->height());
    m_speechTimer->fraJs3()->hide();
    m_speechTimer->fraJs2()->setPalette(m_canvas->palette());
    m_speechTimer->fraJs2()->hide();
    m_lblXm->setCursor(Qt::PointingHandCursor);
    m_lblXm->show();
    MnSx_Click(0);
    setTopMenusEnabled(true);
    Form_Resize();
    m_fraTs->show();
}

void FrmKtHd::MnMd_Click(int index)
{
    switch (index) {
    case 1:
        centreHorizontally(m_fraFz);
        m_fraFz->show();
        m_fraFz->raise();
        m_mnMd[1]->setChecked(true);
        return;
    case 3:
        if (m_classIndex < 0 || m_classIndex >= int(m_classes.size()))
            m_rollBook->showRollBook(0);
        else
            m_rollBook->showRollBook(m_classes[static_cast<size_t>(m_classIndex)].name);
        return;
    case 4:
        loadRoster();
        return;
    case 5:
        resetScores();
        return;
    case 6:
        m_navigator.returnToMenu(this);
        return;
    default:
        return;
    }
}

// --- Closing -------------------------------------------------------------------

void FrmKtHd::saveSettings()
{
    SettingsStore& s = *m_services.settings;
    s.writeSetting(QStringLiteral("BBj"), QString::number(m_classIndex), TextForm);
    s.writeSetting(QStringLiteral("BbjYs"), m_displayFormat->colourSetting(), TextForm);
    s.writeSetting(QStringLiteral("BzhFs"), QString::number(m_compositionMode), TextForm);
    s.writeSetting(QStringLiteral("Bsx"), QString::number(m_drawOrder), TextForm);
    s.writeSetting(QStringLiteral("BsjDw"), QString::number(m_speechTimer->unitIndex()), TextForm);
    s.writeSetting(QStringLiteral("BJsFs"), QString::number(m_speechTimer->modeIndex()), TextForm);
    s.writeSetting(QStringLiteral("Bsj"), m_speechTimer->timeSetting(), TextForm);
    s.writeSetting(QStringLiteral("Bpf"), numberText(Val(m_cmbFs0->currentText())), TextForm);
    s.writeSetting(QStringLiteral("BpfWz"), QString::number(m_cmbPfWz->currentIndex()), TextForm);
    s.writeSetting(QStringLiteral("BCf"), booleanText(m_mnFs[1]->isChecked()), LiteralForm);
    s.writeSetting(QStringLiteral("BGd"), booleanText(m_mnFs[2]->isChecked()), LiteralForm);
}

void FrmKtHd::resetSettings()
{
    m_services.settings->writeResetValues({"BBj", "BbjYs", "BzhFs", "Bsx", "BsjDw", "BJsFs", "Bsj",
                                           "Bpf", "BpfWz", "BCf", "BGd", "BTs"});
}

void FrmKtHd::closeEvent(QCloseEvent* event)
{
    m_rolling->cancel();
    saveSettings();
    m_rollBook->release();
    event->accept();
    m_navigator.windowClosed(this);
}

// --- Layout ----------------------------------------------------------------------

void FrmKtHd::setTopMenusEnabled(bool enabled)
{
    for (QMenu* menu : m_topMenus)
        setMenuAndShortcutsEnabled(menu, enabled);
}

void FrmKtHd::centreHorizontally(QWidget* widget)
{
    widget->move(std::max(0, (m_canvas->width() - widget->width()) / 2), widget->y());
}

void FrmKtHd::placeBelowLabel(QWidget* panel, double factor)
{
    int top = m_lblXm->y() + int(factor * m_lblXm->height());
    // A small screen keeps the whole panel in view.
    top = std::max(0, std::min(top, m_canvas->height() - panel->height()));
    panel->move(std::max(0, (m_canvas->width() - panel->width()) / 2), top);
}

void FrmKtHd::setBigText(const QString& text)
{
    m_lblXm->setText(text);
    m_lblXm->adjustSize();
    centreHorizontally(m_lblXm);
}

void FrmKtHd::popUpDrawMenu(QPoint globalPos)
{
    if (m_mnJishi->menuAction()->isEnabled())
        m_mnJishi->popup(globalPos);
}

void FrmKtHd::placeToolBars()
{
    // The score bar beside the next button, the timer bar under it.
    QFrame* timerBar = m_speechTimer->fraJs2();
    // The caption takes the stage's text colour so it reads on any scheme.
    if (auto* caption = m_fraPf2->findChild<QLabel*>(QStringLiteral("lblDf"))) {
        QPalette palette = caption->palette();
        palette.setColor(QPalette::WindowText, m_lblXm->palette().color(QPalette::WindowText));
        caption->setPalette(palette);
    }
    m_fraPf2->adjustSize();
    const int right = m_fraTs->x() - 10;
    m_fraPf2->move(std::max(0, right - m_fraPf2->width()), m_fraTs->y());
    timerBar->move(std::max(0, right - timerBar->width()), m_fraPf2->y() + m_fraPf2->height() + 6);
}

void FrmKtHd::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmKtHd::Form_Resize()
{
    if (!m_canvas)
        return;
    if (!m_setup.classTaken()) {
        // Nothing is scaled yet; a maximised window keeps the class panel
        // in the middle.
        centreHorizontally(m_lblXm);
        centreHorizontally(m_fraBj);
        return;
    }
    const int width = std::max(m_canvas->width(), 1);
    const int height = std::max(m_canvas->height(), 1);
    const double r = designScale(this, m_designSize);
    QLabel* sj = m_speechTimer->lblSj();
    const int labelSize = m_setup.readyToCall() ? m_baseFontSize : 32;
    m_lblXm->setFont(kaiFont(std::max(1.0, labelSize / (1.2 * r)), true));
    m_lblXm->adjustSize();
    sj->setFont(kaiFont(std::max(1.0, 60 / (1.2 * r)), true));
    sj->adjustSize();
    // The grouping panel grows and shrinks as a whole, within the window.
    const double s = m_scaledFraFz.scaleTo(1 / r, m_canvas->size());
    QFont listFont = m_list1->font();
    listFont.setPointSizeF(std::max(6.0, 16 * s));
    m_list1->setFont(listFont);
    m_list2->setFont(listFont);
    centreHorizontally(m_fraFz);

    if (m_setup.readyToCall()) {
        m_lblXm->move((width - m_lblXm->width()) / 2,
                      std::max(0, (height - m_lblXm->height() - sj->height()) / 3));
    } else {
        centreHorizontally(m_lblXm);
    }
    sj->move((width - sj->width()) / 2, m_lblXm->y() + m_lblXm->height());

    // Setup panels stay below the label and inside the window.
    for (QWidget* panel : {static_cast<QWidget*>(m_fraFz), static_cast<QWidget*>(m_fraPf),
                           static_cast<QWidget*>(m_speechTimer->fraJs())}) {
        if (!m_setup.readyToCall())
            placeBelowLabel(panel);
        else
            panel->move((width - panel->width()) / 2,
                        std::max(0, std::min(panel->y(), height - panel->height())));
    }

    m_fraTs->move(int(0.98 * (width - m_fraTs->width())), int(0.95 * (height - m_fraTs->height())));
    if (m_setup.readyToCall())
        placeToolBars();
}

} // namespace zelvano
