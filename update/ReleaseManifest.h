#pragma once

#include "VersionNumber.h"

#include <QByteArray>
#include <QString>

namespace tv::update {

// What the update folder's version.dat says about the newest release, all
// of it under the maker's Ed25519 signature:
//
//   710                       the version as older programs read it
//   product=TapeVantrel
//   version=7.10
//   target=linux-x86_64       operating system and processor it runs on
//   minimum-version=7.0       the oldest version it may replace
//   size=<bytes of the updater>
//   sha256=<64 hex digits of the updater>
//   signature=<128 hex digits>
//
// The signature is the last line and covers every byte before it, the first
// line included, so neither the version nor the updater it names can be
// changed without the key. Unknown lines are signed too and ignored, so the
// file can grow.
struct ReleaseManifest
{
    QString product;
    VersionNumber version;
    QString target;
    VersionNumber minimumVersion;
    qint64 updaterSize = 0;
    QByteArray updaterSha256; // 32 bytes
};

inline const QString kProductName = QStringLiteral("TapeVantrel");

// The largest updater the program takes in.
inline constexpr qint64 kMaxUpdaterBytes = 512LL * 1024 * 1024;

// This build's target: the operating system and the processor, "linux-x86_64".
QString ownTarget();

// The manifest's text as it is signed, lines ending in CR LF.
QByteArray manifestText(const ReleaseManifest &manifest);
// version.dat: the text, then its signature line.
QByteArray signedVersionFile(const QByteArray &text, const QByteArray &signature);

enum class ManifestFault {
    None,
    NoKey, // the build has no key to check a signature with
    Unsigned, // no signature line at the end
    BadSignature, // not signed by the key, or changed after signing
    Malformed, // a line missing, repeated or unreadable
    FirstLineDiffers, // the older programs' line does not name the signed version
    OtherProduct,
    OtherTarget,
    NotNewer, // the same version as the running one, or older
    TooOldToReplace, // the running version is below the release's minimum
};

struct ManifestReading
{
    ReleaseManifest manifest; // filled only when fault is None
    ManifestFault fault = ManifestFault::Malformed;
};

// Checks the signature with publicKey, reads the lines and decides whether
// the release is an update for the running version on this target. Only a
// reading without a fault may be offered.
ManifestReading readVersionFile(const QByteArray &bytes, const QByteArray &publicKey, const VersionNumber &running,
    const QString &target = ownTarget());

} // namespace tv::update
