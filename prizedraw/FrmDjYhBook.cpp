// The prize window and the roll book: reading the prize sheet, the two list
// views, writing every award back, the reset and showing the sheet.
#include "prizedraw/FrmDjYh.h"

#include "prizedraw/logic/PrizeAward.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/ops/RollBookSession.h"
#include "shell/core/AppServices.h"
#include "shell/core/MessageService.h"
#include "shell/core/Numbers.h"
#include "shell/core/SettingsColumns.h"
#include "shell/core/SettingsStore.h"
#include "shell/core/SoundPlayer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace zelvano
{

namespace
{

const QString kWarning = QStringLiteral("警告");

void showItems(std::vector<QAction*>& actions, QMenu* menu, const std::vector<ChoiceItem>& items,
               const std::function<void(int)>& onClick)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (i >= actions.size()) {
            const int index = static_cast<int>(i);
            actions.push_back(
                menu->addAction(QString(), menu, [onClick, index] { onClick(index); }));
        }
        actions[i]->setText(items[i].caption);
        actions[i]->setVisible(true);
        actions[i]->setEnabled(items[i].enabled);
    }
    // Items of an earlier, longer sheet stay in the menu, hidden.
    for (size_t i = items.size(); i < actions.size(); ++i)
        actions[i]->setVisible(false);
}

} // namespace

void FrmDjYh::openPrizeSheet()
{
    if (!m_session->openRollBook()) {
        m_services.messages->show(QStringLiteral("请打开并检查Excel文档是否损坏。"), kWarning,
                                  MessageIcon::Critical);
        return;
    }
    const auto names = m_session->worksheetNames();
    if (!names || names->isEmpty()) {
        m_services.messages->show(QStringLiteral("找不到工作表，请检查"), kWarning,
                                  MessageIcon::Critical);
        return;
    }
    const int index = static_cast<int>(names->indexOf(QString::fromUtf16(kPrizeSheetName)));
    if (index >= 0) {
        m_prizeSheetIndex = index;
        readPrizeSheet();
    } else {
        // Without it the lists would stay empty with no hint why.
        m_services.messages->show(QStringLiteral("点名册.xls中没有“抽奖品”工作表，请检查"),
                                  kWarning, MessageIcon::Critical);
    }
    centrePanel(1.0 / 3.0);
}

void FrmDjYh::readPrizeSheet()
{
    if (!m_session->activateSheet(m_prizeSheetIndex)) {
        m_session->closeWorkbook();
        return;
    }
    const RollBookSession& book = *m_session;
    PrizeSheetData data =
        zelvano::readPrizeSheet([&book](int row, int column) { return book.cell(row, column); });
    m_chosenPrize = 0;
    m_chosenPerson = m_chkMd->isChecked() ? -1 : 0;
    if (data.prizeRegionEmpty) {
        m_services.messages->show(QStringLiteral("检测到奖品区内容为空，请检查"), kWarning,
                                  MessageIcon::Critical);
        m_session->closeWorkbook();
        // The window goes on without prizes: nothing can be drawn.
        m_data = PrizeSheetData{};
        loadPrizes();
        loadNames();
        return;
    }
    m_data = std::move(data);
    loadPrizes();
    if (m_data.prizeRowsReachNames) {
        m_services.messages->show(
            QStringLiteral("奖品区一直写到了第%1行，占了从第21行开始的名单区，"
                           "本次不使用名单抽奖。\r\n请让奖品在第20行之前结束，空出一行。")
                .arg(m_data.prizeRowCount + 2),
            kWarning, MessageIcon::Critical);
    }
    loadNames();
    if (m_data.people.empty()) {
        if (!m_chkMd->isChecked()) {
            m_chkMd->setChecked(true);
            chkMd_Click();
        }
        m_chkMd->hide();
    } else if (fixedPerson()) {
        // Names came back (after a refresh): the box can be cleared again.
        m_chkMd->show();
    }
    if (fixedPerson())
        m_mnSz[0]->setVisible(false);
    else
        m_mnSz[1]->setVisible(false);
    m_cmbMd->setVisible(!(fixedPerson() && m_chkMd->isChecked()));
}

void FrmDjYh::loadPrizes()
{
    setMainText(titleText(m_data.title, m_data.subtitle), false);
    m_cmbMd->clear();
    showItems(m_mnDj, m_mnDjMenu, prizeMenuItems(m_data.prizes),
              [this](int index) { MnDj_Click(index); });
    if (!fixedPerson())
        m_cmbMd->addItems(choiceEntries(PrizeMode::FixedPrize, m_data));
    m_prizeTickets = zelvano::prizeTickets(m_data.prizes);
    if (fixedPerson())
        m_pool.reset(m_prizeTickets);
}

void FrmDjYh::loadNames()
{
    m_lblXm2->clear();
    showItems(m_mnMd, m_mnMdMenu, nameMenuItems(m_data.people),
              [this](int index) { MnMd_Click(index); });
    if (fixedPerson())
        m_cmbMd->addItems(choiceEntries(PrizeMode::FixedPerson, m_data));
    else
        m_pool.reset(drawPoolFor(PrizeMode::FixedPrize, m_data));
}

void FrmDjYh::showPrizeList()
{
    m_lstJp->clear();
    m_lstJp->addItems(prizeListLines(m_data.prizes));
    m_lstJp->show();
    m_lstMd->hide();
    centrePanel(0.5);
}

void FrmDjYh::showNameList()
{
    m_lstMd->clear();
    m_lstMd->addItems(nameListLines(m_data.people));
    m_lstMd->setGeometry(m_lstJp->geometry());
    m_lstJp->hide();
    m_lstMd->show();
    centrePanel(0.5);
}

bool FrmDjYh::hasUnsavedAward() const
{
    return !m_unwritten.empty() || m_session->hasUnsavedChanges();
}

bool FrmDjYh::flushAwards()
{
    // Awards the roll book could not take yet go in first, in the order
    // they were made, each exactly once.
    while (!m_unwritten.empty()) {
        const PendingAward award = m_unwritten.front();
        if (!writeAward(award.prize, award.person, award.display, nullptr))
            return false;
        m_unwritten.erase(m_unwritten.begin());
    }
    return true;
}

bool FrmDjYh::writeAward(int prizeIndex, int personIndex, const QString& display,
                         AwardCells* written)
{
    if (m_prizeSheetIndex < 0 || !m_session->activateSheet(m_prizeSheetIndex))
        return false;
    const RollBookSession& book = *m_session;
    const int prizeRow = prizeIndex + 2;
    const int personRow = personIndex >= 1 ? personIndex + 20 : 0;
    const AwardCells cells =
        planAward([&book](int row, int column) { return book.cell(row, column); }, prizeRow,
                  personRow, display);
    m_session->setNumber(prizeRow, 6, cells.used);
    if (cells.writeWinners)
        m_session->setText(prizeRow, 7, cells.winners);
    if (personRow >= 1) {
        m_session->setText(personRow, 3, cells.level);
        m_session->setText(personRow, 4, cells.prizeName);
    }
    if (written)
        *written = cells;
    return true;
}

void FrmDjYh::recordAward()
{
    if (m_chosenPrize < 1 || m_chosenPrize > static_cast<int>(m_data.prizes.size()))
        return;
    Prize& prize = m_data.prizes[static_cast<size_t>(m_chosenPrize - 1)];
    const bool withPerson = !noNameList() && m_chosenPerson >= 1 &&
                            m_chosenPerson <= static_cast<int>(m_data.people.size());
    const int person = withPerson ? m_chosenPerson : 0;
    const QString display = withPerson ? m_lblXm2->text() : QString();

    // The cells change in memory first; only the save can then fail, and a
    // failed save is made good by the next access without applying the
    // award again. When the roll book cannot even be opened, the award
    // waits in the window and is written by the next access.
    AwardCells cells;
    const bool written = flushAwards() && writeAward(m_chosenPrize, person, display, &cells);
    if (!written)
        m_unwritten.push_back({m_chosenPrize, person, display});
    // The level and prize as the sheet holds them now.
    const QString level = written ? cells.level : prize.level;
    const QString prizeName = written ? cells.prizeName : prize.name;

    prize.remaining = std::max(prize.remaining - 1, 0);
    prize.used = toInt16(prize.used + 1);
    if (QAction* item = MnDj(m_chosenPrize - 1); item && prize.remaining < 1)
        item->setEnabled(false);
    if (withPerson) {
        if (QAction* item = MnMd(person - 1))
            item->setEnabled(false);
        Entrant& winner = m_data.people[static_cast<size_t>(person - 1)];
        winner.levelWon = level.trimmed();
        winner.prizeWon = prizeName.trimmed();
    }
    m_awardCount = toInt16(m_awardCount + 1);
    m_lstHj->insertItem(0, winnerLine(m_awardCount, display, level, prizeName));
    m_lstHj->insertItem(0, QString());
    m_lstHj->show();

    if (!written || !m_session->save()) {
        m_session->reportWriteFailure();
        m_imgXie->setVisible(hasUnsavedAward());
        return;
    }
    m_imgXie->setVisible(hasUnsavedAward());
    m_imgOk->show();
    m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmDjYh::imgXie_Click()
{
    if (isRolling() || !hasUnsavedAward())
        return;
    const bool saved = flushAwards() && m_session->save();
    if (!saved)
        m_session->reportWriteFailure();
    m_imgXie->setVisible(hasUnsavedAward());
    if (saved)
        m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmDjYh::warnUnwrittenAwards()
{
    if (m_unwritten.empty() || flushAwards())
        return;
    QStringList lines;
    for (const PendingAward& award : m_unwritten) {
        const Prize& prize = m_data.prizes[static_cast<size_t>(award.prize - 1)];
        lines << award.display + QStringLiteral("获") + prize.level + QLatin1Char(',') + prize.name;
    }
    m_services.messages->show(QStringLiteral("以下获奖记录没能写入点名册.xls，请手动补记：\r\n") +
                                  lines.join(QStringLiteral("\r\n")),
                              QStringLiteral("错误"), MessageIcon::Critical);
    m_unwritten.clear();
}

void FrmDjYh::resetAwards()
{
    if (isRolling())
        return;
    // Awards still waiting are written first, so the winners' record (G)
    // keeps them; the reset then clears F, C and D.
    if (!flushAwards() || m_prizeSheetIndex < 0 || !m_session->activateSheet(m_prizeSheetIndex)) {
        m_session->reportWriteFailure();
        return;
    }
    const int prizeCount = static_cast<int>(m_data.prizes.size());
    const int nameCount = static_cast<int>(m_data.people.size());
    for (const QPoint& cell : resetCells(prizeCount, nameCount))
        m_session->setText(cell.y(), cell.x(), QString());
    // Saved at once: closing before the next award must not lose the reset.
    if (!m_session->save())
        m_session->reportWriteFailure();
    m_imgXie->setVisible(hasUnsavedAward());

    m_services.settings->writeResetValues({"DbjYs", "DmdYn", "DTs"});
    imgRefrash_Click();
}

void FrmDjYh::showWorkbook()
{
    m_session->showRollBook(std::max(m_prizeSheetIndex, 0));
}

} // namespace zelvano
