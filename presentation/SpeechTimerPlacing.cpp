// Where the windows put the speech timer: the settings panel during the
// set-up, the timer bar beside their buttons, the time under their result.
// The windows call these and never move the timer's inner controls.
#include "presentation/SpeechTimer.h"

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include <algorithm>

namespace zelvano
{

void SpeechTimer::showSettingsPanelAt(QPoint topLeft)
{
    m_fraJs->move(topLeft);
    // On the panel the bar opens to the right of its button, unfolded, as
    // at every set-up.
    m_barAnchor = {true, false, false,
                   QPoint(topLeft.x() + m_lblFangshi->x(), topLeft.y() + m_cmdOk2->y())};
    setBarFolded(false);
    m_fraJs->show();
    m_fraJs->raise();
    m_fraJs2->show();
    m_fraJs2->raise();
}

void SpeechTimer::leaveSettingsPanel(const QPalette& windowPalette)
{
    m_fraJs->hide();
    setBarFolded(true);
    m_fraJs2->setPalette(windowPalette);
}

void SpeechTimer::hideBar(bool fold)
{
    m_fraJs2->hide();
    if (fold)
        setBarFolded(true);
}

void SpeechTimer::placeBarLeftOf(const QWidget* widget, int gap)
{
    m_barAnchor = {true, true, true, QPoint(widget->x() - gap, widget->y() + widget->height() / 2)};
    fitBar();
}

void SpeechTimer::placeBarEndingAt(int right, int top)
{
    m_barAnchor = {true, true, false, QPoint(right, top)};
    fitBar();
}

void SpeechTimer::setBarFolded(bool folded)
{
    m_fraJs3->setVisible(!folded);
    fitBar();
}

void SpeechTimer::fitBar()
{
    QLayout* bar = m_fraJs2->layout();
    bar->invalidate();
    const QSize size = bar->sizeHint();
    if (!m_barAnchor.placed) {
        m_fraJs2->resize(size);
    } else {
        const BarAnchor& a = m_barAnchor;
        // Placed by its right edge, the button stands at that edge and the
        // panel opens away from the widget beside it.
        m_fraJs2->setLayoutDirection(a.byRightEdge ? Qt::RightToLeft : Qt::LeftToRight);
        const int x = a.byRightEdge ? std::max(0, a.at.x() - size.width()) : a.at.x();
        const int y = a.byCentre ? a.at.y() - size.height() / 2 : a.at.y();
        m_fraJs2->setGeometry(QRect(QPoint(x, y), size));
    }
    bar->activate();
}

void SpeechTimer::placeTimeUnder(const QWidget* widget, int gap)
{
    const QWidget* host = m_lblSj->parentWidget();
    m_lblSj->move((host->width() - m_lblSj->width()) / 2, widget->y() + widget->height() + gap);
}

void SpeechTimer::setTimeFont(const QFont& font)
{
    m_lblSj->setFont(font);
    m_lblSj->adjustSize();
}

} // namespace zelvano
