#pragma once
#include <QByteArray>
#include <QString>

namespace nbk::data {

// Accounts of the embedded database keep a salted PBKDF2-HMAC-SHA256 digest, never the
// password itself.
constexpr int kDefaultKdfIterations = 600000;

struct StoredPassword {
    QByteArray salt;
    int iterations = kDefaultKdfIterations;
    QByteArray hash;
    // False when the digest could not be made (no random salt, a failed derivation).
    bool isValid() const { return hash.size() == 32 && !salt.isEmpty(); }
};

StoredPassword hashPassword(const QString &password, int iterations = kDefaultKdfIterations);
bool verifyPassword(const QString &password, const StoredPassword &stored);

}  // namespace nbk::data
