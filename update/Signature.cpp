#include "Signature.h"

#include <sodium.h>

namespace tv::update {

namespace {
bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0; // thread-safe, once
    return ready;
}
} // namespace

QByteArray publicKeyFromHex(const QString &hex)
{
    static_assert(kPublicKeyBytes == crypto_sign_PUBLICKEYBYTES);
    const QString trimmed = hex.trimmed();
    if (trimmed.size() != 2 * kPublicKeyBytes)
        return {};
    for (const QChar c : trimmed) {
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
            return {};
    }
    return QByteArray::fromHex(trimmed.toLatin1());
}

bool verifyDetached(const char *message, qsizetype size, const QByteArray &signature, const QByteArray &publicKey)
{
    static_assert(kSignatureBytes == crypto_sign_BYTES);
    if (signature.size() != kSignatureBytes || publicKey.size() != kPublicKeyBytes || size < 0 || !sodiumReady())
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
               reinterpret_cast<const unsigned char *>(message), static_cast<unsigned long long>(size),
               reinterpret_cast<const unsigned char *>(publicKey.constData()))
        == 0;
}

} // namespace tv::update
