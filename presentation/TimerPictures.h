#pragma once

#include <QPixmap>

namespace zelvano
{

// Pictures of the timer buttons, drawn rather than loaded so they never go
// missing: the idle look of the start button (a stopwatch with a play mark),
// its running look (a stopwatch with a pause mark), and the small button that
// opens the timer bar.
QPixmap idleTimerPicture();    // Image3
QPixmap runningTimerPicture(); // Image4
QPixmap timerBarPicture();     // imgJs0

} // namespace zelvano
