#include "prizedraw/logic/PrizeSetup.h"

namespace zelvano
{

void PrizeSetup::sheetRead()
{
    if (m_step == PrizeStep::Unread)
        m_step = PrizeStep::ConfirmPrizes;
}

void PrizeSetup::reread()
{
    if (m_step != PrizeStep::Ended)
        m_step = PrizeStep::Unread;
}

PanelClose PrizeSetup::closePanel(bool withNames)
{
    if (m_step == PrizeStep::ConfirmPrizes && withNames) {
        m_step = PrizeStep::ConfirmNames;
        return PanelClose::ShowNames;
    }
    if (m_step == PrizeStep::ConfirmPrizes || m_step == PrizeStep::ConfirmNames) {
        m_step = PrizeStep::Ready;
        return PanelClose::Finish;
    }
    return PanelClose::Close;
}

void PrizeSetup::drawAsked()
{
    if (m_step == PrizeStep::Ready)
        m_step = PrizeStep::Drawing;
}

} // namespace zelvano
