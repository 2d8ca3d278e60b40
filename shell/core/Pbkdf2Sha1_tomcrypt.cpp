#include "shell/core/Pbkdf2Sha1.h"

#include <tomcrypt.h>

namespace zelvano
{

QByteArray pbkdf2Sha1(const QByteArray& passphrase, const QByteArray& salt, int rounds,
                      int keyBytes)
{
    static const int sha1 = [] {
        register_hash(&sha1_desc);
        return find_hash("sha1");
    }();
    QByteArray key(keyBytes, '\0');
    unsigned long length = static_cast<unsigned long>(keyBytes);
    pkcs_5_alg2(reinterpret_cast<const unsigned char*>(passphrase.constData()),
                static_cast<unsigned long>(passphrase.size()),
                reinterpret_cast<const unsigned char*>(salt.constData()),
                static_cast<unsigned long>(salt.size()), rounds, sha1,
                reinterpret_cast<unsigned char*>(key.data()), &length);
    return key;
}

} // namespace zelvano
