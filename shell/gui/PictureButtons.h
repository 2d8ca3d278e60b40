#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

class QToolButton;
class QWidget;

namespace zelvano
{

// A flat button showing only a picture. Its tool tip is also its accessible
// name, so screen readers and test robots find it.
QToolButton* makePictureButton(const QPixmap& picture, const QString& toolTip, QWidget* parent);

// A small round picture with a glyph on it, for the tool buttons of the
// panels (add, remove, clear, group at random, group in order).
QPixmap glyphPicture(const QString& glyph, const QColor& colour, int size = 40);

// The menu's enter button, drawn rather than loaded so it never goes missing.
QPixmap enterButtonPicture();

} // namespace zelvano
