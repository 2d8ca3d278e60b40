#pragma once

#include <QFont>

namespace zelvano
{

// The two Chinese typefaces of the windows, with fallbacks for systems that
// lack the Windows fonts, so the captions always render.
QFont songFont(qreal pointSize, bool bold = false);
QFont kaiFont(qreal pointSize, bool bold = false);

} // namespace zelvano
