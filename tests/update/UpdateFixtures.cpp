#include "UpdateFixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSysInfo>

#include <sodium.h>

namespace tv::test {

PrivateFolders::PrivateFolders()
{
    for (const char *name : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME" }) {
        const QString folder = m_dir.filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
}

ReleaseSigner::ReleaseSigner()
{
    if (sodium_init() < 0)
        qFatal("libsodium could not start");
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(pk, sk);
    m_public = QByteArray(reinterpret_cast<const char *>(pk), sizeof pk);
    m_secret = QByteArray(reinterpret_cast<const char *>(sk), sizeof sk);
}

QByteArray ReleaseSigner::sign(const QByteArray &message) const
{
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char *>(message.constData()), message.size(),
        reinterpret_cast<const unsigned char *>(m_secret.constData()));
    return QByteArray(reinterpret_cast<const char *>(signature), sizeof signature);
}

QByteArray ReleaseSigner::signedVersionDat(const QByteArray &text) const
{
    return text + "signature=" + sign(text).toHex() + "\r\n";
}

QByteArray manifestLines(const ReleaseLines &lines, const QByteArray &updater)
{
    const QByteArray target = lines.target.isEmpty() ? "linux-" + QSysInfo::buildCpuArchitecture().toLatin1() : lines.target;
    return lines.firstLine + "\r\nproduct=" + lines.product + "\r\nversion=" + lines.version + "\r\ntarget=" + target
        + "\r\nminimum-version=" + lines.minimumVersion + "\r\nsize=" + QByteArray::number(updater.size())
        + "\r\nsha256=" + QCryptographicHash::hash(updater, QCryptographicHash::Sha256).toHex() + "\r\n";
}

} // namespace tv::test
