#pragma once

#include <QColor>

namespace zelvano
{

// Colours are stored as Windows colour integers: red + 256 x green +
// 65536 x blue.
inline QColor fromWindowsColour(int colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

inline int toWindowsColour(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

} // namespace zelvano
