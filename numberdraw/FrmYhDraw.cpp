// The draw of the number and seat window: the rolling display, the result,
// the group lists it is shown through, order and direct choice. Each handler
// asks the draw session and renders what changed.
#include "numberdraw/FrmYh.h"

#include "draw/RollingDraw.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
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
    m_stage->cutOff();
    if (!m_setup.isDone() || m_stage->isRolling())
        return;
    if (!m_stage->drawAgainWhenEmpty(m_session.poolSize()))
        return;
    putGroupingAway();
    m_drawCalled = false;
    m_stage->beginDraw(m_session.poolSize());

    if (m_grouped->rolls()) {
        m_stage->rolling()->start();
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
    m_stage->rolling()->Timer1_Timer();
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
    m_stage->rest();
    // The result at rest may have fewer lines than the text before it.
    placeResult();
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

// The lists beside the draw are the grouped draw's; a change that calls a
// value shows it here.
void FrmYh::render(const DrawChange& change)
{
    m_grouped->show(change);
}

void FrmYh::showCalled()
{
    const DrawView& view = m_session.view();
    m_drawCalled = true;
    m_fz.LabCz->setText(view.line);
    setBigText(view.result);
}

void FrmYh::List1_Click(int row)
{
    m_grouped->selectMember(row);
}

void FrmYh::List2_Click(int row)
{
    m_grouped->selectGroup(row);
}

void FrmYh::MnJs_Click(int index)
{
    const auto item = static_cast<MnJsItem>(index);
    if (item == MnJsItem::Next) {
        lblXm_Click();
    } else if (item == MnJsItem::NextGroup) {
        m_grouped->nextGroup();
    }
}

void FrmYh::MnSx_Click(int index)
{
    if (m_grouped->chooseOrder(index) && m_setup.isDone())
        setBigText(index == 0 ? QStringLiteral("随机\r\n点名") : QStringLiteral("顺序\r\n点名"));
}

void FrmYh::MnXm_Click(int index)
{
    if (!m_grouped->chooseNameItem(index, static_cast<int>(m_session.values().size())))
        return;
    putGroupingAway();
    m_grouped->pick(index);
    if (m_setup.awaitsFirstDraw()) {
        m_lblXm->setAlignment(Qt::AlignCenter);
        Form_Resize();
    }
}

// --- Grouping --------------------------------------------------------------

void FrmYh::OptFz_Click(int index)
{
    m_grouped->chooseGroupBox(index);
}

bool FrmYh::applyGroupInput(int index)
{
    const int n = static_cast<int>(m_session.values().size());
    return m_grouped->takeGroupInput(index, n, n);
}

void FrmYh::imgFz_Click(int index)
{
    if (!applyGroupInput(m_grouped->groupBox()))
        return;
    render(m_session.regroup(m_grouped->groupCount(), m_grouped->groupSize(), index == 0));
    m_lblXm->setEnabled(true);
    m_grouped->groupsFormed(QStringLiteral("-> 修改数据，回车改变另一数"));
}

void FrmYh::cmbZh_Click(int index)
{
    m_grouped->chooseComposition(index);
}

void FrmYh::MnZh_Click(int index)
{
    m_grouped->chooseCompositionItem(index);
}

} // namespace zelvano
