#include "shell/gui/QtColourPicker.h"

#include "shell/gui/WindowsColour.h"

#include <QApplication>
#include <QColorDialog>

namespace zelvano
{

std::optional<int> QtColourPicker::pickColour(int initialColour)
{
    const QColor chosen =
        QColorDialog::getColor(fromWindowsColour(initialColour), QApplication::activeWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return toWindowsColour(chosen);
}

} // namespace zelvano
