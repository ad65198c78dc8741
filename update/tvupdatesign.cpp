// tvupdatesign: prepares a release for the update folder.
//   tvupdatesign keygen SECRET_KEY_FILE
//       makes a key pair, keeps the secret key in the file (mode 600) and
//       prints the public key to configure the build with
//       (-DTV_UPDATE_PUBLIC_KEY=...).
//   tvupdatesign sign SECRET_KEY_FILE PROGRAM VERSION FOLDER
//       fills FOLDER with what the update folder holds: the program as
//       TapeVantrelUpdate, its detached signature TapeVantrelUpdate.sig, and
//       version.dat (VERSION as the program compares it, e.g. 71 for 7.1,
//       then the updater's size and SHA-256).
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include <cstdio>
#include <sodium.h>

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "tvupdatesign: %s\n", qPrintable(text));
    return 1;
}

bool writeFile(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(permissions) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

int keygen(const QString &secretPath)
{
    if (QFile::exists(secretPath))
        return fail(QStringLiteral("%1 exists; a key is never overwritten").arg(secretPath));
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(pk, sk);
    QString error;
    const QByteArray secret = QByteArray(reinterpret_cast<const char *>(sk), sizeof sk).toHex() + '\n';
    sodium_memzero(sk, sizeof sk);
    if (!writeFile(secretPath, secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner, &error))
        return fail(error);
    std::printf("%s\n", QByteArray(reinterpret_cast<const char *>(pk), sizeof pk).toHex().constData());
    return 0;
}

int sign(const QString &secretPath, const QString &programPath, const QString &version, const QString &folder)
{
    QFile secretFile(secretPath);
    if (!secretFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(secretPath, secretFile.errorString()));
    const QByteArray secret = QByteArray::fromHex(secretFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 is not a secret key made by tvupdatesign keygen").arg(secretPath));
    if (version.isEmpty() || version.size() > 9 || !std::all_of(version.begin(), version.end(), [](QChar c) { return c.isDigit(); }))
        return fail(QStringLiteral("the version is 1 to 9 digits, the major version followed by the minor (71 for 7.1)"));
    QFile program(programPath);
    if (!program.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(programPath, program.errorString()));
    const QByteArray bytes = program.readAll();
    if (bytes.isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(programPath));

    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(),
        reinterpret_cast<const unsigned char *>(secret.constData()));
    const QByteArray versionFile = version.toLatin1() + "\r\nsize=" + QByteArray::number(bytes.size())
        + "\r\nsha256=" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "\r\n";

    QDir().mkpath(folder);
    const QDir dir(folder);
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QString error;
    if (!writeFile(dir.filePath(QStringLiteral("TapeVantrelUpdate")), bytes,
            everyone | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther, &error)
        || !writeFile(dir.filePath(QStringLiteral("TapeVantrelUpdate.sig")),
            QByteArray(reinterpret_cast<const char *>(signature), sizeof signature), everyone, &error)
        || !writeFile(dir.filePath(QStringLiteral("version.dat")), versionFile, everyone, &error))
        return fail(error);
    std::printf("%s", versionFile.constData());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (sodium_init() < 0)
        return fail(QStringLiteral("libsodium could not start"));
    if (args.size() == 2 && args.at(0) == QLatin1String("keygen"))
        return keygen(args.at(1));
    if (args.size() == 5 && args.at(0) == QLatin1String("sign"))
        return sign(args.at(1), args.at(2), args.at(3), args.at(4));
    std::fprintf(stderr,
        "usage: tvupdatesign keygen SECRET_KEY_FILE\n"
        "       tvupdatesign sign SECRET_KEY_FILE PROGRAM VERSION FOLDER\n");
    return 2;
}
