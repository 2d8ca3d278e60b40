// The roll call: the rolling display, the person called, the group lists
// the call is shown through, order, composition and call by name. Each
// handler asks the draw session and shows what changed.
#include "classroom/FrmKtHd.h"
#include "classroom/MiniWindow.h"

#include "classroom/logic/RollCallText.h"
#include "draw/RollingDraw.h"
#include "presentation/DrawStage.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/DrawReport.h"
#include "presentation/parts/ResultLabel.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

void FrmKtHd::imgOk_MouseDown()
{
    m_speechTimer->hideBar();
    lblXm_Click();
}

void FrmKtHd::lblXm_Click()
{
    m_stage->cutOff();
    if (!m_setup.readyToCall() || m_stage->isRolling())
        return;
    if (m_session.draw().groups().empty()) {
        // A saved grouping that could not be rebuilt leaves nobody to call.
        offerGroupingAgain();
        return;
    }
    // Asked before anything is hidden, so "No" leaves the stage as it was.
    if (!m_stage->drawAgainWhenEmpty(m_session.draw().poolSize()))
        return;
    m_fraPf2->hide();
    // Until the roll rests nobody is called: no score may go to a name
    // that only flashes past.
    showWriteItems(false);
    if (m_session.balanced())
        readDrawRecord(); // this lesson's calls so far, and another program's
    m_stage->beginDraw(m_session.draw().poolSize());

    // A draw while the grouping panel is up only moves its selection.
    if (m_grouped->rolls() && !m_session.draw().callsHeld()) {
        m_stage->rolling()->start();
    } else {
        drawStep();
        m_session.draw().endDraw();
        finishDraw(true);
    }
    if (m_setup.called())
        Form_Resize();
}

void FrmKtHd::offerGroupingAgain()
{
    m_services.messages->show(
        QStringLiteral(
            "这个班还没有分组，不能点名。\r\n请在“分组规则设置”中点击“随机”或“顺序”图标重新分组。"),
        QStringLiteral("提醒"), MessageIcon::Information);
    MnMd_Click(MnMdItem::GroupRules);
}

void FrmKtHd::Timer1_Timer()
{
    // A tick that arrives after the run ended does nothing.
    if (m_stage->rolling()->isRolling())
        m_stage->rolling()->Timer1_Timer();
}

// The roll has come to rest; its cue has played.
void FrmKtHd::comeToRest()
{
    m_session.draw().endDraw();
    finishDraw(false);
}

void FrmKtHd::finishDraw(bool withCue)
{
    if (withCue)
        m_services.sound->playSound(QStringLiteral("sound\\type.wav"));
    m_stage->rest();
    showScoreEditor(false);
    m_fraPf2->show();
    m_fraPf2->raise();
    // A roll that ends after the roster was read again (刷新, another
    // class) may have called nobody: then there is nothing to write.
    const Person* person = m_session.calledPerson();
    const bool called = person != nullptr;
    showWriteItems(called);
    // Only the bars and the time are placed again: a full layout would undo
    // the text size the teacher chose with "文字放大".
    m_speechTimer->placeTimeUnder(m_lblXm);
    placeToolBars();
    announceResult(m_lblXm);
    // A draw while the grouping panel is up only moves its selection.
    if (called && !m_session.draw().callsHeld()) {
        m_report->drawFinished(m_session.className(), m_session.draw().view().result, person->name);
        refreshCallStats();
        if (m_mini && m_mini->isVisible())
            m_mini->showResult(person->name);
    }
}

void FrmKtHd::drawStep()
{
    showDraw(m_session.draw().next());
    if (m_mini && m_mini->isVisible())
        m_mini->showResult(m_session.draw().view().result);
}

void FrmKtHd::MnMini_Click()
{
    if (!m_mini) {
        MiniWindow::Handlers handlers;
        handlers.draw = [this] { imgOk_MouseDown(); };
        handlers.back = [this] {
            showNormal();
            raise();
            activateWindow();
        };
        m_mini = std::make_unique<MiniWindow>(m_services.dataDir, std::move(handlers));
    }
    const Person* person = m_session.calledPerson();
    m_mini->showResult(person ? person->name : QString());
    m_mini->showFor(m_session.className());
    // Out of the way of the slides; the small window calls through it.
    showMinimized();
}

// The lists beside the draw are the grouped draw's; a change that calls a
// person shows the call here.
void FrmKtHd::showDraw(const DrawChange& change)
{
    m_grouped->show(change);
}

void FrmKtHd::showCall()
{
    const DrawView& view = m_session.draw().view();
    m_session.setCalled(view.calledKey.toInt());
    forgetLastScore();
    m_labCz->setText(view.line);
    setBigText(view.result);
    // A roll shows the write items only once it rests (finishDraw).
    showWriteItems(!m_stage->rolling()->isRolling());
}

void FrmKtHd::showWriteItems(bool shown)
{
    m_imgXie[ImgXieItem::WriteScore]->setVisible(shown);
    m_mnJs[MnJsItem::WriteScore]->setVisible(shown);
}

void FrmKtHd::List2_Click(int row)
{
    m_grouped->selectGroup(row);
}

void FrmKtHd::List1_Click(int row)
{
    m_grouped->selectMember(row);
}

void FrmKtHd::MnJs_Click(int index)
{
    switch (static_cast<MnJsItem>(index)) {
    case MnJsItem::Next:
        lblXm_Click();
        return;
    case MnJsItem::NextGroup:
        m_grouped->nextGroup();
        return;
    case MnJsItem::WriteScore:
        imgXie_Click(ImgXieItem::WriteScore);
        return;
    case MnJsItem::ScoreSettings:
        centreHorizontally(m_fraPf);
        m_fraPf->show();
        m_fraPf->raise();
        return;
    default:
        return;
    }
}

void FrmKtHd::MnSx_Click(int index)
{
    if (m_grouped->chooseOrder(index) && m_setup.readyToCall())
        setBigText(drawOrderCaption(index));
}

void FrmKtHd::MnFs_Click(int index)
{
    // "重复" and "滚动" are checkable: the menu flips the mark itself and
    // its toggled signal tells the draw.
    Q_UNUSED(index);
}

void FrmKtHd::MnXm_Click(int index)
{
    if (!m_grouped->chooseNameItem(index, static_cast<int>(m_session.roster().size())))
        return;
    // The item stands for roster position index + 1: numbers may repeat and
    // names may hold "_", so the caption is not taken apart.
    m_grouped->pick(index);
    if (m_setup.awaitingFirstCall()) {
        m_lblXm->setAlignment(Qt::AlignCenter);
        Form_Resize();
    }
}

void FrmKtHd::cmbZh_Click(int index)
{
    m_grouped->chooseComposition(index);
}

void FrmKtHd::MnZh_Click(int index)
{
    m_grouped->chooseCompositionItem(index);
}

} // namespace zelvano
