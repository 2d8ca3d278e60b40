// The draw of the number and seat window: the rolling display, the result,
// the group lists it is shown through, order and direct choice. Each handler
// asks the draw session and renders what changed.
#include "numberdraw/FrmYh.h"

#include "draw/RollingDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/DrawLists.h"
#include "presentation/parts/DrawReport.h"
#include "presentation/parts/ResultLabel.h"
#include "presentation/parts/WindowParts.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/SoundPlayer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>

namespace zelvano
{

void FrmYh::imgOk_MouseDown()
{
    m_speechTimer->hideBar();
    lblXm_Click();
}

void FrmYh::lblXm_Click()
{
    m_report->cutOff();
    if (!m_setup.isDone() || m_rolling->isRolling())
        return;
    if (m_session.poolSize() < 1) {
        const MessageAnswer answer = m_services.messages->show(
            QStringLiteral("所有人都抽到了，还要继续码？"), QStringLiteral("提醒"),
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    putGroupingAway();
    m_drawCalled = false;
    m_imgOk->hide();
    m_lblXm->setAlignment(Qt::AlignCenter);
    m_speechTimer->cancelForDraw();
    m_report->drawStarts(m_session.poolSize());

    if (m_rolls) {
        m_rolling->start();
    } else {
        drawStep();
        m_session.endDraw();
        m_services.sound->playSound(QStringLiteral("sound\\type.wav"));
        finishDraw();
    }
    if (m_setup.drawStarted())
        Form_Resize();
}

void FrmYh::Timer1_Timer()
{
    m_rolling->Timer1_Timer();
}

void FrmYh::drawStep()
{
    render(m_session.next());
}

void FrmYh::comeToRest()
{
    m_session.endDraw();
    finishDraw();
}

// The closing steps of a draw; the cue at rest has just played.
void FrmYh::finishDraw()
{
    m_speechTimer->rearmAfterDraw();
    // The result at rest may have fewer lines than the text before it.
    placeResult();
    m_imgOk->show();
    m_fraTs->showLook(false);
    announceResult(m_lblXm);
    // A draw that found no value (an empty list) shows and records nothing.
    const DrawView& view = m_session.view();
    if (m_drawCalled && !m_session.callsHeld())
        m_report->drawFinished(QString(), view.result, view.result);
}

// A draw while the grouping panel is up closes it, so the result is seen
// on the big label, recorded, and the value shown is the one that leaves
// the cycle.
void FrmYh::putGroupingAway()
{
    if (m_setup.isDone() && m_setup.isShown(NumberPanel::Grouping))
        closePanel(NumberPanel::Grouping);
}

// The one place the group lists, the lines beside them and the result are
// written after a change of the draw.
void FrmYh::render(const DrawChange& change)
{
    const DrawView& view = m_session.view();
    showDrawLists({m_fz.List2, m_fz.List1, m_fz.LabXx}, view, change);
    if (change.called) {
        m_drawCalled = true;
        m_fz.LabCz->setText(view.line);
        setBigText(view.result);
    }
}

void FrmYh::List1_Click(int row)
{
    render(m_session.selectMember(row));
}

void FrmYh::List2_Click(int row)
{
    render(m_session.selectGroup(row));
}

void FrmYh::MnJs_Click(int index)
{
    const auto item = static_cast<MnJsItem>(index);
    if (item == MnJsItem::Next) {
        lblXm_Click();
    } else if (item == MnJsItem::NextGroup) {
        render(m_session.nextGroup());
    }
}

void FrmYh::MnSx_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    m_mnSx[m_session.order()]->setEnabled(true);
    m_session.setOrder(drawOrderOf(index));
    m_mnSx.at(index)->setEnabled(false);
    m_mnJs[MnJsItem::NextGroup]->setVisible(drawOrderOf(index) == DrawOrder::Sequential);
    if (m_setup.isDone())
        setBigText(index == 0 ? QStringLiteral("随机\r\n点名") : QStringLiteral("顺序\r\n点名"));
}

void FrmYh::MnXm_Click(int index)
{
    if (QAction* previous = MnXm(m_disabledValueItem))
        previous->setEnabled(true);
    QAction* chosen = MnXm(index);
    if (!chosen)
        return;
    chosen->setEnabled(false);
    m_disabledValueItem = index;
    putGroupingAway();
    render(m_session.pick(index));
    if (m_setup.awaitsFirstDraw()) {
        m_lblXm->setAlignment(Qt::AlignCenter);
        Form_Resize();
    }
}

// --- Grouping --------------------------------------------------------------

void FrmYh::OptFz_Click(int index)
{
    chooseGroupBox({m_fz.txtFz[0], m_fz.txtFz[1]}, index, m_groupCount, m_groupSize);
}

bool FrmYh::applyGroupInput(int index)
{
    const int n = static_cast<int>(m_session.values().size());
    const GroupInput input =
        zelvano::applyGroupInput(index, m_fz.txtFz[static_cast<size_t>(index)]->text(), n, n);
    if (!input.accepted) {
        m_groupMessages.show(input.message, QStringLiteral("Zelvano"), MessageIcon::None);
        return false;
    }
    m_groupCount = input.groupCount;
    m_groupSize = input.groupSize;
    m_fz.txtFz[static_cast<size_t>(1 - index)]->setText(
        QString::number(index == 0 ? m_groupSize : m_groupCount));
    m_fz.imgFz[0]->show();
    m_fz.imgFz[1]->show();
    m_fz.lblXx2->setText(QStringLiteral("-> 点击“随机/顺序”图标正式分组"));
    return true;
}

void FrmYh::imgFz_Click(int index)
{
    if (!applyGroupInput(m_groupBox))
        return;
    render(m_session.regroup(m_groupCount, m_groupSize, index == 0));
    m_lblXm->setEnabled(true);
    m_fz.imgFz[0]->hide();
    m_fz.imgFz[1]->hide();
    m_fz.lblXx2->setText(QStringLiteral("-> 修改数据，回车改变另一数"));
}

void FrmYh::cmbZh_Click(int index)
{
    const int old = m_session.composition();
    if (old >= 0 && old < 3)
        m_mnZh[static_cast<size_t>(old)]->setEnabled(true);
    m_session.setComposition(index);
    if (index >= 0 && index < 3)
        m_mnZh[static_cast<size_t>(index)]->setEnabled(false);
}

void FrmYh::MnZh_Click(int index)
{
    m_fz.cmbZh->setCurrentIndex(index);
    cmbZh_Click(index);
}

} // namespace zelvano
