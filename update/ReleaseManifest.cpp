#include "ReleaseManifest.h"

#include "Signature.h"
#include "VersionFile.h"

#include <QHash>
#include <QList>
#include <QSysInfo>

#include <algorithm>

namespace tv::update {

namespace {
const QByteArray kSignatureKey = "signature=";

// The lines of the signed text after the first, as key and value.
std::optional<QHash<QByteArray, QByteArray>> fieldsOf(const QList<QByteArray> &lines)
{
    QHash<QByteArray, QByteArray> fields;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i);
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        const QByteArray key = line.left(eq);
        if (fields.contains(key))
            return std::nullopt; // two answers to one question: neither is taken
        fields.insert(key, line.mid(eq + 1));
    }
    return fields;
}

std::optional<ReleaseManifest> parseFields(const QHash<QByteArray, QByteArray> &fields)
{
    static const QList<QByteArray> required = { "product", "version", "target", "minimum-version", "size", "sha256" };
    for (const QByteArray &key : required) {
        if (!fields.contains(key))
            return std::nullopt;
    }
    ReleaseManifest manifest;
    manifest.product = QString::fromUtf8(fields.value("product"));
    manifest.target = QString::fromUtf8(fields.value("target"));
    const auto version = VersionNumber::parse(QString::fromLatin1(fields.value("version")));
    const auto minimum = VersionNumber::parse(QString::fromLatin1(fields.value("minimum-version")));
    if (!version || !minimum)
        return std::nullopt;
    manifest.version = *version;
    manifest.minimumVersion = *minimum;

    const QByteArray size = fields.value("size");
    bool ok = !size.isEmpty() && std::all_of(size.begin(), size.end(), [](char c) { return c >= '0' && c <= '9'; });
    manifest.updaterSize = ok ? size.toLongLong(&ok) : 0;
    if (!ok || manifest.updaterSize <= 0 || manifest.updaterSize > kMaxUpdaterBytes)
        return std::nullopt;

    const QByteArray sha = fields.value("sha256");
    manifest.updaterSha256 = QByteArray::fromHex(sha);
    if (sha.size() != 64 || manifest.updaterSha256.toHex() != sha.toLower())
        return std::nullopt;
    return manifest;
}
} // namespace

QString ownTarget()
{
    return QSysInfo::kernelType() + QLatin1Char('-') + QSysInfo::buildCpuArchitecture();
}

QByteArray manifestText(const ReleaseManifest &manifest)
{
    const QByteArray crlf = "\r\n";
    return strVersion(manifest.version.part(0), manifest.version.part(1)).toLatin1() + crlf //
        + "product=" + manifest.product.toUtf8() + crlf //
        + "version=" + manifest.version.toString().toLatin1() + crlf //
        + "target=" + manifest.target.toUtf8() + crlf //
        + "minimum-version=" + manifest.minimumVersion.toString().toLatin1() + crlf //
        + "size=" + QByteArray::number(manifest.updaterSize) + crlf //
        + "sha256=" + manifest.updaterSha256.toHex() + crlf;
}

QByteArray signedVersionFile(const QByteArray &text, const QByteArray &signature)
{
    return text + kSignatureKey + signature.toHex() + "\r\n";
}

ManifestReading readVersionFile(const QByteArray &bytes, const QByteArray &publicKey, const VersionNumber &running, const QString &target)
{
    ManifestReading reading;
    if (publicKey.size() != kPublicKeyBytes) {
        reading.fault = ManifestFault::NoKey;
        return reading;
    }
    // The last line, without the line end after it, is the signature.
    qsizetype end = bytes.size();
    while (end > 0 && (bytes.at(end - 1) == '\n' || bytes.at(end - 1) == '\r'))
        --end;
    const qsizetype lastLine = bytes.lastIndexOf('\n', end - 1) + 1;
    const QByteArray signatureLine = bytes.mid(lastLine, end - lastLine);
    if (lastLine == 0 || !signatureLine.startsWith(kSignatureKey)) {
        reading.fault = ManifestFault::Unsigned;
        return reading;
    }
    const QByteArray signatureHex = signatureLine.mid(kSignatureKey.size());
    const QByteArray signature = QByteArray::fromHex(signatureHex);
    if (signatureHex.size() != 2 * kSignatureBytes || signature.toHex() != signatureHex.toLower()
        || !verifyDetached(bytes.constData(), lastLine, signature, publicKey)) {
        reading.fault = ManifestFault::BadSignature;
        return reading;
    }

    // Signed by the maker from here on; what it says is still checked.
    QByteArray text = bytes.left(lastLine);
    text.replace("\r\n", "\n");
    QList<QByteArray> lines = text.split('\n');
    const auto fields = fieldsOf(lines);
    const auto manifest = fields ? parseFields(*fields) : std::nullopt;
    if (!manifest) {
        reading.fault = ManifestFault::Malformed;
        return reading;
    }
    if (QString::fromLatin1(lines.value(0)) != strVersion(manifest->version.part(0), manifest->version.part(1)))
        reading.fault = ManifestFault::FirstLineDiffers;
    else if (manifest->product != kProductName)
        reading.fault = ManifestFault::OtherProduct;
    else if (manifest->target != target)
        reading.fault = ManifestFault::OtherTarget;
    else if (manifest->version <= running)
        reading.fault = ManifestFault::NotNewer;
    else if (running < manifest->minimumVersion)
        reading.fault = ManifestFault::TooOldToReplace;
    else {
        reading.fault = ManifestFault::None;
        reading.manifest = *manifest;
    }
    return reading;
}

} // namespace tv::update
