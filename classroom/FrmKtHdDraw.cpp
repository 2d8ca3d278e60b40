// The roll call: the rolling display, the person called, the group lists
// the call is shown through, order, composition and call by name.
#include "classroom/FrmKtHd.h"

#include "classroom/logic/RollCallText.h"
#include "draw/RollingDraw.h"
#include "draw/GroupCursor.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"
#include "shell/gui/ResultLabel.h"

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
    m_speechTimer->fraJs2()->hide();
    m_speechTimer->fraJs3()->hide();
    lblXm_Click();
}

void FrmKtHd::lblXm_Click()
{
    if (!m_setup.readyToCall() || m_rolling->isRolling())
        return;
    // Asked before anything is hidden, so "No" leaves the stage as it was.
    if (m_drawPool.empty()) {
        const MessageAnswer answer = m_services.messages->show(
            QStringLiteral("所有人都抽到了，还要继续码？"), QStringLiteral("提醒"),
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    m_imgOk->hide();
    m_fraPf2->hide();
    m_lblXm->setAlignment(Qt::AlignCenter);
    m_speechTimer->cancelForDraw();

    if (m_mnFs[2]->isChecked() && !m_fraFz->isVisible()) {
        m_rolling->start();
    } else {
        drawStep();
        if (!m_mnFs[1]->isChecked())
            removeFromPool();
        finishDraw(true);
    }
    if (m_setup.called())
        Form_Resize();
}

void FrmKtHd::Timer1_Timer()
{
    // A tick that arrives after the run ended does nothing.
    if (m_rolling->isRolling())
        m_rolling->Timer1_Timer();
}

void FrmKtHd::finishDraw(bool withCue)
{
    if (withCue)
        m_services.sound->playSound(QStringLiteral("sound\\type.wav"));
    m_speechTimer->rearmAfterDraw();
    m_fraPf3->hide();
    m_imgOk->show();
    m_fraTs->showLook(false);
    m_fraPf2->show();
    m_fraPf2->raise();
    // A roll that ends after the roster was read again (刷新, another
    // class) may have called nobody: then there is nothing to write.
    const bool called = personAt(m_roster, QString::number(m_currentPosition)) != nullptr;
    m_imgXie[1]->setVisible(called);
    m_mnJs[2]->setVisible(called);
    // Only the bars and the time are placed again: a full layout would undo
    // the text size the teacher chose with "文字放大".
    QLabel* sj = m_speechTimer->lblSj();
    sj->move((m_canvas->width() - sj->width()) / 2, m_lblXm->y() + m_lblXm->height());
    placeToolBars();
    announceResult(m_lblXm);
}

void FrmKtHd::drawStep()
{
    m_services.random->reseed();
    if (m_list2->count() == 0)
        return;
    if (m_drawOrder == 0) {
        if (m_drawPool.pickRandom(*m_services.random) == 0)
            return;
        m_lastStepWasRandom = true;
        selectPosition(m_drawPool.at(m_drawPool.drawnIndex()).position);
        return;
    }
    m_lastStepWasRandom = false;
    const GroupSelection next =
        sequentialStep(m_groups, {m_list2->currentRow(), m_list1->currentRow()});
    if (next.group != m_list2->currentRow())
        selectGroup(next.group + 1);
    if (next.member >= 0)
        selectMember(next.member);
    else
        m_list1->setCurrentRow(-1);
}

int FrmKtHd::shownPosition() const
{
    const int g = m_list2->currentRow();
    const int m = m_list1->currentRow();
    if (g < 0 || g >= static_cast<int>(m_groups.size()) || m < 0)
        return 0;
    const auto& members = m_groups[static_cast<size_t>(g)].members;
    if (m >= static_cast<int>(members.size()))
        return 0;
    return members[static_cast<size_t>(m)].toInt();
}

void FrmKtHd::removeFromPool()
{
    // A random pick knows its pool position; a sequential step takes out the
    // person actually shown, wherever that person stands in the pool now.
    if (m_lastStepWasRandom) {
        m_drawPool.removeDrawn();
    } else if (const int position = shownPosition(); position > 0) {
        m_drawPool.removeValue(PoolEntry{position, {}, 0});
    }
}

void FrmKtHd::selectPosition(int rosterPosition)
{
    const auto found = findInGroups(m_groups, QString::number(rosterPosition));
    if (!found)
        return;
    selectGroup(found->group + 1);
    selectMember(found->member);
}

void FrmKtHd::selectGroup(int groupNumber)
{
    if (m_list2->currentRow() == groupNumber - 1 && m_list1->count() > 0)
        return;
    m_list2->setCurrentRow(groupNumber - 1);
    List2_Click();
}

void FrmKtHd::selectMember(int memberIndex)
{
    m_list1->setCurrentRow(memberIndex);
    List1_Click();
}

void FrmKtHd::List2_Click()
{
    QListWidgetItem* item = m_list2->currentItem();
    if (!item)
        return;
    m_currentGroup = toInt16(Val(item->text()));
    m_list1->clear();
    int count = 0;
    if (m_currentGroup >= 1 && m_currentGroup <= static_cast<int>(m_groups.size())) {
        const Group& group = m_groups[static_cast<size_t>(m_currentGroup - 1)];
        count = group.count;
        for (const QString& member : group.members) {
            const Person* person = personAt(m_roster, member);
            m_list1->addItem(person ? person->name : QString());
        }
    }
    m_labXx->setText(groupSummary(m_personCount, m_groupCount, m_currentGroup, count));
}

void FrmKtHd::List1_Click()
{
    if (m_fraFz->isVisible())
        return;
    QListWidgetItem* item = m_list1->currentItem();
    if (!item)
        return;
    const int position = shownPosition();
    const Person* person = personAt(m_roster, QString::number(position));
    if (!person)
        return;
    if (position != m_currentPosition)
        m_scoreAwaitingSave = false;
    m_currentPosition = position;
    m_currentName = item->text();
    m_currentMember = m_list1->currentRow() + 1;
    m_currentNumber = person->number;
    m_labCz->setText(
        calledPersonLine(m_currentGroup, m_currentMember, m_currentNumber, m_currentName));
    setBigText(composeRollCall(m_compositionMode, m_currentGroup, m_currentMember, m_currentNumber,
                               m_currentName));
    m_imgXie[1]->show();
    m_mnJs[2]->setVisible(true);
}

void FrmKtHd::MnJs_Click(int index)
{
    switch (index) {
    case 0:
        lblXm_Click();
        return;
    case 1:
        if (m_groupCount >= 2) {
            m_currentGroup = m_currentGroup >= m_groupCount ? 1 : m_currentGroup + 1;
            selectGroup(m_currentGroup);
        }
        return;
    case 2:
        imgXie_Click(1);
        return;
    case 4:
        centreHorizontally(m_fraPf);
        m_fraPf->show();
        m_fraPf->raise();
        return;
    default:
        return;
    }
}

void FrmKtHd::showNextGroupItem()
{
    m_mnJs[1]->setVisible(m_drawOrder == 1 && m_groupCount > 1);
}

void FrmKtHd::MnSx_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    m_mnSx[static_cast<size_t>(m_drawOrder)]->setEnabled(true);
    m_drawOrder = index;
    m_mnSx[static_cast<size_t>(index)]->setEnabled(false);
    m_mnJs[1]->setVisible(index == 1);
    if (m_setup.readyToCall())
        setBigText(drawOrderCaption(index));
}

void FrmKtHd::MnFs_Click(int index)
{
    // "重复" and "滚动" are checkable: the menu flips the mark itself.
    Q_UNUSED(index);
}

void FrmKtHd::MnXm_Click(int index)
{
    if (QAction* previous = MnXm(m_chosenNameItem))
        previous->setEnabled(true);
    QAction* chosen = MnXm(index);
    if (!chosen || index >= static_cast<int>(m_roster.size()))
        return;
    chosen->setEnabled(false);
    m_chosenNameItem = index;
    // The item stands for roster position index + 1: numbers may repeat and
    // names may hold "_", so the caption is not taken apart.
    const Person& person = m_roster[static_cast<size_t>(index)];
    m_currentNumber = person.number;
    m_currentName = person.name;
    m_lastStepWasRandom = false;
    selectPosition(index + 1);
    if (m_setup.awaitingFirstCall()) {
        m_lblXm->setAlignment(Qt::AlignCenter);
        Form_Resize();
    }
    if (!m_mnFs[1]->isChecked())
        m_drawPool.removeValue(PoolEntry{index + 1, {}, 0});
}

void FrmKtHd::cmbZh_Click()
{
    if (QAction* old = MnZh(menuItemOfComposition(m_compositionMode)); old)
        old->setEnabled(true);
    m_compositionMode = m_cmbZh->currentIndex();
    // "组号组员号姓名" has no menu item: then every item stays available.
    if (QAction* now = MnZh(menuItemOfComposition(m_compositionMode)); now)
        now->setEnabled(false);
}

void FrmKtHd::MnZh_Click(int index)
{
    const int entry = compositionOfMenuItem(index);
    if (entry < 0)
        return;
    m_cmbZh->setCurrentIndex(entry);
    cmbZh_Click();
}

} // namespace zelvano
