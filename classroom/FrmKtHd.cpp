// The classroom window: opening, settings, the class list and roster, the
// 名单设置 menu and closing.
#include "classroom/FrmKtHd.h"
#include "classroom/MiniWindow.h"

#include "classroom/logic/RollCallText.h"
#include "draw/RollingDraw.h"
#include "presentation/DisplayFormat.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "rollbook/gui/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/ProgramEnd.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/gui/Fonts.h"
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
      m_rollBook(std::make_unique<RollBookSession>(services)),
      m_session(m_rollBook->book(), *services.random)
{
    setWindowTitle(QStringLiteral("Zelvano >> 课堂互动"));
    buildControls();
    m_speechTimer = m_stage->addSpeechTimer(SpeechTimerConfig::classroom());
    m_speechTimer->setScoreBox(m_cmbFs0);
    connect(m_speechTimer, &SpeechTimer::settingsClosed, this, [this] { lblClose_Click(2); });
    m_displayFormat = m_stage->addDisplayFormat(DisplayFormatConfig::classroom());
    buildMenus();
    Form_Load();
}

FrmKtHd::~FrmKtHd() = default;

bool FrmKtHd::isRolling() const
{
    return m_stage->rolling()->isRolling();
}

QTimer* FrmKtHd::Timer1() const
{
    return m_stage->rolling()->Timer1();
}

QAction* FrmKtHd::MnXm(int i) const
{
    return i >= 0 && i < static_cast<int>(m_mnXm.size()) ? m_mnXm[static_cast<size_t>(i)] : nullptr;
}

QMenu* FrmKtHd::topMenu(int i) const
{
    return m_stage->topMenu(i);
}

QAction* FrmKtHd::MnBj(int i) const
{
    return i >= 0 && i < static_cast<int>(m_mnBj.size()) ? m_mnBj[static_cast<size_t>(i)] : nullptr;
}

// --- Opening ----------------------------------------------------------------

void FrmKtHd::Form_Load()
{
    m_stage->openAtDesignSize(kDesignSize);
    m_grouped->rememberPanelDesign();

    m_baseFontSize = 100;
    m_grouped->forgetChosenName();
    readSettings();
    // The start-button frame blends into the stage as loaded; the colour
    // items leave it as it is.
    m_fraTs->setPalette(m_canvas->palette());

    showClassChoice();
    m_stage->setTopMenusEnabled(false);
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
    m_grouped->readSettings(*m_services.settings, Setting::BzhFs, *m_speechTimer, *m_displayFormat);
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
    m_session.setDayText(dayText(m_services.clock->today()));
    if (!m_rollBook->checkRollBookPresent())
        return false;
    loadClassList();
    SettingsStore& settings = *m_services.settings;
    m_cmbFs0->setEditText(numberText(Val(settings.read(Setting::Bpf))));
    const int position = toInt16(Val(settings.read(Setting::BpfWz)));
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
    if (!m_session.setClasses(*names)) {
        m_rollBook->reportNoWorksheet();
        return;
    }
    showClassList();
    m_session.preselectClass(toInt16(Val(m_services.settings->read(Setting::BBj))));
    m_cmbBj->setCurrentIndex(m_session.classIndex());
}

// The class menu and box list the session's classes.
void FrmKtHd::showClassList()
{
    const std::vector<ClassEntry>& classes = m_session.classes();
    m_cmbBj->clear();
    for (size_t i = 0; i < classes.size(); ++i) {
        if (i >= m_mnBj.size()) {
            const int index = static_cast<int>(i);
            m_mnBj.push_back(
                m_mnBjMenu->addAction(QString(), this, [this, index] { MnBj_Click(index); }));
        }
        m_mnBj[i]->setText(classes[i].name);
        m_mnBj[i]->setVisible(true);
        m_mnBj[i]->setEnabled(true);
        m_cmbBj->addItem(classes[i].name);
    }
    for (size_t i = classes.size(); i < m_mnBj.size(); ++i)
        m_mnBj[i]->setVisible(false);
}

// --- Class and roster --------------------------------------------------------

void FrmKtHd::cmbBj_Click()
{
    if (!m_setup.classTaken())
        return;
    const int chosen = m_cmbBj->currentIndex();
    if (chosen < 0)
        return;
    if (QAction* old = MnBj(m_session.classIndex()))
        old->setEnabled(true);
    m_session.chooseClass(chosen);
    if (QAction* now = MnBj(chosen))
        now->setEnabled(false);
    m_fraBj->hide();
    loadRoster();
    if (!m_classLoaded) {
        returnToClassChoice();
        return;
    }
    showGroupingPrompt();
    m_speechTimer->selectMode(0);
    if (m_cmbPfWz->currentIndex() != 0) {
        m_cmbPfWz->setCurrentIndex(0);
        cmbPfWz_Click();
    }
    Form_Resize();
}

void FrmKtHd::returnToClassChoice()
{
    // An empty or unreadable class leaves nothing to group or call: the
    // teacher, told why, chooses a class again and the guided setup starts
    // over, as at the first choice.
    m_fraFz->hide();
    m_session.draw().setCallsHeld(false);
    m_groupingPrompt = false;
    m_fraTs->hide();
    m_fraPf2->hide();
    m_speechTimer->hideBar();
    m_setup.classRejected();
    m_stage->setTopMenusEnabled(false);
    showClassChoice();
}

void FrmKtHd::showGroupingPrompt()
{
    // The setup's caption, at the setup's size and place, above the panel.
    m_groupingPrompt = true;
    m_lblXm->setFont(kaiFont(32, true));
    m_lblXm->move(m_lblXm->x(), 20);
    setBigText(QStringLiteral("请设置分组信息"));
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
    showWriteItems(false);
    m_classLoaded = false;
    // Until the new class is read nothing of the previous one may be drawn,
    // scored or reset on the newly chosen sheet.
    clearRoster();
    const RosterOutcome outcome = m_session.loadRoster();
    m_rollBook->tell(outcome.book);
    switch (outcome.read) {
    case RosterRead::Unreadable:
        // The teacher is told rather than left with a panel that silently
        // shows the previous class.
        m_rollBook->reportDamaged();
        m_rollBook->closeWorkbook();
        return;
    case RosterRead::Empty:
        m_lblFzBt->setText(groupPanelTitle(m_session.personCount()));
        m_rollBook->reportEmptyClassList();
        return;
    case RosterRead::Loaded:
        m_lblFzBt->setText(groupPanelTitle(m_session.personCount()));
        showRoster();
        m_classLoaded = true;
        return;
    }
}

void FrmKtHd::clearRoster()
{
    m_session.forgetRoster();
    m_grouped->setGrouping(0, 0);
    forgetLastScore();
    m_list1->clear();
    m_list2->clear();
    m_labCz->clear();
    m_labXx->clear();
    resetMenuItems();
}

void FrmKtHd::showRoster()
{
    resetMenuItems();
    // Selecting the option raises its handler only when it was not selected:
    // the count box otherwise keeps what it holds for a never-grouped class.
    if (m_grouped->groupBox() != 0) {
        m_optFz[GroupBox::Count]->setChecked(true);
        OptFz_Click(0);
    }
    const bool restored = restoreOrFormGroups();
    m_txtFz[GroupBox::Count]->setText(QString::number(std::max(m_grouped->groupCount(), 1)));
    m_txtFz[GroupBox::Size]->setText(QString::number(m_grouped->groupSize()));
    m_imgXie[ImgXieItem::SaveGroups]->hide();
    // A saved grouping that could not be rebuilt leaves the class without
    // groups: the panel stays open with the grouping buttons, so the teacher
    // can form and save new groups instead of being stuck in the setup.
    m_imgFz[GroupingOrder::AtRandom]->setVisible(!restored);
    m_imgFz[GroupingOrder::InOrder]->setVisible(!restored);
    m_lblXx2->setText(restored ? QStringLiteral("注意：修改数据后回车确认")
                               : QStringLiteral("-> 点击“随机/顺序”图标正式分组"));
    showGroupingPanel();
    m_mnMd[MnMdItem::GroupRules]->setChecked(true);
    restoreBalance();
}

void FrmKtHd::resetMenuItems()
{
    const std::vector<Person>& roster = m_session.roster();
    const size_t n = roster.size();
    for (size_t i = 0; i < n; ++i) {
        if (i >= m_mnXm.size()) {
            const int index = static_cast<int>(i);
            m_mnXm.push_back(
                m_mnXmMenu->addAction(QString(), this, [this, index] { MnXm_Click(index); }));
        }
        m_mnXm[i]->setText(nameItemCaption(roster[i]));
        m_mnXm[i]->setVisible(true);
        m_mnXm[i]->setEnabled(true);
    }
    for (size_t i = n; i < m_mnXm.size(); ++i)
        m_mnXm[i]->setVisible(false);
    // A new roster has no name chosen yet.
    m_grouped->forgetChosenName();
}

void FrmKtHd::MnMd_Click(int index)
{
    switch (static_cast<MnMdItem>(index)) {
    case MnMdItem::GroupRules:
        centreHorizontally(m_fraFz);
        showGroupingPanel();
        m_mnMd[MnMdItem::GroupRules]->setChecked(true);
        return;
    case MnMdItem::RollBook:
        if (m_session.classKnown())
            m_rollBook->showRollBook(m_session.className());
        else
            m_rollBook->showRollBook(0);
        return;
    case MnMdItem::Refresh:
        loadRoster();
        if (m_classLoaded)
            showGroupingPrompt();
        return;
    case MnMdItem::Reset:
        resetScores();
        return;
    case MnMdItem::BackToMenu:
        m_navigator.returnToMenu(this);
        return;
    case MnMdItem::Class: // submenus: their items have their own handlers
    case MnMdItem::Name:
        return;
    }
}

// --- Closing -------------------------------------------------------------------

void FrmKtHd::saveSettings()
{
    SettingsStore& s = *m_services.settings;
    s.write(Setting::BBj, QString::number(m_session.classIndex()));
    m_grouped->writeSettings(s, Setting::BzhFs, *m_speechTimer, *m_displayFormat);
    s.write(Setting::Bpf, numberText(Val(m_cmbFs0->currentText())));
    s.write(Setting::BpfWz, QString::number(m_cmbPfWz->currentIndex()));
    m_grouped->writeRepeatAndRolling(s);
}

void FrmKtHd::resetSettings()
{
    m_services.settings->writeResetValues(kResetSettings);
}

void FrmKtHd::closeEvent(QCloseEvent* event)
{
    m_stage->rolling()->cancel();
    if (m_mini)
        m_mini->hide();
    saveSettings();
    m_rollBook->release();
    event->accept();
    m_navigator.windowClosed(this);
}

} // namespace zelvano
