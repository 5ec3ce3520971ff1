#include "data/engines/PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace nbk::data {

// Empty when the derivation fails: a zero-filled buffer must never pass for a digest.
static QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray pw = password.toUtf8();
    QByteArray out(32, '\0');
    if (PKCS5_PBKDF2_HMAC(pw.constData(), int(pw.size()),
                          reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                          iterations, EVP_sha256(), int(out.size()),
                          reinterpret_cast<unsigned char *>(out.data()))
        != 1)
        return QByteArray();
    return out;
}

StoredPassword hashPassword(const QString &password, int iterations)
{
    StoredPassword s;
    s.salt = QByteArray(16, '\0');
    s.iterations = iterations < 1 ? 1 : iterations;
    // without random salt there is no digest worth storing
    if (RAND_bytes(reinterpret_cast<unsigned char *>(s.salt.data()), int(s.salt.size())) != 1) {
        s.salt.clear();
        return s;
    }
    s.hash = derive(password, s.salt, s.iterations);
    return s;
}

bool verifyPassword(const QString &password, const StoredPassword &stored)
{
    if (stored.iterations < 1 || stored.hash.size() != 32)
        return false;
    const QByteArray h = derive(password, stored.salt, stored.iterations);
    if (h.size() != stored.hash.size())
        return false;
    return CRYPTO_memcmp(h.constData(), stored.hash.constData(), size_t(h.size())) == 0;
}

}  // namespace nbk::data
