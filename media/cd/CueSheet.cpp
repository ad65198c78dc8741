#include "CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

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

struct DataFile
{
    QString name;
    QString path;
    QString type;
    int line = 0;
    // The furthest place that a track puts into this file: its sector, the
    // size of its sectors and the line that puts it there.
    qint64 lastSector = -1;
    int lastSectorBytes = kAudioSectorBytes;
    int lastLine = 0;
    bool audioOnly = true;
};

} // namespace

namespace {
QString checkSheet(const QString &cuePath, QString *dataFile);
}

QString check(const QString &cuePath)
{
    return checkSheet(cuePath, nullptr);
}

QString dataFileOf(const QString &cuePath)
{
    QString dataFile;
    return checkSheet(cuePath, &dataFile).isEmpty() ? dataFile : QString();
}

namespace {

QString checkSheet(const QString &cuePath, QString *dataFile)
{
    QFile file(cuePath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The CD image \"%1\" cannot be read: %2.").arg(cuePath, file.errorString());
    const QString folder = QFileInfo(cuePath).absolutePath();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));

    const auto bad = [&cuePath](int line, const QString &text, const QString &why) {
        return QStringLiteral("The CD image \"%1\" cannot be read: line %2 (\"%3\") %4.").arg(cuePath).arg(line).arg(text.trimmed(), why);
    };

    QList<DataFile> files;
    int lastTrack = 0;
    int tracks = 0;
    std::optional<int> currentSectorBytes;
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
            return bad(lineNo, text, QStringLiteral("has a quotation mark that is not closed"));
        const QString command = w.first().toUpper();
        if (command == QLatin1String("REM") || command == QLatin1String("TITLE") || command == QLatin1String("PERFORMER")
            || command == QLatin1String("SONGWRITER") || command == QLatin1String("CATALOG") || command == QLatin1String("ISRC")
            || command == QLatin1String("CDTEXTFILE") || command == QLatin1String("FLAGS"))
            continue;
        if (command == QLatin1String("FILE")) {
            if (w.size() != 3)
                return bad(lineNo, text, QStringLiteral("should name a data file and its type, as FILE \"disc.bin\" BINARY"));
            const QString type = w.at(2).toUpper();
            static const QStringList kTypes = {QStringLiteral("BINARY"), QStringLiteral("MOTOROLA"), QStringLiteral("WAVE"),
                                               QStringLiteral("AIFF"), QStringLiteral("MP3")};
            if (!kTypes.contains(type))
                return bad(lineNo, text, QStringLiteral("gives \"%1\", which is not a type of data file").arg(w.at(2)));
            // What the CD reader can take: one file of raw little-endian sectors.
            if (type != QLatin1String("BINARY"))
                return bad(lineNo, text, QStringLiteral("names a %1 data file; only images with a raw BINARY data file (.bin) can be played").arg(type));
            if (!files.isEmpty())
                return bad(lineNo, text, QStringLiteral("names a second data file; only images with one data file can be played"));
            DataFile data;
            data.name = w.at(1);
            data.path = QDir::isAbsolutePath(data.name) ? data.name : folder + QLatin1Char('/') + data.name;
            data.type = type;
            data.line = lineNo;
            if (!QFileInfo(data.path).isFile())
                return bad(lineNo, text, QStringLiteral("names the data file \"%1\", which does not exist").arg(data.path));
            files << data;
            continue;
        }
        if (command == QLatin1String("TRACK")) {
            if (files.isEmpty())
                return bad(lineNo, text, QStringLiteral("comes before any FILE line"));
            bool ok = false;
            const int number = w.size() == 3 ? w.at(1).toInt(&ok) : 0;
            if (!ok || number < 1 || number > 99)
                return bad(lineNo, text, QStringLiteral("should give a track number from 01 to 99 and its kind, as TRACK 01 AUDIO"));
            if (number <= lastTrack)
                return bad(lineNo, text, QStringLiteral("gives track %1 after track %2").arg(number).arg(lastTrack));
            currentSectorBytes = sectorBytes(w.at(2).toUpper());
            if (!currentSectorBytes)
                return bad(lineNo, text, QStringLiteral("gives \"%1\", which is not a kind of track").arg(w.at(2)));
            if (w.at(2).toUpper() != QLatin1String("AUDIO"))
                files.last().audioOnly = false;
            lastTrack = number;
            ++tracks;
            continue;
        }
        if (command == QLatin1String("INDEX")) {
            if (!currentSectorBytes)
                return bad(lineNo, text, QStringLiteral("comes before any TRACK line"));
            bool ok = false;
            const int number = w.size() == 3 ? w.at(1).toInt(&ok) : 0;
            const std::optional<qint64> at = w.size() == 3 ? sectorsOf(w.at(2)) : std::nullopt;
            if (!ok || number < 0 || number > 99 || !at)
                return bad(lineNo, text, QStringLiteral("should give an index number and a time in minutes:seconds:frames, as INDEX 01 00:02:00"));
            DataFile &data = files.last();
            if (*at >= data.lastSector) {
                data.lastSector = *at;
                data.lastSectorBytes = *currentSectorBytes;
                data.lastLine = lineNo;
            }
            continue;
        }
        if (command == QLatin1String("POSTGAP"))
            return bad(lineNo, text, QStringLiteral("gives a POSTGAP, which this program cannot play; remove the line"));
        if (command == QLatin1String("PREGAP")) {
            if (!currentSectorBytes)
                return bad(lineNo, text, QStringLiteral("comes before any TRACK line"));
            if (w.size() != 2 || !sectorsOf(w.at(1)))
                return bad(lineNo, text, QStringLiteral("should give a length in minutes:seconds:frames, as PREGAP 00:02:00"));
            continue;
        }
        return bad(lineNo, text, QStringLiteral("is not a line of a CUE sheet"));
    }
    if (tracks == 0)
        return QStringLiteral("The CD image \"%1\" cannot be read: it lists no tracks.").arg(cuePath);

    // A raw data file must hold every sector that its tracks start at; an
    // audio-only one is whole sectors, so a partial last sector means that
    // the file was cut short.
    for (const DataFile &data : files) {
        if (data.type != QLatin1String("BINARY") && data.type != QLatin1String("MOTOROLA"))
            continue;
        const qint64 size = QFileInfo(data.path).size();
        if (data.lastSector >= 0 && size < (data.lastSector + 1) * data.lastSectorBytes)
            return bad(data.lastLine, lines.at(data.lastLine - 1),
                       QStringLiteral("places a track at a point past the end of the data file \"%1\", which is cut short (%2 bytes)")
                           .arg(data.path)
                           .arg(size));
        if (data.audioOnly && size % kAudioSectorBytes != 0)
            return bad(data.line, lines.at(data.line - 1),
                       QStringLiteral("names the data file \"%1\", which is cut short: it ends in the middle of a sector").arg(data.path));
    }
    if (dataFile)
        *dataFile = QFileInfo(files.first().path).absoluteFilePath();
    return {};
}

} // namespace

} // namespace tv::media::CueSheet
