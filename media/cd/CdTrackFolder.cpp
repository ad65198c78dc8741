#include "CdTrackFolder.h"

#include "CdDisc.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

namespace tv::media::CdTrackFolder {

namespace {

QByteArray trackFileBytes(const CdDisc::Track &track, quint32 discId)
{
    // RIFF "CDDA" with one "fmt " chunk of 24 bytes: version, track number,
    // disc serial, start and length as sectors and as frames/seconds/minutes.
    QByteArray bytes(44, '\0');
    auto put32 = [&bytes](int at, quint32 v) { qToLittleEndian(v, bytes.data() + at); };
    auto put16 = [&bytes](int at, quint16 v) { qToLittleEndian(v, bytes.data() + at); };
    auto msf = [](int sectors) {
        const int f = sectors % 75, s = (sectors / 75) % 60, m = sectors / 75 / 60;
        return quint32(f) | (quint32(s) << 8) | (quint32(m) << 16);
    };
    memcpy(bytes.data(), "RIFF", 4);
    put32(4, 36);
    memcpy(bytes.data() + 8, "CDDAfmt ", 8);
    put32(16, 24);
    put16(20, 1);
    put16(22, quint16(track.number));
    put32(24, discId);
    put32(28, quint32(track.firstSector));
    put32(32, quint32(track.sectors()));
    put32(36, msf(track.firstSector + 150));
    put32(40, msf(track.sectors()));
    return bytes;
}

// Readable, and different for every full path of a source.
QString folderNameFor(const QString &source)
{
    const QString full = QFileInfo(source).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QFileInfo(source).completeBaseName() + QLatin1Char('-') + QString::fromLatin1(hash);
}

QString markedSource(const QString &folder)
{
    QFile marker(folder + QStringLiteral("/.source"));
    if (!marker.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(marker.readAll()).trimmed();
}

} // namespace

QString materialise(const QString &source, QString &error)
{
    const std::shared_ptr<CdDisc> disc = CdDisc::open(source, error);
    if (!disc)
        return {};
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/TapeVantrel/AudioCD/");
    const QString folder = base + folderNameFor(source);
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("The folder \"%1\" for the CD's tracks cannot be made.").arg(folder);
        return {};
    }
    for (const QString &old : dir.entryList({QStringLiteral("*.cda")}, QDir::Files))
        dir.remove(old);
    const quint32 discId = disc->discId();
    for (const CdDisc::Track &t : disc->tracks()) {
        if (!t.audio)
            continue;
        QSaveFile file(dir.filePath(QStringLiteral("Track%1.cda").arg(t.number, 2, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(trackFileBytes(t, discId)) != 44 || !file.commit()) {
            error = QStringLiteral("The track files of the CD cannot be written in \"%1\".").arg(folder);
            return {};
        }
    }
    QSaveFile marker(dir.filePath(QStringLiteral(".source")));
    if (!marker.open(QIODevice::WriteOnly) || marker.write(QFileInfo(source).absoluteFilePath().toUtf8()) < 0 || !marker.commit()) {
        error = QStringLiteral("The track files of the CD cannot be written in \"%1\".").arg(folder);
        return {};
    }
    return folder;
}

QString sourceFor(const QString &trackFilePath)
{
    const QString source = markedSource(QFileInfo(trackFilePath).absolutePath());
    if (!source.isEmpty())
        return source;
    const QStringList drives = CdDisc::drives();
    return drives.isEmpty() ? QString() : drives.first();
}

QString imageOf(const QString &folder)
{
    const QString source = markedSource(folder);
    if (source.isEmpty() || source.startsWith(QLatin1String("/dev/")))
        return {};
    return source;
}

bool matchesDisc(const QString &trackFilePath, const CdDisc &disc, QString &error)
{
    // A track file that is not there names its track by its name alone, as
    // the device's own checks of the track then tell.
    QFile file(trackFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = file.read(45);
    if (bytes.size() != 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "CDDAfmt ")
        return true;
    const quint32 id = qFromLittleEndian<quint32>(bytes.constData() + 24);
    if (id == disc.discId())
        return true;
    error = QStringLiteral("The CD track file \"%1\" belongs to another disc than the one now in \"%2\", so it is not played. "
                           "Open the disc again in the drive list and add its tracks anew.")
                .arg(trackFilePath, disc.source());
    return false;
}

int trackNumberOf(const QString &path)
{
    if (path.size() < 6)
        return 0;
    const QString digits = path.mid(path.size() - 6, 2);
    if (!digits.at(0).isDigit() || !digits.at(1).isDigit())
        return 0;
    return digits.toInt();
}

QString trackFileOf(const QString &trackFilePath, int track)
{
    QString other = trackFilePath;
    if (other.endsWith(QLatin1String(".cda"), Qt::CaseInsensitive) && trackNumberOf(other) > 0)
        other.replace(other.size() - 6, 2, QStringLiteral("%1").arg(track, 2, 10, QLatin1Char('0')));
    return other;
}

} // namespace tv::media::CdTrackFolder
