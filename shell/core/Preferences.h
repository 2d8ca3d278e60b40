#pragma once

#include <QString>
#include <QVariant>

namespace zelvano
{

// The program's own remembered choices beyond the settings table, in
// "zelvano.ini" in the teacher's data folder: the voice, 均衡点名 of each
// class, the small window's place, the projector's screen. A missing or
// unreadable file gives the fallbacks.
inline constexpr const char* kPreferencesFile = "zelvano.ini";

QVariant readPreference(const QString& dataDir, const QString& key, const QVariant& fallback = {});
void writePreference(const QString& dataDir, const QString& key, const QVariant& value);

} // namespace zelvano
