#include "shell/core/Pbkdf2Sha1.h"

#include <nettle/pbkdf2.h>

namespace zelvano
{

// Nettle keeps HMAC's inner and outer states between rounds and uses the
// processor's SHA instructions: a third of the time OpenSSL 3 takes, which
// re-creates its contexts every round. The settings are keyed once at each
// start, so this is most of the start's own work.
QByteArray pbkdf2Sha1(const QByteArray& passphrase, const QByteArray& salt, int rounds,
                      int keyBytes)
{
    QByteArray key(keyBytes, '\0');
    pbkdf2_hmac_sha1(std::size_t(passphrase.size()),
                     reinterpret_cast<const std::uint8_t*>(passphrase.constData()),
                     unsigned(rounds), std::size_t(salt.size()),
                     reinterpret_cast<const std::uint8_t*>(salt.constData()), std::size_t(keyBytes),
                     reinterpret_cast<std::uint8_t*>(key.data()));
    return key;
}

} // namespace zelvano
