#include "shell/core/Pbkdf2Sha1.h"

#include <openssl/evp.h>

namespace zelvano
{

QByteArray pbkdf2Sha1(const QByteArray& passphrase, const QByteArray& salt, int rounds,
                      int keyBytes)
{
    QByteArray key(keyBytes, '\0');
    PKCS5_PBKDF2_HMAC_SHA1(passphrase.constData(), int(passphrase.size()),
                           reinterpret_cast<const unsigned char*>(salt.constData()),
                           int(salt.size()), rounds, keyBytes,
                           reinterpret_cast<unsigned char*>(key.data()));
    return key;
}

} // namespace zelvano
