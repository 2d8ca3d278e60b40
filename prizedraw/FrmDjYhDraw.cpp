// The draws of the prize window: the start button, fixing a person or a
// prize, clicks on the display, the rolling display and what it shows.
#include "prizedraw/FrmDjYh.h"

#include "draw/RollingDraw.h"

#include "presentation/parts/DrawReport.h"
#include "presentation/parts/ResultLabel.h"
#include "prizedraw/logic/PrizeTexts.h"
#include "shell/core/AppFolders.h"
#include "shell/core/AppServices.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace zelvano
{

namespace
{

// 900 twips between the picture and the bottom of the window.
constexpr int kPictureMargin = 60;
// Pictures larger than this are decoded at a reduced size: a photograph
// straight from a camera must not stall the rolling display.
constexpr int kLargestPictureSide = 2048;

QPixmap loadPicture(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide)) {
        reader.setScaledSize(
            size.scaled(kLargestPictureSide, kLargestPictureSide, Qt::KeepAspectRatio));
    }
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

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

void FrmDjYh::loadSheet(PrizeSheetData sheet)
{
    m_draw.load(std::move(sheet));
    setMainText(m_draw.mainText(), m_draw.textBesidePanel());
    m_lblXm2->clear();
    showItems(m_mnDj, m_mnDjMenu, prizeMenuItems(m_draw.sheet().prizes),
              [this](int index) { MnDj_Click(index); });
    showItems(m_mnMd, m_mnMdMenu, nameMenuItems(m_draw.sheet().people),
              [this](int index) { MnMd_Click(index); });
    showMenuStates(); // a person whose award was voided stays out
    showChoices();
    showNameState();
    m_chkMd->setVisible(fixedPerson() && !m_draw.sheet().people.empty());
}

void FrmDjYh::imgOk_MouseDown()
{
    if (isRolling() || !m_setup.canDraw())
        return;
    const PrizeChoice choice = m_draw.currentChoice();
    if (choice.kind == PrizeChoice::Kind::None)
        return;
    m_imgOk->hide();
    if (choice.kind == PrizeChoice::Kind::WithoutNames) {
        startDraw();
        return;
    }
    m_fraLine->move(m_fraTs->x() - 20, 0);
    m_fraLine->show();
    if (choice.kind == PrizeChoice::Kind::Person && choice.index >= 0)
        MnMd_Click(choice.index);
    else if (choice.kind == PrizeChoice::Kind::Prize && choice.index >= 0)
        MnDj_Click(choice.index);
    if (choice.usedUp)
        takeChoice();
}

void FrmDjYh::takeChoice()
{
    m_draw.dropChoice();
    showChoices();
    if (m_draw.choices().isEmpty()) {
        m_cmbMd->hide();
        m_imgOk->hide();
    }
}

void FrmDjYh::showChoices()
{
    // Filled from the session without echoing each change back to it.
    const QSignalBlocker quiet(m_cmbMd);
    m_cmbMd->clear();
    m_cmbMd->addItems(m_draw.choices());
    m_cmbMd->setCurrentIndex(m_draw.choiceIndex());
}

void FrmDjYh::MnDj_Click(int index)
{
    if (isRolling() || !m_draw.choosePrize(index))
        return;
    m_setup.drawAsked();
    showPrize();
    startDraw();
}

void FrmDjYh::MnMd_Click(int index)
{
    if (isRolling() || !m_draw.choosePerson(index))
        return;
    m_imgJp->clear();
    m_imgJp->hide();
    showPerson();
    m_fraLine->show();
    startDraw();
}

void FrmDjYh::lblXm_MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (!m_setup.canDraw() || isRolling())
        return;
    const int menu = fixedPerson() ? 1 : 0;
    // Without names there is no names menu to offer: a click draws.
    const bool offerMenu = m_draw.choiceMenuApplies();
    if (button == Qt::RightButton) {
        if (offerMenu)
            popUpChoiceMenu(menu, globalPos);
        return;
    }
    const bool chooseFirst =
        m_setup.step() == PrizeStep::Ready || m_draw.display() == PrizeDisplay::Exhausted;
    if (chooseFirst && offerMenu) {
        popUpChoiceMenu(menu, globalPos);
        return;
    }
    startDraw();
}

void FrmDjYh::popUpChoiceMenu(int item, QPoint globalPos)
{
    QMenu* menu = item == 0 ? m_mnDjMenu : m_mnMdMenu;
    menu->popup(globalPos.isNull() ? QCursor::pos() : globalPos);
}

void FrmDjYh::startDraw()
{
    m_stage->cutOff();
    if (isRolling() || !m_setup.canDraw())
        return;
    m_imgOk->hide();
    const DrawStart start = m_draw.start();
    if (start != DrawStart::Finished)
        m_setup.drawAsked();
    switch (start) {
    case DrawStart::Finished:
        showEnd();
        break;
    case DrawStart::Exhausted:
        showEnd();
        showStartButton();
        break;
    case DrawStart::ChooseFromMenu:
        showStartButton();
        popUpChoiceMenu(fixedPerson() ? 1 : 0, {});
        break;
    case DrawStart::Roll:
        m_report->drawStarts(m_draw.pool().size());
        m_stage->rolling()->start();
        break;
    }
}

void FrmDjYh::showStartButton()
{
    // Offered again while the choice list has something to take.
    m_imgOk->setVisible(m_draw.currentChoice().kind != PrizeChoice::Kind::None);
}

void FrmDjYh::showEnd()
{
    setMainText(m_draw.mainText(), m_draw.textBesidePanel());
    m_imgJp->clear();
    m_imgJp->hide();
    m_lblXm2->clear();
    m_fraLine->hide();
}

void FrmDjYh::Timer1_Timer()
{
    m_stage->rolling()->Timer1_Timer();
}

void FrmDjYh::comeToRest()
{
    // The award's own cue comes first, so the cue at rest is the one heard.
    finishDraw();
    m_imgOk->show();
}

void FrmDjYh::drawStep()
{
    m_services.random->reseed();
    if (!m_draw.rollStep(*m_services.random))
        return;
    if (fixedPerson())
        showPrize();
    else
        showPerson();
}

void FrmDjYh::finishDraw()
{
    recordAward();
    reportDraw();
    m_draw.removeDrawn();
    announceResult(m_lblXm);
    announceResult(m_lblXm2);
}

// The prize and the winner go to the draw record and are read aloud.
void FrmDjYh::reportDraw()
{
    const Prize* prize = m_draw.awardPrize();
    if (!prize)
        return;
    const QString prizeText = prize->level.trimmed() + QLatin1Char(' ') + prize->name.trimmed();
    const Entrant* winner = m_draw.winner();
    const QString shown = winner ? m_draw.winnerDisplay() : prizeText;
    const QString spoken = winner ? prizeText + QStringLiteral("，") + winner->name : prizeText;
    m_report->drawFinished(prizeText.trimmed(), shown, spoken);
}

void FrmDjYh::showMenuStates()
{
    // The menus hold an item for every row read (and hidden ones beyond).
    for (size_t i = 0; i < m_draw.sheet().prizes.size(); ++i)
        m_mnDj[i]->setEnabled(m_draw.prizeOpen(static_cast<int>(i)));
    for (size_t i = 0; i < m_draw.sheet().people.size(); ++i)
        m_mnMd[i]->setEnabled(m_draw.personOpen(static_cast<int>(i)));
}

void FrmDjYh::showPerson()
{
    const QString text = m_draw.personText();
    if (text.isEmpty())
        return;
    m_lblXm2->setText(text);
    placePersonDisplay();
}

void FrmDjYh::placePersonDisplay()
{
    // Above the side panel and right of the divider line. A long name or a
    // small screen makes the text smaller rather than letting it run into
    // the panel or off the screen.
    const int areaLeft = std::max(0, m_fraTs->x() - 10);
    const int areaWidth = m_canvas->width() - areaLeft;
    const int areaHeight = m_fraTs->y() - 8;
    m_lblXm2->adjustSize();
    while ((m_lblXm2->width() > areaWidth || m_lblXm2->height() > areaHeight) &&
           m_lblXm2->font().pointSizeF() > 12) {
        QFont font = m_lblXm2->font();
        font.setPointSizeF(std::max(12.0, font.pointSizeF() * 0.9));
        m_lblXm2->setFont(font);
        m_lblXm2->adjustSize();
    }
    const int left = std::min(m_fraTs->x(), m_canvas->width() - m_lblXm2->width());
    m_lblXm2->move(std::max(areaLeft, left), std::max(0, (m_fraTs->y() - m_lblXm2->height()) / 2));
}

void FrmDjYh::showPrize()
{
    if (!m_draw.showPrize())
        return;
    const Prize& prize = *m_draw.awardPrize();
    setMainText(m_draw.mainText(), m_draw.textBesidePanel());

    const QString file = prize.picture.trimmed();
    const QString path = findPicture(m_services.dataDir, m_services.appDir, file);
    if (path != m_picturePath) {
        m_picturePath = path;
        m_picture = !file.isEmpty() && QFileInfo(path).isFile() ? loadPicture(path) : QPixmap();
    }
    const QRect place = m_picture.isNull() ? QRect()
                                           : prizePictureRect(m_picture.size(), m_canvas->size(),
                                                              m_lblXm->y() + m_lblXm->height(),
                                                              m_fraTs->x(), kPictureMargin);
    if (place.isEmpty()) {
        m_imgJp->clear();
        m_imgJp->hide();
        return;
    }
    m_imgJp->setPixmap(m_picture);
    m_imgJp->setGeometry(place);
    m_imgJp->show();
}

void FrmDjYh::chkMd_Click()
{
    // A click while rolling is undone: the draw keeps its setting.
    if (isRolling()) {
        m_chkMd->setChecked(m_draw.withoutNames());
        return;
    }
    // The state the click just gave the box is the host's input.
    m_draw.setWithoutNames(m_chkMd->isChecked());
    showNameState();
    if (m_draw.personText().isEmpty())
        m_lblXm2->clear();
}

void FrmDjYh::showNameState()
{
    const bool ticked = m_draw.withoutNames();
    m_chkMd->setChecked(ticked);
    m_mnSz[MnSzItem::NameLists]->setVisible(!ticked && fixedPerson());
    m_mnSz[MnSzItem::WinnerList]->setVisible(!ticked);
    if (fixedPerson())
        m_cmbMd->setVisible(!ticked);
}

} // namespace zelvano
