#pragma once

#include <QString>

namespace zelvano
{

// What a line of the draw record tells.
enum class DrawEventKind {
    Draw,           // a draw came to rest on a result
    Voided,         // an award was voided (and its prize may be drawn again)
    ScoreTakenBack, // the last score written was taken back
};

// One event of a draw window. The record stamps the time itself.
struct DrawEvent {
    DrawEventKind kind = DrawEventKind::Draw;
    QString window;      // the window and mode as the teacher knows it: "摇号码", "定奖摇号"
    QString subject;     // the class, or the prize
    int poolBefore = -1; // entries left to draw from before this draw; -1 when it does not apply
    QString result;      // as shown; its line breaks become spaces in the record
};

// The record of every draw, kept beside the roll book. Appending never
// blocks or fails a draw: a record that cannot be written is reported
// once per run and the draw goes on.
class DrawLog
{
public:
    virtual ~DrawLog() = default;
    virtual void append(const DrawEvent& event) = 0;
    // Where the record lives, for the list of today's draws.
    virtual QString filePath() const = 0;
};

} // namespace zelvano
