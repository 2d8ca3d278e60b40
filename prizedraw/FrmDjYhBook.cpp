// The prize window and the roll book: reading the prize sheet, the two list
// views, writing every award back, the reset and showing the sheet.
#include "prizedraw/FrmDjYh.h"

#include "presentation/parts/DrawReport.h"
#include "prizedraw/logic/PrizeAward.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "rollbook/gui/RollBookSession.h"
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

#include <memory>

namespace zelvano
{

namespace
{

const QString kWarning = QStringLiteral("警告");

} // namespace

void FrmDjYh::openPrizeSheet()
{
    if (!m_session->openRollBook()) {
        m_services.messages->show(QStringLiteral("请打开并检查Excel文档是否损坏。"), kWarning,
                                  MessageIcon::Critical);
        refuseSheet(SheetProblem::Unreadable);
        return;
    }
    const auto names = m_session->worksheetNames();
    if (!names || names->isEmpty()) {
        m_services.messages->show(QStringLiteral("找不到工作表，请检查"), kWarning,
                                  MessageIcon::Critical);
        refuseSheet(SheetProblem::NoWorksheet);
        return;
    }
    if (names->contains(prizeSheetName())) {
        readPrizeSheet();
    } else {
        // Without it the lists would stay empty with no hint why.
        m_services.messages->show(
            QStringLiteral("%1中没有“抽奖品”工作表，请检查").arg(m_session->rollBookFileName()),
            kWarning, MessageIcon::Critical);
        refuseSheet(SheetProblem::NoPrizeSheet);
    }
    centrePanel(1.0 / 3.0);
}

void FrmDjYh::refuseSheet(SheetProblem problem)
{
    m_draw.refuse(sheetProblemText(problem, m_session->rollBookFileName()));
    setMainText(m_draw.mainText(), m_draw.textBesidePanel());
}

void FrmDjYh::readPrizeSheet()
{
    if (!m_session->activateSheet(prizeSheetName())) {
        // Its cells are damaged: the host is told, as when the sheet cannot
        // be found, and the window keeps what it read before.
        m_services.messages->show(QStringLiteral("请打开并检查Excel文档是否损坏。"), kWarning,
                                  MessageIcon::Critical);
        m_session->closeWorkbook();
        refuseSheet(SheetProblem::DamagedSheet);
        return;
    }
    const RollBookSession& book = *m_session;
    PrizeSheetData sheet =
        zelvano::readPrizeSheet([&book](int row, int column) { return book.cell(row, column); });
    if (sheet.prizeRegionEmpty) {
        m_services.messages->show(QStringLiteral("检测到奖品区内容为空，请检查"), kWarning,
                                  MessageIcon::Critical);
        m_session->closeWorkbook();
        // The window goes on without prizes: nothing can be drawn.
        loadSheet(PrizeSheetData{});
        refuseSheet(SheetProblem::TooFewPrizes);
        return;
    }
    loadSheet(std::move(sheet));
    if (m_draw.sheet().prizeRowsReachNames) {
        m_services.messages->show(
            QStringLiteral("奖品区一直写到了第%1行，占了从第21行开始的名单区，"
                           "本次不使用名单抽奖。\r\n请让奖品在第20行之前结束，空出一行。")
                .arg(prizeRowOf(m_draw.sheet().prizeRowCount)),
            kWarning, MessageIcon::Critical);
    }
    if (fixedPerson())
        m_mnSz[MnSzItem::PrizeLevels]->setVisible(false);
    else
        m_mnSz[MnSzItem::NameLists]->setVisible(false);
    m_cmbMd->setVisible(!(fixedPerson() && m_draw.withoutNames()));
}

void FrmDjYh::showPrizeList()
{
    m_lblXx->setText(QStringLiteral("请确认获奖信息"));
    m_lstJp->clear();
    m_lstJp->addItems(prizeListLines(m_draw.sheet().prizes));
    m_lstJp->show();
    m_lstMd->hide();
    centrePanel(0.5);
}

void FrmDjYh::showNameList()
{
    m_lblXx->setText(QStringLiteral("请确认获奖名单"));
    m_lstMd->clear();
    m_lstMd->addItems(nameListLines(m_draw.sheet().people));
    m_lstMd->setGeometry(m_lstJp->geometry());
    m_lstJp->hide();
    m_lstMd->show();
    centrePanel(0.5);
}

bool FrmDjYh::hasUnsavedAward() const
{
    return m_session->hasUnsavedChanges();
}

QString FrmDjYh::prizeSheetName()
{
    return QString::fromUtf16(kPrizeSheetName);
}

int FrmDjYh::prizeSheetIndex() const
{
    return m_session->openWorksheetIndex(prizeSheetName());
}

void FrmDjYh::recordAward()
{
    if (!m_draw.awardPrize())
        return;
    const Prize& prize = *m_draw.awardPrize();
    const QString display = m_draw.winnerDisplay();
    const AwardTarget target = awardTarget(prize, m_draw.winner(), display);

    // The cells change in memory first; only the save can then fail, and a
    // failed save is made good by the next access without applying the
    // award again. When the roll book cannot even be opened, or the sheet
    // refuses the award, it waits in the roll book and is written by the
    // next access. Awards waiting already go first, in the order made.
    m_session->applyWaiting();
    const auto award = std::make_shared<AwardRecord>(target);
    const RecordStatus result = m_session->record(award);
    const bool written = result == RecordStatus::Written;
    // The level and prize as the sheet holds them now.
    const QString level = written ? award->planned().level : prize.level;
    const QString prizeName = written ? award->planned().prizeName : prize.name;

    const QString line = m_draw.awarded(level, prizeName, award);
    showVoidable();
    showMenuStates();
    showChoices();
    if (m_draw.choiceMenuApplies() && m_draw.choices().isEmpty())
        m_cmbMd->hide();
    refreshOpenList();
    m_lstHj->insertItem(0, line);
    m_lstHj->insertItem(0, QString());
    fitWinnersList();
    m_lstHj->show();

    // Whatever reached the cells is saved, awards that waited included.
    if (!m_session->commit(result)) {
        m_imgXie->setVisible(hasUnsavedAward());
        return;
    }
    m_imgXie->setVisible(hasUnsavedAward());
    if (!written)
        return; // refused: the host was told why
    m_imgOk->show();
    m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

void FrmDjYh::imgXie_Click()
{
    if (isRolling() || !hasUnsavedAward())
        return;
    m_session->applyWaiting();
    const bool saved = m_session->commit();
    m_imgXie->setVisible(hasUnsavedAward());
    if (saved && !hasUnsavedAward())
        m_services.sound->playSound(QStringLiteral("sound\\yes.wav"));
}

bool FrmDjYh::writeWaitingAwards()
{
    if (!m_session->hasUnsavedChanges())
        return true;
    const bool allWritten = m_session->applyWaiting();
    const bool saved = m_session->save();
    m_imgXie->setVisible(hasUnsavedAward());
    if (saved && allWritten)
        return true;
    m_services.messages->show(unwrittenRefreshText(m_session->rollBookFileName()),
                              QStringLiteral("错误"), MessageIcon::Critical);
    return false;
}

void FrmDjYh::warnUnwrittenAwards()
{
    if (!m_session->hasWaitingRecords() || m_session->applyWaiting())
        return;
    // Each award says its own prize: the window's tables may have been read
    // again since it was drawn.
    m_services.messages->show(QStringLiteral("以下获奖记录没能写入%1，请手动补记：\r\n")
                                      .arg(m_session->rollBookFileName()) +
                                  m_session->waitingRecordTexts().join(QStringLiteral("\r\n")),
                              QStringLiteral("错误"), MessageIcon::Critical);
    m_session->dropWaitingRecords();
}

void FrmDjYh::resetAwards()
{
    if (isRolling())
        return;
    // One click would clear a whole event's awards: asked first, as a void is.
    if (m_services.messages->show(QStringLiteral("确定清除全部获奖记录吗？"),
                                  QStringLiteral("重置"), MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // Awards still waiting are written first, so the winners' record (G)
    // keeps them; the reset then clears F, C and D of the rows the sheet
    // holds now, found by its name.
    if (!m_session->beginWrite(prizeSheetName(), RollBookSession::Waiting::AppliedFirst))
        return;
    const RollBookSession& book = *m_session;
    if (!m_session->write(
            resetWrites([&book](int row, int column) { return book.cell(row, column); })))
        return; // a refused cell: named to the host, nothing cleared
    // Saved at once: closing before the next award must not lose the reset.
    m_session->commit();
    m_imgXie->setVisible(hasUnsavedAward());

    m_services.settings->writeResetValues(kResetSettings);
    // Every award is cleared: none stands to be voided, and the voided may
    // win again.
    m_draw.clearVoided();
    showVoidable();
    rereadSheet();
}

void FrmDjYh::MnZf_Click()
{
    const StandingAward* newest = m_draw.newestAward();
    if (isRolling() || !newest)
        return;
    const bool redraw = !fixedPerson();
    if (m_services.messages->show(voidQuestion(newest->number, newest->personName, newest->level,
                                               newest->prizeName, redraw),
                                  QStringLiteral("作废重抽"), MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // Written like an award: one the file cannot take now waits and is
    // written at the next access, once.
    const RecordStatus status = m_session->takeBack(newest->record);
    if (status == RecordStatus::Changed)
        return; // the sheet no longer holds this award: told, nothing changed
    const StandingAward voided = m_draw.voidNewest();
    m_report->record(DrawEventKind::Voided,
                     voided.level.trimmed() + QLatin1Char(' ') + voided.prizeName.trimmed(),
                     voided.recorded);
    removeWinnerLine(voided.line);
    showMenuStates();
    showChoices();
    showEnd();
    refreshOpenList();
    showVoidable();
    m_session->commit(status);
    m_imgXie->setVisible(hasUnsavedAward());
    if (redraw) {
        if (const int t = m_draw.prizeIndexOf(voided); t >= 0)
            MnDj_Click(t);
    }
}

void FrmDjYh::refreshOpenList()
{
    if (!m_listPanelOpen)
        return;
    // The open list shows the sheet as it is now; which one stays up.
    m_lstJp->clear();
    m_lstJp->addItems(prizeListLines(m_draw.sheet().prizes));
    m_lstMd->clear();
    m_lstMd->addItems(nameListLines(m_draw.sheet().people));
}

void FrmDjYh::removeWinnerLine(const QString& line)
{
    // Each award put its line and an empty line above it on top.
    for (int row = 0; row < m_lstHj->count(); ++row) {
        if (m_lstHj->item(row)->text() != line)
            continue;
        delete m_lstHj->takeItem(row);
        if (row > 0 && m_lstHj->item(row - 1)->text().isEmpty())
            delete m_lstHj->takeItem(row - 1);
        fitWinnersList();
        return;
    }
}

void FrmDjYh::showVoidable()
{
    m_mnZf->setEnabled(m_draw.newestAward() != nullptr);
}

void FrmDjYh::showWorkbook()
{
    m_session->showRollBook(prizeSheetName());
}

} // namespace zelvano
