// Where the windows put the speech timer: the settings panel during the
// set-up, the timer bar beside their buttons, the time under their result.
// The windows call these and never move the timer's inner controls.
#include "presentation/SpeechTimer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace zelvano
{

void SpeechTimer::showSettingsPanelAt(QPoint topLeft)
{
    m_fraJs->move(topLeft);
    m_fraJs2->move(topLeft.x() + m_lblFangshi->x(), topLeft.y() + m_cmdOk2->y());
    m_fraJs->show();
    m_fraJs->raise();
    m_fraJs2->show();
    m_fraJs2->raise();
}

void SpeechTimer::leaveSettingsPanel(const QPalette& windowPalette)
{
    m_fraJs->hide();
    m_fraJs3->hide();
    m_fraJs2->setPalette(windowPalette);
}

void SpeechTimer::hideBar(bool fold)
{
    m_fraJs2->hide();
    if (fold)
        m_fraJs3->hide();
}

void SpeechTimer::placeBarLeftOf(const QWidget* widget, int gap)
{
    m_fraJs2->move(std::max(0, widget->x() - m_fraJs2->width() - gap),
                   widget->y() + (widget->height() - m_fraJs2->height()) / 2);
}

void SpeechTimer::placeBarEndingAt(int right, int top)
{
    m_fraJs2->move(std::max(0, right - m_fraJs2->width()), top);
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
