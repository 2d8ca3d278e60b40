#include "presentation/TimerPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace zelvano
{

namespace
{

constexpr int kSide = 40;

// A stopwatch face with its crown; `mark` paints the sign inside it.
template <typename Mark> QPixmap stopwatch(int side, const QColor& ring, Mark mark)
{
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side / 40.0;
    painter.scale(s, s);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawRoundedRect(QRectF(16, 1, 8, 5), 1.5, 1.5);
    painter.drawRect(QRectF(18.5, 5, 3, 4));
    painter.setPen(QPen(ring.darker(140), 1.5));
    painter.drawEllipse(QRectF(4, 8, 32, 32));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(8, 12, 24, 24));
    mark(painter);
    return picture;
}

} // namespace

QPixmap idleTimerPicture()
{
    return stopwatch(kSide, QColor(0x2e, 0x8b, 0x3d), [](QPainter& painter) {
        QPainterPath play;
        play.moveTo(16, 16.5);
        play.lineTo(27, 24);
        play.lineTo(16, 31.5);
        play.closeSubpath();
        painter.setBrush(QColor(0x2e, 0x8b, 0x3d));
        painter.drawPath(play);
    });
}

QPixmap runningTimerPicture()
{
    return stopwatch(kSide, QColor(0xc6, 0x28, 0x28), [](QPainter& painter) {
        painter.setBrush(QColor(0xc6, 0x28, 0x28));
        painter.drawRect(QRectF(14.5, 17, 4, 14));
        painter.drawRect(QRectF(21.5, 17, 4, 14));
    });
}

QPixmap timerBarPicture()
{
    return stopwatch(24, QColor(0x1f, 0x5f, 0xa8), [](QPainter& painter) {
        painter.setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(20, 24), QPointF(20, 16));
        painter.drawLine(QPointF(20, 24), QPointF(26, 27));
    });
}

} // namespace zelvano
