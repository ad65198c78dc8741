#pragma once

#include <QByteArray>
#include <QString>

namespace tv::update {

// Ed25519 signatures through libsodium.
inline constexpr int kPublicKeyBytes = 32;
inline constexpr int kSignatureBytes = 64;

// A public key written as 64 hex digits; empty when the text is not one.
QByteArray publicKeyFromHex(const QString &hex);

// Whether signature (64 bytes) is the key's detached signature of message.
// False for a key or signature of the wrong size, and when libsodium cannot
// start.
bool verifyDetached(const char *message, qsizetype size, const QByteArray &signature, const QByteArray &publicKey);

} // namespace tv::update
