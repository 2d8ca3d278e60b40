#include "shell/core/SqlCipherKey.h"

#include <QHash>
#include <QPair>

#include <openssl/evp.h>

namespace zelvano
{

namespace
{

// SQLCipher 3 key derivation: PBKDF2-HMAC-SHA1, 64,000 rounds, 32-byte key.
constexpr int kRounds = 64000;
constexpr int kKeyBytes = 32;

} // namespace

QByteArray rawKeyFor(const QByteArray& passphrase, const QByteArray& salt)
{
    static QHash<QPair<QByteArray, QByteArray>, QByteArray> derived;
    const auto cacheKey = qMakePair(passphrase, salt);
    if (auto found = derived.constFind(cacheKey); found != derived.constEnd())
        return *found;

    unsigned char key[kKeyBytes];
    PKCS5_PBKDF2_HMAC_SHA1(passphrase.constData(), int(passphrase.size()),
                           reinterpret_cast<const unsigned char*>(salt.constData()),
                           int(salt.size()), kRounds, kKeyBytes, key);
    const QByteArray raw =
        "x'" + QByteArray(reinterpret_cast<const char*>(key), kKeyBytes).toHex() + "'";
    derived.insert(cacheKey, raw);
    return raw;
}

} // namespace zelvano
