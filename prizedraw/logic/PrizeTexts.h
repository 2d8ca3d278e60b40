#pragma once

#include "prizedraw/logic/PrizeSheet.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zelvano
{

// What the prize window shows, as text and geometry, free of widgets.

// Width of a text as the list views count it: two per UTF-16 unit, whatever
// the character.
int listWidth(const QString& text);
// Spaces that fill `text` out to `width`. A text as wide as its column or
// wider still gets one space, so two columns never run together.
QString pad(int width, const QString& text);

// "查看奖品": a heading, then an empty line and a line per prize.
QStringList prizeListLines(const std::vector<Prize>& prizes);
// "获奖名单": a heading, then the winners (the last sheet row first), then
// everybody else in sheet order.
QStringList nameListLines(const std::vector<Entrant>& people);

// Number, line break, name: the person display and the winners' record.
QString personDisplay(const QString& number, const QString& name);

// The event's title in the main display.
QString titleText(const QString& title, const QString& subtitle);
// Everything drawn: the title with "圆满结束".
QString finishedText(const QString& title, const QString& subtitle);
// The chosen prize has no units left.
QString exhaustedText(const QString& level);
// The prize shown while rolling and as the result.
QString prizeText(const QString& level, const QString& name);

// Why the roll book gave the window nothing to draw from.
enum class SheetProblem {
    Unreadable,   // the roll book cannot be opened
    NoWorksheet,  // it holds no worksheet
    NoPrizeSheet, // it has no sheet "抽奖品"
    DamagedSheet, // the sheet's cells cannot be read
    TooFewPrizes, // fewer than two prize rows
};
// The main display while the sheet cannot be drawn from: what is wrong and
// what brings the draw back.
QString sheetProblemText(SheetProblem problem, const QString& rollBookName);

// One line of the winners' list: the count, two spaces, the person (left
// out when working without names), "获", the level, ",", the prize.
QString winnerLine(int count, const QString& person, const QString& level, const QString& prize);

// An award whose prize or person row ("三等奖 笔记本", "4 彭军") is no longer
// in the sheet: it waits in the window.
QString awardRowGoneText(const QString& keys, const QString& rollBookName);
// The refresh waits while awards are not in the file.
QString unwrittenRefreshText(const QString& rollBookName);

// The question before an award is voided: whose award, and what follows
// (a redraw of the same prize, or the prize back in the draw).
QString voidQuestion(const QString& number, const QString& name, const QString& level,
                     const QString& prize, bool redraw);

// The winners of a prize (its G cell) after one more award.
QString appendWinner(const QString& oldWinners, const QString& display);

// Where the prize picture goes. The picture keeps the width-to-height ratio
// rounded to a whole number, so most photographs show square; a picture
// narrower than half its height (ratio rounding to 0) keeps its own ratio.
// It is a third of the window wide, shrunk to the height left below the
// display, `margin` above the bottom and centred left of the side panel.
// Empty when there is no room at all or the picture has no size.
QRect prizePictureRect(QSize picture, QSize window, int displayBottom, int sidePanelLeft,
                       int margin);

} // namespace zelvano
