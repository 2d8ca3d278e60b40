#pragma once

namespace zelvano
{

// The steps of the prize window's guided start: the sheet is read, the host
// confirms the prize list and then (unless working without names) the name
// list, after which draws may start; the first draw ends the setup.
enum class PrizeStep {
    Unread,        // nothing read yet, or a refresh is about to read again
    ConfirmPrizes, // the prize list is shown for confirmation
    ConfirmNames,  // the name list is shown for confirmation
    Ready,         // both confirmed: a prize or a person may be chosen
    Drawing,       // the first draw has been asked for
    Ended,         // the roll book is missing: the program ends
};

// What closing the list panel ("×" or "确定") leads to.
enum class PanelClose {
    ShowNames, // the prize list was confirmed: the name list follows
    Finish,    // the last list was confirmed: the draw controls appear
    Close,     // the panel was opened from the menu: it only closes
};

// The guided start as a state machine driven by plain calls.
class PrizeSetup
{
public:
    PrizeStep step() const { return m_step; }

    // The roll book is missing: nothing is read or drawn any more.
    void end() { m_step = PrizeStep::Ended; }
    // Whether activating the window has a sheet to read.
    bool needsReading() const { return m_step == PrizeStep::Unread; }
    // The sheet was read and its prize list put up for confirmation.
    void sheetRead();
    // A refresh: the sheet is read again at the next activation.
    void reread();
    PanelClose closePanel(bool withNames);
    // Choices, clicks and the start button act only once the lists are
    // confirmed.
    bool canDraw() const { return m_step == PrizeStep::Ready || m_step == PrizeStep::Drawing; }
    // A draw was asked for: a click on the display now draws again rather
    // than offering the choice menu.
    void drawAsked();

private:
    PrizeStep m_step = PrizeStep::Unread;
};

} // namespace zelvano
