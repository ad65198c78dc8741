// tvupdatesign: prepares a release for the update folder.
//   tvupdatesign keygen SECRET_KEY_FILE
//       makes a key pair, keeps the secret key in the file (mode 600) and
//       prints the public key to configure the build with
//       (-DTV_UPDATE_PUBLIC_KEY=...).
//   tvupdatesign sign SECRET_KEY_FILE PROGRAM VERSION FOLDER
//           [--target TARGET] [--minimum-version VERSION]
//       fills FOLDER with what the update folder holds: the program as
//       TapeVantrelUpdate, its detached signature TapeVantrelUpdate.sig, and
//       version.dat, the signed manifest: VERSION with its parts (7.10), the
//       target it runs on (this build's own unless given, e.g.
//       linux-x86_64), the oldest version it may replace (any unless given),
//       and the updater's size and SHA-256.
#include "ReleaseManifest.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

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

struct SignOptions
{
    QString target = tv::update::ownTarget();
    QString minimumVersion = QStringLiteral("0.0");
};

int sign(const QString &secretPath, const QString &programPath, const QString &versionText, const QString &folder, const SignOptions &options)
{
    QFile secretFile(secretPath);
    if (!secretFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(secretPath, secretFile.errorString()));
    const QByteArray secret = QByteArray::fromHex(secretFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 is not a secret key made by tvupdatesign keygen").arg(secretPath));
    // A version of one part is refused: it is most likely the older form
    // (71 for 7.1), which would be read as version 71.
    const auto version = tv::update::VersionNumber::parse(versionText);
    const auto minimum = tv::update::VersionNumber::parse(options.minimumVersion);
    if (!version || !versionText.contains(QLatin1Char('.')))
        return fail(QStringLiteral("the version is written with its parts, major.minor (7.10 for 7.10)"));
    if (!minimum)
        return fail(QStringLiteral("the minimum version is written with its parts (7.0)"));
    if (options.target.isEmpty() || options.target.contains(QLatin1Char('\n')) || options.target.contains(QLatin1Char('\r')))
        return fail(QStringLiteral("the target is one word, such as linux-x86_64"));
    QFile program(programPath);
    if (!program.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(programPath, program.errorString()));
    const QByteArray bytes = program.readAll();
    if (bytes.isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(programPath));

    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(),
        reinterpret_cast<const unsigned char *>(secret.constData()));
    tv::update::ReleaseManifest manifest;
    manifest.product = tv::update::kProductName;
    manifest.version = *version;
    manifest.target = options.target;
    manifest.minimumVersion = *minimum;
    manifest.updaterSize = bytes.size();
    manifest.updaterSha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    if (manifest.updaterSize > tv::update::kMaxUpdaterBytes)
        return fail(QStringLiteral("%1 is larger than the program takes in (%2 bytes)").arg(programPath).arg(tv::update::kMaxUpdaterBytes));
    const QByteArray text = tv::update::manifestText(manifest);
    unsigned char manifestSignature[crypto_sign_BYTES];
    crypto_sign_detached(manifestSignature, nullptr, reinterpret_cast<const unsigned char *>(text.constData()), text.size(),
        reinterpret_cast<const unsigned char *>(secret.constData()));
    const QByteArray versionFile = tv::update::signedVersionFile(
        text, QByteArray(reinterpret_cast<const char *>(manifestSignature), sizeof manifestSignature));

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
    if (args.size() >= 5 && args.size() % 2 == 1 && args.at(0) == QLatin1String("sign")) {
        SignOptions options;
        bool known = true;
        for (qsizetype i = 5; i + 1 < args.size(); i += 2) {
            if (args.at(i) == QLatin1String("--target"))
                options.target = args.at(i + 1);
            else if (args.at(i) == QLatin1String("--minimum-version"))
                options.minimumVersion = args.at(i + 1);
            else
                known = false;
        }
        if (known)
            return sign(args.at(1), args.at(2), args.at(3), args.at(4), options);
    }
    std::fprintf(stderr,
        "usage: tvupdatesign keygen SECRET_KEY_FILE\n"
        "       tvupdatesign sign SECRET_KEY_FILE PROGRAM VERSION FOLDER [--target TARGET] [--minimum-version VERSION]\n");
    return 2;
}
