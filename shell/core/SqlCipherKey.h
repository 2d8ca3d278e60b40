#pragma once

#include <QByteArray>
#include <QString>

namespace zelvano
{

// The database password, fixed in the program.
inline constexpr const char* kSettingsPassword = "lumbarokefinta";

// The raw key ("x'<64 hex>'") that SQLCipher would derive from `passphrase`
// for a database whose first 16 bytes are `salt`. Deriving takes tens of
// milliseconds (64,000 PBKDF2 rounds), so each (passphrase, salt) pair is
// derived once per process and each connection is keyed with the result.
QByteArray rawKeyFor(const QByteArray& passphrase, const QByteArray& salt);

} // namespace zelvano
