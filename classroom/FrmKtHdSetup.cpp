// The classroom window's guided setup, panel by panel, and the layout of
// the big display: where the label, the panels and the bars stand.
#include "classroom/FrmKtHd.h"

#include "classroom/logic/RollCallText.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/ResultLabel.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/ProgramEnd.h"
#include "shell/gui/Fonts.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace zelvano
{

// --- Guided setup ------------------------------------------------------------

void FrmKtHd::lblClose_Click(int index)
{
    const ClassroomPanel panel = closablePanel(index);
    const SetupAction action = m_setup.close(panel, m_cmbBj->currentIndex() >= 0);
    if (action == SetupAction::AskToQuit) {
        askToQuit();
        return;
    }
    const bool prompted = m_groupingPrompt;
    hidePanel(panel);
    switch (action) {
    case SetupAction::HidePanel:
        // A called name and "下一组" stay as they are; a class just loaded
        // from the menu has nobody called yet.
        if (panel == ClassroomPanel::Grouping && m_setup.readyToCall() &&
            m_session.calledPosition() == 0)
            setBigText(drawOrderCaption(drawOrderCode(m_session.draw().order())));
        if (prompted && m_setup.readyToCall())
            Form_Resize(); // the stage's size and place again after the prompt
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
        m_session.draw().setCallsHeld(false);
        m_mnMd[MnMdItem::GroupRules]->setChecked(false);
        m_groupingPrompt = false;
        return;
    case ClassroomPanel::Scoring:
        m_fraPf->hide();
        return;
    case ClassroomPanel::Timer:
        // The timer hid its panel itself; outside the guided setup closing
        // it does nothing more, the bar stays as the teacher left it.
        return;
    case ClassroomPanel::None:
        return;
    }
}

void FrmKtHd::showGroupingPanel()
{
    m_fraFz->show();
    m_fraFz->raise();
    // While the grouping is set up a member chosen in its lists is no call.
    m_session.draw().setCallsHeld(true);
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
    m_session.draw().setCallsHeld(false);
    cmbBj_Click();
}

void FrmKtHd::showScoringStep()
{
    setBigText(QStringLiteral("请设置评分参数"));
    placeBelowLabel(m_fraPf);
    m_fraPf2->setParent(m_fraPf);
    m_fraPf2->move(20, 136);
    m_fraPf2->setAutoFillBackground(false);
    m_fraPf2->show();
    showScoreEditor(true);
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
    showScoreEditor(false);
    placeToolBars();
    m_speechTimer->showSettingsPanelAt(belowLabel(m_speechTimer->fraJs()));
}

void FrmKtHd::startCalling()
{
    setBigText(QStringLiteral("随机\r\n点名"));
    m_speechTimer->placeTimeUnder(m_lblXm, m_speechTimer->lblSj()->height());
    m_speechTimer->leaveSettingsPanel(m_canvas->palette());
    m_speechTimer->hideBar();
    m_lblXm->setCursor(Qt::PointingHandCursor);
    m_lblXm->show();
    MnSx_Click(drawOrderCode(DrawOrder::Random));
    m_stage->setTopMenusEnabled(true);
    Form_Resize();
    m_fraTs->show();
}

// --- Layout ----------------------------------------------------------------------

void FrmKtHd::centreHorizontally(QWidget* widget)
{
    widget->move(std::max(0, (m_canvas->width() - widget->width()) / 2), widget->y());
}

QPoint FrmKtHd::belowLabel(const QWidget* panel, double factor) const
{
    int top = m_lblXm->y() + int(factor * m_lblXm->height());
    // A small screen keeps the whole panel in view.
    top = std::max(0, std::min(top, m_canvas->height() - panel->height()));
    return {std::max(0, (m_canvas->width() - panel->width()) / 2), top};
}

void FrmKtHd::placeBelowLabel(QWidget* panel, double factor)
{
    panel->move(belowLabel(panel, factor));
}

void FrmKtHd::setBigText(const QString& text)
{
    m_lblXm->setText(text);
    fitCaption();
    centreHorizontally(m_lblXm);
}

void FrmKtHd::fitCaption()
{
    // The size the layout or "文字放大" gave is kept apart from the smaller
    // one a long name needed, so the next short name is as big again.
    if (m_lblXm->font() != m_fittedFont)
        m_captionFont = m_lblXm->font();
    const int room =
        m_canvas->height() -
        (m_setup.readyToCall() && !m_groupingPrompt ? m_speechTimer->lblSj()->height() : 0);
    fitLabelText(m_lblXm, m_captionFont, m_canvas->width(), std::max(1, room));
    m_fittedFont = m_lblXm->font();
}

void FrmKtHd::popUpDrawMenu(QPoint globalPos)
{
    // The menus open with the roll call.
    if (m_setup.readyToCall())
        m_mnJishi->popup(globalPos);
}

void FrmKtHd::placeToolBars()
{
    // The score bar beside the next button, the timer bar under it.
    // The caption takes the stage's text colour so it reads on any scheme.
    if (auto* caption = m_fraPf2->findChild<QLabel*>(QStringLiteral("lblDf"))) {
        QPalette palette = caption->palette();
        palette.setColor(QPalette::WindowText, m_lblXm->palette().color(QPalette::WindowText));
        caption->setPalette(palette);
    }
    m_fraPf2->adjustSize();
    const int right = m_fraTs->x() - 10;
    m_fraPf2->move(std::max(0, right - m_fraPf2->width()), m_fraTs->y());
    m_speechTimer->placeBarEndingAt(right, m_fraPf2->y() + m_fraPf2->height() + 6);
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
    const double r = m_stage->designScale();
    const bool prompting = !m_setup.readyToCall() || m_groupingPrompt;
    const int labelSize = prompting ? 32 : m_baseFontSize;
    m_stage->scaleFonts(labelSize, 60, r);
    fitCaption();
    // The grouping panel grows and shrinks as a whole, within the window.
    m_grouped->scalePanel(1 / r, m_canvas->size());
    centreHorizontally(m_fraFz);

    if (!prompting) {
        const int timeHeight = m_speechTimer->lblSj()->height();
        m_lblXm->move((width - m_lblXm->width()) / 2,
                      std::max(0, (height - m_lblXm->height() - timeHeight) / 3));
    } else {
        centreHorizontally(m_lblXm);
    }
    m_speechTimer->placeTimeUnder(m_lblXm);

    // Setup panels stay below the label and inside the window.
    for (QWidget* panel : {static_cast<QWidget*>(m_fraFz), static_cast<QWidget*>(m_fraPf),
                           static_cast<QWidget*>(m_speechTimer->fraJs())}) {
        if (prompting)
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
