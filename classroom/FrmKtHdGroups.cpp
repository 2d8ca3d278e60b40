// Grouping of the class and scoring: forming, restoring and saving groups,
// the score column and pool, writing a score, and the reset.
#include "classroom/FrmKtHd.h"

#include "classroom/logic/RollCallText.h"
#include "presentation/GroupedDraw.h"
#include "presentation/SpeechTimer.h"
#include "presentation/parts/DrawReport.h"
#include "presentation/parts/WindowParts.h"
#include "rollbook/gui/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QToolButton>

#include <memory>

namespace zelvano
{

void FrmKtHd::OptFz_Click(int index)
{
    m_grouped->chooseGroupBox(index);
}

bool FrmKtHd::applyGroupInput(int index)
{
    const int bound = index == 0 ? m_session.personCount() : m_session.groupSizeBound();
    if (!m_grouped->takeGroupInput(index, m_session.personCount(), bound)) {
        if (index == 1)
            m_txtFz[GroupBox::Size]->setFocus();
        return false;
    }
    if (m_grouped->groupCount() <= 1)
        m_mnJs[MnJsItem::NextGroup]->setVisible(false);
    else if (m_session.draw().order() == DrawOrder::Sequential)
        m_mnJs[MnJsItem::NextGroup]->setVisible(true);
    return true;
}

void FrmKtHd::imgFz_Click(int index)
{
    formGroups(index == 0);
}

bool FrmKtHd::formGroups(bool atRandom)
{
    if (!applyGroupInput(m_grouped->groupBox()))
        return true; // refused input: told, nothing to retry
    GroupingOutcome outcome =
        m_session.formGroups(atRandom, m_grouped->groupCount(), m_grouped->groupSize());
    for (const BookOutcome& reload : outcome.reloads)
        m_rollBook->tell(reload);
    if (outcome.formed) {
        showGroups(std::move(outcome.groups), false);
        return true;
    }
    if (!outcome.reloads.empty()) {
        // The roster was read again between the attempts: it stands with
        // the grouping the sheet holds.
        resetMenuItems();
        m_lblFzBt->setText(groupPanelTitle(m_session.personCount()));
        showGroups(std::move(outcome.groups), true);
    }
    m_services.messages->show(
        QStringLiteral("分组没有成功，请检查点名册中的名单后按F5刷新，再重新分组。"),
        QStringLiteral("警告"), MessageIcon::Critical);
    return false;
}

void FrmKtHd::showGroups(std::vector<Group> groups, bool saved)
{
    showDraw(m_session.draw().setGroups(std::move(groups)));
    m_lblXm->setEnabled(true);
    if (saved)
        return;
    m_imgXie[ImgXieItem::SaveGroups]->show();
    m_grouped->groupsFormed(QStringLiteral("注意：点击保存按钮，可保存分组结果。"));
    m_mnJs[MnJsItem::NextGroup]->setVisible(m_grouped->groupCount() > 1);
}

bool FrmKtHd::restoreOrFormGroups()
{
    const RestoredGroups restored = m_session.savedGroups();
    const int personCount = m_session.personCount();
    switch (restored.kind) {
    case RestoredGroups::Kind::NeverGrouped: {
        m_grouped->setGrouping(1, personCount);
        // The count in the box is kept unless it cannot split this class.
        const int boxCount = toInt16(Val(m_txtFz[GroupBox::Count]->text()));
        if (boxCount < 1 || boxCount > personCount)
            m_txtFz[GroupBox::Count]->setText(QStringLiteral("1"));
        return formGroups(false);
    }
    case RestoredGroups::Kind::LastTooLarge:
        m_services.messages->show(restoreFailureText(m_session.className(), restored, personCount),
                                  QStringLiteral("警告"), MessageIcon::Critical);
        m_rollBook->closeWorkbook();
        return false;
    case RestoredGroups::Kind::Restored:
        m_grouped->setGrouping(restored.groupCount, restored.groupSize);
        m_session.takeGroups(restored.groups);
        showGroups(restored.groups, true);
        return true;
    }
    return false;
}

// --- Saving the grouping and writing scores ---------------------------------------

void FrmKtHd::imgXie_Click(int index)
{
    if (index == 1) {
        writeScore();
        return;
    }
    if (index != 0)
        return;
    const GroupSaveOutcome saved = m_session.saveGroups();
    switch (saved.step) {
    case GroupSave::NoRoster:
        return;
    case GroupSave::RosterChanged:
        m_rollBook->tell(saved.book);
        m_services.messages->show(
            QStringLiteral("点名册中的名单已被改动，分组没有保存。\r\n请按F5刷新名单后重新分组。"),
            QStringLiteral("警告"), MessageIcon::Critical);
        return;
    case GroupSave::Written:
        break;
    }
    // A refused cell was named; a sheet that could not be opened is told.
    if (!m_rollBook->commit(saved.book))
        return;
    m_imgXie[ImgXieItem::SaveGroups]->hide();
    m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmKtHd::writeScore()
{
    // A rolling name is nobody's call yet.
    if (isRolling())
        return;
    const ScoreOutcome outcome = m_session.writeScore(Val(m_cmbFs0->currentText()));
    switch (outcome.step) {
    case ScoreStep::NobodyCalled:
        return;
    case ScoreStep::KeptAside:
        tellScoreKeptAside(*m_session.calledPerson());
        return;
    case ScoreStep::Recorded:
        break;
    }
    m_mnCx->setEnabled(m_session.lastScore() != nullptr);
    // A person gone from the sheet or a refused cell is told, and the button
    // stays for another try. The points in the workbook stay there when the
    // save fails, and a retry only saves, so they are never added twice.
    if (!m_rollBook->commit(outcome.record))
        return;
    if (m_session.scoreKeptAside(*m_session.calledPerson())) {
        // Another program saved the file and the person's row is gone: the
        // teacher was told, the score waits, and no success is played.
        return;
    }
    showWriteItems(false);
    showScoreEditor(false);
    m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmKtHd::MnCx_Click()
{
    if (!m_session.lastScore() || isRolling())
        return;
    const std::shared_ptr<ScoreRecord> score = m_session.lastScore();
    const RecordOutcome outcome = m_session.takeBackLastScore();
    // Unreachable, the item stays for another try.
    m_mnCx->setEnabled(m_session.lastScore() != nullptr);
    if (outcome.status == RecordStatus::Written) {
        const Person& person = score->person();
        m_report->record(DrawEventKind::ScoreTakenBack, score->sheet(),
                         QStringLiteral("%1 %2 %3分")
                             .arg(person.number, person.name, numberText(score->points())));
    }
    // A failed save keeps the take-back waiting for the next access.
    m_rollBook->commit(outcome);
    if (outcome.status != RecordStatus::Written)
        return;
    // Nobody was called since: the same person is current, to be scored
    // again; the pool is as the draw left it. No cue: nothing was won.
    showWriteItems(true);
    if (m_setup.readyToCall())
        placeToolBars();
}

void FrmKtHd::forgetLastScore()
{
    m_session.forgetLastScore();
    if (m_mnCx)
        m_mnCx->setEnabled(false);
}

void FrmKtHd::tellScoreKeptAside(const Person& person)
{
    m_services.messages->show(
        QStringLiteral("%1 %2 的分数还没有写入%3：另一个程序保存%3时，这个人所在的行已经不在了。"
                       "\r\n分数仍由本程序保留，%3中重新有这一行时会写进去；"
                       "也可以按F5刷新名单后重新点名。")
            .arg(person.number, person.name, m_rollBook->rollBookFileName()),
        QStringLiteral("提醒"), MessageIcon::Information);
}

// The score editor beside the score bar, opened and closed by its button.
void FrmKtHd::showScoreEditor(bool open)
{
    m_scoreEditorOpen = open;
    m_fraPf3->setVisible(open);
}

void FrmKtHd::imgDf0_Click()
{
    showScoreEditor(!m_scoreEditorOpen);
    if (m_setup.readyToCall())
        placeToolBars();
}

void FrmKtHd::cmbPfWz_Click()
{
    prepareScorePool();
}

void FrmKtHd::prepareScorePool()
{
    // Before a class is read there is no sheet to tell about.
    const BookOutcome read = m_session.prepareScorePool(m_cmbPfWz->currentIndex());
    if (!m_session.roster().empty())
        m_rollBook->tell(read);
}

void FrmKtHd::resetScores()
{
    const BookOutcome cleared = m_session.clearScores();
    // A refused cell is named, and nothing of the reset is done.
    if (!m_rollBook->tell(cleared)) {
        if (cleared.status != BookStatus::Refused) {
            m_services.messages->show(
                QStringLiteral("点名册打不开，重置没有完成。\r\n请检查点名册文件后再试。"),
                QStringLiteral("警告"), MessageIcon::Critical);
        }
        return;
    }
    resetSettings();
    // The settings are written; a column that could not be saved stays
    // pending and is saved by the next access to the roll book.
    if (!m_rollBook->commit())
        return;
    loadRoster();
    if (m_classLoaded)
        showGroupingPrompt();
}

} // namespace zelvano
