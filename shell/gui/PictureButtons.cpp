#include "shell/gui/PictureButtons.h"

#include "shell/gui/Fonts.h"

#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace zelvano
{

QToolButton* makePictureButton(const QPixmap& picture, const QString& toolTip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.deviceIndependentSize().toSize());
    button->setAutoRaise(true);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QPixmap glyphPicture(const QString& glyph, const QColor& colour, int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(QPen(colour.darker(150), 2));
    painter.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    painter.setPen(Qt::white);
    painter.setFont(songFont(size * 0.36, true));
    painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, glyph);
    return picture;
}

QPixmap enterButtonPicture()
{
    QPixmap picture(160, 60);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 60);
    fill.setColorAt(0, QColor(0xd9, 0x3a, 0x2b));
    fill.setColorAt(1, QColor(0x9c, 0x1c, 0x12));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(0x6e, 0x10, 0x0a), 2));
    painter.drawRoundedRect(QRectF(2, 2, 156, 56), 26, 26);
    painter.setPen(Qt::white);
    painter.setFont(kaiFont(20, true));
    painter.drawText(QRectF(10, 0, 100, 60), Qt::AlignCenter, QStringLiteral("进入"));
    QPainterPath arrow;
    arrow.moveTo(112, 18);
    arrow.lineTo(140, 30);
    arrow.lineTo(112, 42);
    arrow.closeSubpath();
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawPath(arrow);
    return picture;
}

} // namespace zelvano
