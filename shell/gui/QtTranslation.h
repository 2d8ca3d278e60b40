#pragma once

#include <QStringList>

namespace zelvano
{

// Where Qt's own Chinese texts are looked for, in order: a "translations"
// folder beside the program (where a Windows package puts them), then Qt's
// own translations folder (/usr/share/qt6/translations on Debian).
QStringList qtTranslationFolders();

// Loads Qt's Chinese texts (qtbase_zh_CN.qm) so the standard buttons of the
// message boxes read 确定, 取消, 是, 否, 重试 and the colour dialog is
// Chinese too. False when no folder holds them; the program then goes on
// with Qt's English texts.
bool installQtChineseTexts();

} // namespace zelvano
