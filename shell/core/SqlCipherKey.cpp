#include "shell/core/SqlCipherKey.h"

#include <QHash>
#include <QPair>

#include "shell/core/Pbkdf2Sha1.h"

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

    const QByteArray raw = "x'" + pbkdf2Sha1(passphrase, salt, kRounds, kKeyBytes).toHex() + "'";
    derived.insert(cacheKey, raw);
    return raw;
}

} // namespace zelvano
