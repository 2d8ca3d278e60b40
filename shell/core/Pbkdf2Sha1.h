#pragma once

#include <QByteArray>

namespace zelvano
{

// PBKDF2 with HMAC-SHA1, as SQLCipher 3 derives its key, from a maintained
// crypto library: Nettle on Linux, LibTomCrypt (SQLCipher's own) on Windows,
// one implementation file each.
QByteArray pbkdf2Sha1(const QByteArray& passphrase, const QByteArray& salt, int rounds,
                      int keyBytes);

} // namespace zelvano
