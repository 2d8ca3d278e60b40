// The draw of the number and seat window: the rolling display, the result,
// the group lists it is shown through, order and direct choice.
#include "numberdraw/FrmYh.h"

#include "draw/RollingDraw.h"
#include "draw/Composition.h"
#include "draw/GroupCursor.h"
#include "draw/ValueLists.h"
#include "presentation/SpeechTimer.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"
#include "shell/gui/ResultLabel.h"
#include "shell/gui/WindowParts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

void FrmYh::imgOk_MouseDown()
{
    m_speechTimer->fraJs2()->hide();
    m_speechTimer->fraJs3()->hide();
    lblXm_Click();
}

void FrmYh::lblXm_Click()
{
    if (m_setupStage < 4 || m_rolling->isRolling())
        return;
    if (m_drawPool.size() < 1) {
        const MessageAnswer answer = m_services.messages->show(
            QStringLiteral("所有人都抽到了，还要继续码？"), QStringLiteral("提醒"),
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    m_imgOk->hide();
    m_speechTimer->fraJs2()->hide();
    m_lblXm->setAlignment(Qt::AlignCenter);
    m_speechTimer->cancelForDraw();

    if (m_mnFs[2]->isChecked()) {
        m_rolling->start();
    } else {
        drawStep();
        if (!m_mnFs[1]->isChecked())
            removeFromPool();
        m_services.sound->playSound(QStringLiteral("sound\\type.wav"));
        finishDraw();
    }
    if (m_setupStage == 4)
        Form_Resize();
    m_setupStage = 5;
}

void FrmYh::Timer1_Timer()
{
    m_rolling->Timer1_Timer();
}

void FrmYh::comeToRest()
{
    if (!m_mnFs[1]->isChecked())
        removeFromPool();
    finishDraw();
}

// The closing steps of a draw; the cue at rest has just played.
void FrmYh::finishDraw()
{
    m_speechTimer->rearmAfterDraw();
    m_imgOk->show();
    m_fraTs->showLook(false);
    announceResult(m_lblXm);
}

void FrmYh::drawStep()
{
    m_services.random->reseed();
    if (m_list2->count() == 0)
        return;
    if (m_drawOrder == 0) {
        if (m_drawPool.pickRandom(*m_services.random) == 0)
            return;
        m_lastStepWasRandom = true;
        selectValue(m_drawPool.at(m_drawPool.drawnIndex()));
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

void FrmYh::removeFromPool()
{
    // A random pick knows its pool position; a sequential step or a direct
    // choice takes out the value actually shown, wherever it stands now.
    if (m_lastStepWasRandom)
        m_drawPool.removeDrawn();
    else
        removeShownValue();
}

void FrmYh::removeShownValue()
{
    if (QListWidgetItem* item = m_list1->currentItem())
        m_drawPool.removeValue(item->text());
}

void FrmYh::selectValue(const QString& value)
{
    const auto found = findInGroups(m_groups, value);
    if (!found)
        return;
    selectGroup(found->group + 1);
    selectMember(found->member);
}

void FrmYh::selectGroup(int groupNumber)
{
    m_list2->setCurrentRow(groupNumber - 1);
    List2_Click();
}

void FrmYh::selectMember(int memberIndex)
{
    m_list1->setCurrentRow(memberIndex);
    List1_Click();
}

void FrmYh::List1_Click()
{
    if (m_fraFz->isVisible())
        return;
    QListWidgetItem* item = m_list1->currentItem();
    if (!item)
        return;
    m_currentValue = item->text();
    m_currentMember = m_list1->currentRow() + 1;
    if (seatMode())
        m_currentValue = seatCaption(m_currentValue);
    m_labCz->setText(memberLine(m_currentGroup, m_currentMember, m_currentValue));
    setBigText(composeResult(m_compositionMode, m_currentGroup, m_currentMember, m_currentValue,
                             seatMode()));
}

void FrmYh::MnJs_Click(int index)
{
    if (index == 0) {
        if (m_fraFz->isVisible())
            m_mnFs[2]->setChecked(false);
        lblXm_Click();
    } else if (index == 1 && m_groupCount >= 2) {
        m_currentGroup = m_currentGroup >= m_groupCount ? 1 : m_currentGroup + 1;
        selectGroup(m_currentGroup);
    }
}

void FrmYh::MnSx_Click(int index)
{
    if (m_drawOrder >= 0 && m_drawOrder < 2)
        m_mnSx[static_cast<size_t>(m_drawOrder)]->setEnabled(true);
    m_drawOrder = index;
    m_mnSx[static_cast<size_t>(index)]->setEnabled(false);
    m_mnJs[1]->setVisible(index == 1);
    if (m_setupStage > 3)
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
    m_chosenValueItem = index;
    m_disabledValueItem = index;
    const QString value = chosen->text().trimmed();
    m_currentValue = value;
    if (value.isEmpty())
        return;
    m_lastStepWasRandom = false;
    selectValue(value);
    if (m_setupStage == 4) {
        m_lblXm->setAlignment(Qt::AlignCenter);
        Form_Resize();
    }
    if (!m_mnFs[1]->isChecked())
        m_drawPool.removeValue(value);
}

// --- Grouping --------------------------------------------------------------

void FrmYh::OptFz_Click(int index)
{
    chooseGroupBox({m_txtFz[0], m_txtFz[1]}, index, m_groupCount, m_groupSize);
}

bool FrmYh::applyGroupInput(int index)
{
    const int n = static_cast<int>(m_valueList.size());
    const GroupInput input =
        zelvano::applyGroupInput(index, m_txtFz[static_cast<size_t>(index)]->text(), n, n);
    if (!input.accepted) {
        m_groupMessages.show(input.message, QStringLiteral("Zelvano"), MessageIcon::None);
        return false;
    }
    m_groupCount = input.groupCount;
    m_groupSize = input.groupSize;
    m_txtFz[static_cast<size_t>(1 - index)]->setText(
        QString::number(index == 0 ? m_groupSize : m_groupCount));
    m_imgFz[0]->show();
    m_imgFz[1]->show();
    m_lblXx2->setText(QStringLiteral("-> 点击“随机/顺序”图标正式分组"));
    return true;
}

void FrmYh::imgFz_Click(int index)
{
    const int box = m_optFz[0]->isChecked() ? 0 : 1;
    if (!applyGroupInput(box))
        return;
    m_groups = buildGroups(m_valueList, m_groupCount, m_groupSize, index == 0, *m_services.random);
    m_list2->clear();
    m_list1->clear();
    for (int c = 1; c <= m_groupCount; ++c)
        m_list2->addItem(QString::number(c));
    if (m_list2->count() > 0)
        selectGroup(1);
    m_lblXm->setEnabled(true);
    m_imgFz[0]->hide();
    m_imgFz[1]->hide();
    m_lblXx2->setText(QStringLiteral("-> 修改数据，回车改变另一数"));
}

void FrmYh::List2_Click()
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
        for (const QString& member : group.members)
            m_list1->addItem(member);
    }
    m_labXx->setText(
        groupSummary(static_cast<int>(m_valueList.size()), m_groupCount, m_currentGroup, count));
}

void FrmYh::cmbZh_Click()
{
    if (m_compositionMode >= 0 && m_compositionMode < 3)
        m_mnZh[static_cast<size_t>(m_compositionMode)]->setEnabled(true);
    m_compositionMode = m_cmbZh->currentIndex();
    if (m_compositionMode >= 0 && m_compositionMode < 3)
        m_mnZh[static_cast<size_t>(m_compositionMode)]->setEnabled(false);
}

void FrmYh::MnZh_Click(int index)
{
    m_cmbZh->setCurrentIndex(index);
    cmbZh_Click();
}

} // namespace zelvano
