#include "CueSheet.h"

#include "../probe/Measure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QHash>
#include <QMutex>
#include <QStringList>

#include <cmath>

namespace tv::media::CueSheet {

namespace {

constexpr int kAudioSectorBytes = 2352;

// Bytes per sector of each kind of track in a raw data file.
std::optional<int> sectorBytes(const QString &mode)
{
    static const QList<std::pair<QString, int>> kModes = {
        {QStringLiteral("AUDIO"), 2352},      {QStringLiteral("CDG"), 2448},        {QStringLiteral("MODE1/2048"), 2048},
        {QStringLiteral("MODE1/2352"), 2352}, {QStringLiteral("MODE2/2048"), 2048}, {QStringLiteral("MODE2/2324"), 2324},
        {QStringLiteral("MODE2/2336"), 2336}, {QStringLiteral("MODE2/2352"), 2352}, {QStringLiteral("CDI/2336"), 2336},
        {QStringLiteral("CDI/2352"), 2352}};
    for (const auto &[name, bytes] : kModes) {
        if (name == mode)
            return bytes;
    }
    return std::nullopt;
}

// mm:ss:ff (75 frames a second) as a count of sectors.
std::optional<qint64> sectorsOf(const QString &msf)
{
    static const QRegularExpression kMsf(QStringLiteral("^(\\d{1,3}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = kMsf.match(msf);
    if (!m.hasMatch())
        return std::nullopt;
    const int minutes = m.captured(1).toInt(), seconds = m.captured(2).toInt(), frames = m.captured(3).toInt();
    if (seconds > 59 || frames > 74)
        return std::nullopt;
    return (qint64(minutes) * 60 + seconds) * 75 + frames;
}

// The words of a line; a quoted word may hold spaces.
QStringList words(const QString &line, bool &unclosedQuote)
{
    QStringList result;
    QString word;
    bool quoted = false, inWord = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                result << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        result << word;
    unclosedQuote = quoted;
    return result;
}

// Decoded data files are measured once per size and modification time: a
// disc is opened again for every track that plays.
qint64 decodedSectors(const QString &path, QString &error)
{
    static QMutex mutex;
    static QHash<QString, qint64> known;
    const QFileInfo info(path);
    const QString key = path + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n')
                        + QString::number(info.lastModified().toMSecsSinceEpoch());
    {
        const QMutexLocker lock(&mutex);
        if (const auto it = known.constFind(key); it != known.constEnd())
            return *it;
    }
    const Duration length = measureFile(path);
    if (!length.ok()) {
        error = length.error;
        return -1;
    }
    const qint64 frames = std::llround(*length.seconds * 44100.0);
    const qint64 sectors = (frames + 587) / 588;
    const QMutexLocker lock(&mutex);
    known.insert(key, sectors);
    return sectors;
}

// The furthest place that the sheet puts into a data file, to check that the
// file reaches it.
struct Furthest
{
    qint64 sector = -1;
    int sectorBytes = kAudioSectorBytes;
    int line = 0;
    bool audioOnly = true;
    int sectorBytesOfTracks = 0; // 0 before any track, -1 when they differ
};

QString withoutFinalStop(QString text)
{
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

} // namespace

bool Sheet::readByLibcdio() const
{
    if (files.size() != 1 || files.first().declaredType != QLatin1String("BINARY"))
        return false;
    for (const Track &t : tracks) {
        if (t.pregap > 0 || t.postgap > 0)
            return false;
    }
    return true;
}

QString check(const QString &cuePath)
{
    QString error;
    return read(cuePath, error) ? QString() : error;
}

std::optional<Sheet> read(const QString &cuePath, QString &error)
{
    QFile file(cuePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The CD image \"%1\" cannot be read: %2.").arg(cuePath, file.errorString());
        return std::nullopt;
    }
    // A sheet is a few kilobytes; anything far larger is no sheet.
    constexpr qint64 kLargestSheet = 1 << 20;
    if (file.size() > kLargestSheet) {
        error = QStringLiteral("The CD image \"%1\" cannot be read: it is too large to be a CUE sheet.").arg(cuePath);
        return std::nullopt;
    }
    const QString folder = QFileInfo(cuePath).absolutePath();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));

    const auto bad = [&](int line, const QString &why) {
        error = QStringLiteral("The CD image \"%1\" cannot be read: line %2 (\"%3\") %4.")
                    .arg(cuePath)
                    .arg(line)
                    .arg(lines.at(line - 1).trimmed().remove(QChar(0xFEFF)), why);
        return std::nullopt;
    };
    const auto noIndex01 = [&](const Track &t) {
        return bad(t.line, QStringLiteral("starts track %1, which has no INDEX 01 line").arg(t.number));
    };

    Sheet sheet;
    QList<Furthest> furthest;
    std::optional<Point> lastPoint;
    int lastPointLine = 0;
    bool trackHasIndex01 = false;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString text = lines.at(i);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        bool unclosed = false;
        const QStringList w = words(text, unclosed);
        if (w.isEmpty())
            continue;
        if (unclosed)
            return bad(lineNo, QStringLiteral("has a quotation mark that is not closed"));
        const QString command = w.first().toUpper();
        if (command == QLatin1String("REM") || command == QLatin1String("TITLE") || command == QLatin1String("PERFORMER")
            || command == QLatin1String("SONGWRITER") || command == QLatin1String("CATALOG") || command == QLatin1String("ISRC")
            || command == QLatin1String("CDTEXTFILE") || command == QLatin1String("FLAGS"))
            continue;
        Track *track = sheet.tracks.isEmpty() ? nullptr : &sheet.tracks.last();
        if (command == QLatin1String("FILE")) {
            if (w.size() != 3)
                return bad(lineNo, QStringLiteral("should name a data file and its type, as FILE \"disc.bin\" BINARY"));
            // A disc holds at most 99 tracks, so no sheet needs more files.
            if (sheet.files.size() == 99)
                return bad(lineNo, QStringLiteral("names a 100th data file; a disc holds at most 99 tracks"));
            File data;
            data.type = w.at(2).toUpper();
            static const QStringList kTypes = {QStringLiteral("BINARY"), QStringLiteral("MOTOROLA"), QStringLiteral("WAVE"),
                                               QStringLiteral("AIFF"), QStringLiteral("MP3")};
            if (!kTypes.contains(data.type))
                return bad(lineNo, QStringLiteral("gives \"%1\", which is not a type of data file").arg(w.at(2)));
            data.declaredType = data.type;
            const QString name = w.at(1);
            static const QStringList kRawSuffixes = {QStringLiteral("bin"), QStringLiteral("img"), QStringLiteral("raw")};
            if (!data.raw() && kRawSuffixes.contains(QFileInfo(name).suffix().toLower()))
                data.type = QStringLiteral("BINARY"); // such files hold CD sectors, whatever a sheet maker wrote
            data.path = QFileInfo(QDir::isAbsolutePath(name) ? name : folder + QLatin1Char('/') + name).absoluteFilePath();
            data.line = lineNo;
            if (!QFileInfo(data.path).isFile())
                return bad(lineNo, QStringLiteral("names the data file \"%1\", which does not exist").arg(data.path));
            sheet.files << data;
            furthest << Furthest{};
            continue;
        }
        if (command == QLatin1String("TRACK")) {
            if (sheet.files.isEmpty())
                return bad(lineNo, QStringLiteral("comes before any FILE line"));
            if (track && !trackHasIndex01)
                return noIndex01(*track);
            bool ok = false;
            const int number = w.size() == 3 ? w.at(1).toInt(&ok) : 0;
            if (!ok || number < 1 || number > 99)
                return bad(lineNo, QStringLiteral("should give a track number from 01 to 99 and its kind, as TRACK 01 AUDIO"));
            if (track && number <= track->number)
                return bad(lineNo, QStringLiteral("gives track %1 after track %2").arg(number).arg(track->number));
            const QString kind = w.at(2).toUpper();
            const std::optional<int> bytes = sectorBytes(kind);
            if (!bytes)
                return bad(lineNo, QStringLiteral("gives \"%1\", which is not a kind of track").arg(w.at(2)));
            Furthest &data = furthest.last();
            if (kind != QLatin1String("AUDIO")) {
                if (!sheet.files.last().raw())
                    return bad(lineNo, QStringLiteral("puts a data track into the %1 file \"%2\", which holds only sound")
                                           .arg(sheet.files.last().declaredType, sheet.files.last().path));
                data.audioOnly = false;
            }
            data.sectorBytesOfTracks = (data.sectorBytesOfTracks == 0 || data.sectorBytesOfTracks == *bytes) ? *bytes : -1;
            Track t;
            t.number = number;
            t.audio = kind == QLatin1String("AUDIO");
            t.sectorBytes = *bytes;
            t.line = lineNo;
            sheet.tracks << t;
            trackHasIndex01 = false;
            continue;
        }
        if (command == QLatin1String("INDEX")) {
            if (!track)
                return bad(lineNo, QStringLiteral("comes before any TRACK line"));
            bool ok = false;
            const int number = w.size() == 3 ? w.at(1).toInt(&ok) : 0;
            const std::optional<qint64> at = w.size() == 3 ? sectorsOf(w.at(2)) : std::nullopt;
            if (!ok || number < 0 || number > 99 || !at)
                return bad(lineNo, QStringLiteral("should give an index number and a time in minutes:seconds:frames, as INDEX 01 00:02:00"));
            const Point point{int(sheet.files.size()) - 1, *at};
            if (lastPoint && lastPoint->file == point.file && point.sector < lastPoint->sector)
                return bad(lineNo, QStringLiteral("gives a time before the one of line %1").arg(lastPointLine));
            if (number == 0 && trackHasIndex01)
                return bad(lineNo, QStringLiteral("gives INDEX 00 after INDEX 01"));
            if (number == 0)
                track->index0 = point;
            if (number == 1) {
                track->index1 = point;
                trackHasIndex01 = true;
            }
            lastPoint = point;
            lastPointLine = lineNo;
            Furthest &data = furthest.last();
            if (point.sector >= data.sector) {
                data.sector = point.sector;
                data.sectorBytes = track->sectorBytes;
                data.line = lineNo;
            }
            continue;
        }
        if (command == QLatin1String("PREGAP") || command == QLatin1String("POSTGAP")) {
            if (!track)
                return bad(lineNo, QStringLiteral("comes before any TRACK line"));
            const std::optional<qint64> length = w.size() == 2 ? sectorsOf(w.at(1)) : std::nullopt;
            if (!length)
                return bad(lineNo, QStringLiteral("should give a length in minutes:seconds:frames, as %1 00:02:00").arg(command));
            (command == QLatin1String("PREGAP") ? track->pregap : track->postgap) = *length;
            continue;
        }
        return bad(lineNo, QStringLiteral("is not a line of a CUE sheet"));
    }
    if (sheet.tracks.isEmpty()) {
        error = QStringLiteral("The CD image \"%1\" cannot be read: it lists no tracks.").arg(cuePath);
        return std::nullopt;
    }
    if (!trackHasIndex01)
        return noIndex01(sheet.tracks.last());

    // Every data file must reach the furthest place that the sheet puts into
    // it; a raw audio-only one is whole sectors, so a partial last sector
    // means that the file was cut short.
    for (int f = 0; f < sheet.files.size(); ++f) {
        File &data = sheet.files[f];
        const Furthest &far = furthest.at(f);
        const auto cutShort = [&](const QString &how) {
            return bad(far.line, QStringLiteral("places a track at a point past the end of the data file \"%1\", which is cut short (%2)")
                                     .arg(data.path, how));
        };
        if (data.raw()) {
            const qint64 size = QFileInfo(data.path).size();
            if (far.sector >= 0 && size < (far.sector + 1) * far.sectorBytes)
                return cutShort(QStringLiteral("%1 bytes").arg(size));
            if (far.audioOnly && size % kAudioSectorBytes != 0)
                return bad(data.line, QStringLiteral("names the data file \"%1\", which is cut short: it ends in the middle of a sector").arg(data.path));
            if (far.sectorBytesOfTracks < 0 && sheet.files.size() > 1)
                return bad(data.line, QStringLiteral("names the data file \"%1\", which holds tracks of different sector sizes; "
                                                     "only an image with one data file can hold those").arg(data.path));
            data.sectors = size / std::max(far.sectorBytesOfTracks, far.sectorBytes);
        } else {
            QString why;
            data.sectors = decodedSectors(data.path, why);
            if (data.sectors < 0)
                return bad(data.line, QStringLiteral("names a data file that cannot be played (%1)").arg(withoutFinalStop(why)));
            if (far.sector >= data.sectors)
                return cutShort(QStringLiteral("it plays %1 s").arg(double(data.sectors) / 75.0, 0, 'f', 2));
        }
    }
    return sheet;
}

} // namespace tv::media::CueSheet
