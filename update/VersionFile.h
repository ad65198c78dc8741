#pragma once

#include <QByteArray>
#include <QString>

namespace tv::update {

// The running version as the site writes it: the major version followed
// directly by the minor, in plain decimal ("70" for 7.0).
QString strVersion(int major, int minor);
QString strVersion(); // the program's own

// What version.dat says. Its first line is the newest release's version;
// the lines after it describe the updater as "size=<bytes>" and
// "sha256=<64 hex digits>" (other lines are ignored, so the file can grow).
struct VersionFile
{
    QString firstLine;
    qint64 updaterSize = -1; // -1: not given
    QByteArray updaterSha256; // 32 bytes, or empty: not given
    bool describesUpdater() const { return updaterSize >= 0 && updaterSha256.size() == 32; }
};
VersionFile parseVersionFile(const QByteArray &bytes);

// version.dat is a few lines; a larger answer is not one.
inline constexpr qint64 kMaxVersionFileBytes = 64 * 1024;

// Whether the first line offers an update to the running version: not
// empty, at most 9 characters, all digits, and a higher number. A different
// but lower number would be a downgrade and is not offered.
bool offersUpdate(const QString &firstLine, const QString &runningVersion);

// The window's offer: "A New Version of <program> is Available.", CR LF,
// "Click Download to Automatically Update.".
QString offerText(const QString &exeName);

} // namespace tv::update
