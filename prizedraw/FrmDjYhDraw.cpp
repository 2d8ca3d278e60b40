// The draws of the prize window: the start button, fixing a person or a
// prize, clicks on the display, the rolling display and what it shows.
#include "prizedraw/FrmDjYh.h"

#include "draw/RollingDraw.h"

#include "prizedraw/logic/PrizeTexts.h"
#include "shell/core/AppFolders.h"
#include "shell/core/AppServices.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"
#include "shell/gui/ResultLabel.h"

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
#include <QTimer>
#include <QToolButton>

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

} // namespace

bool FrmDjYh::noNameList() const
{
    return m_chkMd->isChecked();
}

void FrmDjYh::imgOk_MouseDown()
{
    if (isRolling() || m_setupStage < 3)
        return;
    const bool withoutNames = fixedPerson() && noNameList();
    if (m_cmbMd->currentIndex() < 0 && !withoutNames)
        return;
    m_imgOk->hide();
    if (!withoutNames) {
        m_fraLine->move(m_fraTs->x() - 20, 0);
        m_fraLine->show();
    }
    if (withoutNames) {
        startDraw();
        return;
    }
    const QString choice = m_cmbMd->currentText();
    if (fixedPerson()) {
        for (size_t i = 0; i < m_mnMd.size(); ++i) {
            if (m_mnMd[i]->isVisible() && m_mnMd[i]->text() == choice) {
                MnMd_Click(static_cast<int>(i));
                break;
            }
        }
        // A person is drawn for at most once.
        takeChoice();
        return;
    }
    // Several rows may share a level: the first that still has units is
    // meant, so a used-up row does not hide the next one.
    int index = -1;
    for (size_t i = 0; i < m_data.prizes.size(); ++i) {
        if (m_data.prizes[i].level != choice)
            continue;
        if (index < 0)
            index = static_cast<int>(i);
        if (m_data.prizes[i].remaining > 0) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0)
        return;
    const int remainingBefore = m_data.prizes[static_cast<size_t>(index)].remaining;
    MnDj_Click(index);
    if (remainingBefore <= 1)
        takeChoice();
}

void FrmDjYh::takeChoice()
{
    m_cmbMd->removeItem(m_cmbMd->currentIndex());
    if (m_cmbMd->count() == 0) {
        m_cmbMd->hide();
        m_imgOk->hide();
    } else {
        m_cmbMd->setCurrentIndex(0);
    }
}

void FrmDjYh::MnDj_Click(int index)
{
    if (isRolling() || index < 0 || index >= static_cast<int>(m_data.prizes.size()))
        return;
    m_chosenPrize = index + 1;
    if (m_setupStage == 3)
        m_setupStage = 4;
    showPrize(m_chosenPrize);
    startDraw();
}

void FrmDjYh::MnMd_Click(int index)
{
    if (isRolling() || index < 0 || index >= static_cast<int>(m_data.people.size()))
        return;
    m_imgJp->clear();
    m_imgJp->hide();
    showPerson(index + 1);
    m_chosenPerson = index + 1;
    m_fraLine->show();
    startDraw();
}

void FrmDjYh::lblXm_MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (m_setupStage < 3 || isRolling())
        return;
    const int menu = fixedPerson() ? 1 : 0;
    if (button == Qt::RightButton) {
        if (!(fixedPerson() && noNameList()))
            popUpChoiceMenu(menu, globalPos);
        return;
    }
    if (m_setupStage < 4 || m_lblXm->text().contains(QStringLiteral("奖品已经领完"))) {
        // Without names there is no names menu to offer: the click draws.
        if (m_mnSz[static_cast<size_t>(menu)]->isVisible()) {
            popUpChoiceMenu(menu, globalPos);
            return;
        }
    }
    startDraw();
}

void FrmDjYh::popUpChoiceMenu(int item, QPoint globalPos)
{
    m_lastPopUp = item;
    QMenu* menu = item == 0 ? m_mnDjMenu : m_mnMdMenu;
    menu->popup(globalPos.isNull() ? QCursor::pos() : globalPos);
}

void FrmDjYh::startDraw()
{
    if (isRolling() || m_setupStage < 3)
        return;
    m_imgOk->hide();
    if (m_pool.size() <= 0) {
        showEnd(finishedText(m_data.title, m_data.subtitle));
        return;
    }
    if (m_setupStage == 3)
        m_setupStage = 4;
    if (fixedPerson()) {
        const QAction* person = MnMd(m_chosenPerson - 1);
        if (!noNameList() && !(person && person->isEnabled())) {
            popUpChoiceMenu(1, {});
            return;
        }
    } else {
        if (m_chosenPrize < 1 || m_chosenPrize > static_cast<int>(m_data.prizes.size())) {
            popUpChoiceMenu(0, {});
            return;
        }
        const Prize& prize = m_data.prizes[static_cast<size_t>(m_chosenPrize - 1)];
        if (prize.remaining <= 0) {
            showEnd(exhaustedText(prize.level));
            return;
        }
    }
    m_rolling->start();
}

void FrmDjYh::showEnd(const QString& text)
{
    setMainText(text, false);
    m_imgJp->clear();
    m_imgJp->hide();
    m_lblXm2->clear();
    m_fraLine->hide();
}

void FrmDjYh::Timer1_Timer()
{
    m_rolling->Timer1_Timer();
}

void FrmDjYh::rollStep()
{
    m_services.random->reseed();
    const int position = m_pool.pickRandom(*m_services.random);
    if (position == 0)
        return;
    const int row = m_pool.at(position);
    if (fixedPerson()) {
        m_chosenPrize = row - 2;
        showPrize(m_chosenPrize);
    } else {
        showPerson(row - 20);
        m_chosenPerson = row - 20;
    }
}

void FrmDjYh::finishDraw()
{
    recordAward();
    m_pool.removeDrawn();
    announceResult(m_lblXm);
    announceResult(m_lblXm2);
}

void FrmDjYh::showPerson(int v)
{
    if (v < 1 || v > static_cast<int>(m_data.people.size()))
        return;
    const Entrant& person = m_data.people[static_cast<size_t>(v - 1)];
    m_lblXm2->setText(personDisplay(person.number, person.name));
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

void FrmDjYh::showPrize(int t)
{
    if (t < 1 || t > static_cast<int>(m_data.prizes.size()))
        return;
    const Prize& prize = m_data.prizes[static_cast<size_t>(t - 1)];
    setMainText(prizeText(prize.level, prize.name), true);

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
    if (isRolling()) {
        m_chkMd->setChecked(!m_chkMd->isChecked());
        return;
    }
    const bool ticked = m_chkMd->isChecked();
    m_mnSz[1]->setVisible(!ticked && fixedPerson());
    m_mnSz[4]->setVisible(!ticked);
    if (ticked)
        m_chosenPerson = -1;
    else if (m_chosenPerson < 0)
        m_chosenPerson = 0;
    if (fixedPerson())
        m_cmbMd->setVisible(!ticked);
}

} // namespace zelvano
