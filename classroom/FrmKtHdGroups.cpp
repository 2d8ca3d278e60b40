// Grouping of the class and scoring: forming, restoring and saving groups,
// the score column and pool, writing a score, and the reset.
#include "classroom/FrmKtHd.h"

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

#include <exception>
#include <memory>

namespace zelvano
{

namespace
{

// A grouping that fails is tried again after reloading the roster this
// many times before the teacher is told.
constexpr int kGroupingRetries = 2;

} // namespace

void FrmKtHd::OptFz_Click(int index)
{
    m_grouped->chooseGroupBox(index);
}

bool FrmKtHd::applyGroupInput(int index)
{
    // The group size may be one more than the class: still one group.
    const int bound = index == 0 ? m_personCount : m_rosterEnd;
    if (!m_grouped->takeGroupInput(index, m_personCount, bound)) {
        if (index == 1)
            m_txtFz[GroupBox::Size]->setFocus();
        return false;
    }
    if (m_grouped->groupCount() <= 1)
        m_mnJs[MnJsItem::NextGroup]->setVisible(false);
    else if (m_draw.order() == DrawOrder::Sequential)
        m_mnJs[MnJsItem::NextGroup]->setVisible(true);
    return true;
}

void FrmKtHd::imgFz_Click(int index)
{
    formGroups(index == 0);
}

bool FrmKtHd::tryFormGroups(bool atRandom)
{
    if (!applyGroupInput(m_grouped->groupBox()))
        return true; // refused input: told, nothing to retry
    const int groupSize = m_grouped->groupSize();
    std::vector<Group> groups;
    try {
        groups = buildGroups(rosterPositions(m_personCount), m_grouped->groupCount(), groupSize,
                             atRandom, *m_services.random);
    } catch (const std::exception&) {
        return false;
    }
    dropEmptyPlaces(groups);
    if (!groupsCoverRoster(groups, m_personCount, groupSize))
        return false;
    assignGroups(m_roster, groups);
    showGroups(std::move(groups), false);
    return true;
}

bool FrmKtHd::formGroups(bool atRandom)
{
    for (int attempt = 0;; ++attempt) {
        if (tryFormGroups(atRandom))
            return true;
        if (m_reloadingForGrouping)
            return false; // the outer attempt reloads and reports
        if (attempt >= kGroupingRetries) {
            m_services.messages->show(
                QStringLiteral("分组没有成功，请检查点名册中的名单后按F5刷新，再重新分组。"),
                QStringLiteral("警告"), MessageIcon::Critical);
            return false;
        }
        m_reloadingForGrouping = true;
        loadRoster();
        m_reloadingForGrouping = false;
    }
}

void FrmKtHd::showGroups(std::vector<Group> groups, bool saved)
{
    showDraw(m_draw.setGroups(std::move(groups)));
    m_lblXm->setEnabled(true);
    if (saved)
        return;
    m_imgXie[ImgXieItem::SaveGroups]->show();
    m_grouped->groupsFormed(QStringLiteral("注意：点击保存按钮，可保存分组结果。"));
    m_mnJs[MnJsItem::NextGroup]->setVisible(m_grouped->groupCount() > 1);
}

bool FrmKtHd::restoreOrFormGroups(int savedGroupCount, int savedGroupSize)
{
    const RestoredGroups restored = restoreGroups(m_personCount, savedGroupCount, savedGroupSize);
    switch (restored.kind) {
    case RestoredGroups::Kind::NeverGrouped: {
        m_grouped->setGrouping(1, m_personCount);
        // The count in the box is kept unless it cannot split this class.
        const int boxCount = toInt16(Val(m_txtFz[GroupBox::Count]->text()));
        if (boxCount < 1 || boxCount > m_personCount)
            m_txtFz[GroupBox::Count]->setText(QStringLiteral("1"));
        return formGroups(false);
    }
    case RestoredGroups::Kind::LastTooLarge:
        m_services.messages->show(
            restoreFailureText(m_classes[static_cast<size_t>(m_classIndex)].name, restored,
                               m_personCount),
            QStringLiteral("警告"), MessageIcon::Critical);
        m_rollBook->closeWorkbook();
        return false;
    case RestoredGroups::Kind::Restored:
        m_grouped->setGrouping(restored.groupCount, restored.groupSize);
        assignGroups(m_roster, restored.groups);
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
    if (index != 0 || m_roster.empty())
        return;
    if (!activateClassSheet()) {
        m_rollBook->reportWriteFailure();
        return;
    }
    // Rows are written by position: only while the sheet still holds the
    // roster that was grouped.
    const CellReader cells = sheetCells();
    for (const Person& person : m_roster) {
        if (trimmedCell(cells, person.row, kNumberColumn) != person.number ||
            trimmedCell(cells, person.row, kNameColumn) != person.name) {
            m_services.messages->show(
                QStringLiteral(
                    "点名册中的名单已被改动，分组没有保存。\r\n请按F5刷新名单后重新分组。"),
                QStringLiteral("警告"), MessageIcon::Critical);
            return;
        }
    }
    std::vector<CellWrite> writes;
    for (const Person& person : m_roster) {
        writes.push_back({person.row, kGroupColumn, double(person.group), personAnchor(person)});
        writes.push_back({person.row, kMemberColumn, double(person.member), personAnchor(person)});
    }
    if (!m_rollBook->write(writes))
        return; // a cell refused the grouping; the teacher was told which
    if (!m_rollBook->commit())
        return;
    m_imgXie[ImgXieItem::SaveGroups]->hide();
    m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmKtHd::writeScore()
{
    // A rolling name is nobody's call yet.
    const Person* person = personAt(m_roster, QString::number(m_currentPosition));
    if (!person || isRolling())
        return;
    if (scoreKeptAside(*person)) {
        tellScoreKeptAside(*person);
        return;
    }
    if (m_classIndex < 0 || m_classIndex >= static_cast<int>(m_classes.size())) {
        m_rollBook->reportWriteFailure();
        return;
    }
    const QString sheet = m_classes[static_cast<size_t>(m_classIndex)].name;
    // Points the roll book still holds unsaved for this person are only
    // saved by another press, never added twice.
    if (m_rollBook->changeFor(sheet, m_scoreColumn, personAnchor(*person)) == ChangeState::None) {
        auto score = std::make_shared<ScoreRecord>(sheet, *person, m_scoreColumn,
                                                   Val(m_cmbFs0->currentText()), m_todayText);
        const RecordStatus recorded = m_rollBook->record(score);
        if (recorded == RecordStatus::Unreachable) {
            m_rollBook->reportWriteFailure();
            return;
        }
        // A person gone from the sheet or a refused cell was told, and the
        // button stays for another try.
        if (recorded != RecordStatus::Written)
            return;
        // In the workbook now: from here on it can be taken back, saved or not.
        m_lastScore = std::move(score);
        m_mnCx->setEnabled(true);
    } else if (!m_rollBook->openRollBook()) {
        m_rollBook->reportWriteFailure();
        return;
    }
    // The points are in the workbook now; a failed save keeps them there
    // and a retry only saves, so they are never added twice.
    if (!m_rollBook->commit())
        return;
    if (scoreKeptAside(*person)) {
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
    if (!m_lastScore || isRolling())
        return;
    const RecordStatus status = m_rollBook->takeBack(m_lastScore);
    if (status == RecordStatus::Unreachable) {
        m_rollBook->reportWriteFailure(); // the item stays for another try
        return;
    }
    // Taken back, or refused and told (a cell changed since): never again.
    const std::shared_ptr<ScoreRecord> score = std::move(m_lastScore);
    forgetLastScore();
    if (status != RecordStatus::Written)
        return;
    const Person& person = score->person();
    m_report->record(
        DrawEventKind::ScoreTakenBack, score->sheet(),
        QStringLiteral("%1 %2 %3分").arg(person.number, person.name, numberText(score->points())));
    // A failed save keeps the take-back waiting for the next access.
    m_rollBook->commit();
    // Nobody was called since: the same person is current, to be scored
    // again; the pool is as the draw left it. No cue: nothing was won.
    showWriteItems(true);
    if (m_setup.readyToCall())
        placeToolBars();
}

void FrmKtHd::forgetLastScore()
{
    m_lastScore.reset();
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

bool FrmKtHd::scoreKeptAside(const Person& person) const
{
    if (m_classIndex < 0 || m_classIndex >= static_cast<int>(m_classes.size()))
        return false;
    return m_rollBook->changeFor(m_classes[static_cast<size_t>(m_classIndex)].name, m_scoreColumn,
                                 personAnchor(person)) == ChangeState::KeptAside;
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
    // The session knows the class even when its pool cannot be read: a
    // name is still chosen by its position.
    m_draw.setValues(rosterPositions(static_cast<int>(m_roster.size())));
    if (m_roster.empty() || !activateClassSheet()) {
        m_draw.setPool({});
        return;
    }
    const CellReader cells = sheetCells();
    m_scoreColumn = chooseScoreColumn(cells, m_cmbPfWz->currentIndex());
    fillScorePool(m_draw, m_roster, cells, m_scoreColumn);
}

void FrmKtHd::resetScores()
{
    if (!m_rollBook->openRollBook() || !activateClassSheet()) {
        m_services.messages->show(
            QStringLiteral("点名册打不开，重置没有完成。\r\n请检查点名册文件后再试。"),
            QStringLiteral("警告"), MessageIcon::Critical);
        return;
    }
    // The column is emptied in the rows that hold the roster's persons now;
    // a class that did not load has no roster and nothing is emptied.
    const CellReader cells = sheetCells();
    std::vector<CellWrite> writes;
    for (const Person& person : m_roster) {
        if (const auto row = scoreRow(person, cells))
            writes.push_back({*row, m_scoreColumn, QString(), personAnchor(person)});
    }
    if (!writes.empty() && !m_rollBook->write(writes))
        return; // a refused cell: told, and nothing of the reset done
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
