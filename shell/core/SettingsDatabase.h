#pragma once

#include <QString>

namespace zelvano
{

// Makes a new settings database at `path`, keyed with the program's
// password, holding table sz with one row of first values. Used by the build
// to deliver the database and by tests; the program itself never creates it.
// Fails (false, with a reason) when the file already exists.
bool createSettingsDatabase(const QString& path, QString* error = nullptr,
                            const char* passphrase = nullptr);

} // namespace zelvano
