#include "PlaylistFile.h"

#include "NameBytes.h"
#include "SongEntry.h"

#include <QStringDecoder>

namespace tv::core {

namespace {

constexpr int kInputPastEndOfFile = 62;
constexpr int kTypeMismatch = 13;

// Windows-1252: Latin-1, except that 0x80..0x9F hold printable characters.
QString fromWindows1252(const QByteArray &bytes)
{
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

// Whether the text holds a character beyond ASCII that came from valid
// UTF-8 (an escaped byte of a file name does not count).
bool holdsUtf8Text(const QString &escaped)
{
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const char16_t u = escaped.at(i).unicode();
        if (u >= 0x80 && !isEscapedByte(escaped, i))
            return true;
    }
    return false;
}

// Lines as the file holds them: split at LF, a CR before it dropped.
class LineReader
{
public:
    explicit LineReader(const QString &text) : m_text(text) {}
    bool next(QString &line)
    {
        if (m_pos >= m_text.size())
            return false;
        qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_pos);
        if (end < 0)
            end = m_text.size();
        line = m_text.mid(m_pos, end - m_pos);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        m_pos = end + 1;
        return true;
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
};

} // namespace

QString totalLine(qint64 total)
{
    return (total < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(total < 0 ? -total : total) + QLatin1Char(' ');
}

QByteArray writePlaylist(const PlaylistContent &c, bool cassette)
{
    QStringList lines{c.mediumCode, c.customLength, c.delay};
    const auto section = [&lines](const char *marker, const PlaylistSection &s) {
        if (s.entries.isEmpty())
            return;
        lines << QLatin1String(marker) << totalLine(s.total);
        lines << s.entries;
    };
    section("playlista", c.sideA);
    if (cassette)
        section("playlistb", c.sideB);
    lines << QStringLiteral("playlistend");
    // A file name that is not UTF-8 goes into the file as its own bytes.
    return fileNameBytes(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

namespace {

PlaylistRead readText(const QString &text, bool cassette)
{
    PlaylistRead r;
    LineReader lines(text);
    const auto pastEnd = [&r] {
        r.outcome = PlaylistRead::Outcome::Error;
        r.errorNumber = kInputPastEndOfFile;
        r.errorDescription = QStringLiteral("Input past end of file");
        return r;
    };
    QString *header[] = {&r.content.mediumCode, &r.content.customLength, &r.content.delay};
    for (QString *line : header) {
        if (!lines.next(*line))
            return pastEnd();
        ++r.headerLines;
    }
    QString line;
    if (!lines.next(line))
        return pastEnd();

    // One section: its total, then entries until one of the end markers;
    // the line after the total is an entry whatever it says.
    const auto readSection = [&](PlaylistSection &s, const QStringList &endMarkers) -> bool {
        s.present = true;
        QString total;
        if (!lines.next(total))
            return false;
        bool ok = false;
        const qint64 value = total.trimmed().toLongLong(&ok);
        if (!ok) {
            r.errorNumber = kTypeMismatch;
            r.errorDescription = QStringLiteral("Type mismatch: the total \"%1\" is not a whole number").arg(total.left(40));
            return false;
        }
        s.total = value;
        s.totalRead = true;
        if (!lines.next(line))
            return false;
        do {
            s.entries << line;
            if (!lines.next(line))
                return false;
        } while (!endMarkers.contains(line));
        return true;
    };
    const auto failed = [&r, &pastEnd] {
        if (r.errorNumber == 0)
            return pastEnd();
        r.outcome = PlaylistRead::Outcome::Error;
        return r;
    };

    bool any = false;
    if (line == QLatin1String("playlista")) {
        if (!readSection(r.content.sideA, {QStringLiteral("playlistend"), QStringLiteral("playlistb")}))
            return failed();
        any = true;
    }
    if (cassette && line == QLatin1String("playlistb")) {
        if (!readSection(r.content.sideB, {QStringLiteral("playlistend")}))
            return failed();
        any = true;
    }
    r.outcome = any ? PlaylistRead::Outcome::Sections : PlaylistRead::Outcome::NoSection;
    return r;
}

int existingSongs(const PlaylistRead &r)
{
    int count = 0;
    for (const PlaylistSection *s : {&r.content.sideA, &r.content.sideB}) {
        for (const QString &line : s->entries) {
            SongEntry entry;
            if (SongEntry::parse(line, entry) && fileExists(entry.path))
                ++count;
        }
    }
    return count;
}

} // namespace

PlaylistRead readPlaylist(const QByteArray &bytes, bool cassette)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return readText(text, cassette);
    // Bytes that are not UTF-8: a file name kept as its bytes in a file of
    // ours, or a file written on the older platform in Windows-1252. The
    // reading that finds more of its songs on disk wins; when they find as
    // many, UTF-8 elsewhere in the file says it is ours.
    const QString escaped = fileNameFromBytes(bytes);
    PlaylistRead older = readText(fromWindows1252(bytes), cassette);
    PlaylistRead ours = readText(escaped, cassette);
    const int oursFound = existingSongs(ours);
    const int olderFound = existingSongs(older);
    if (oursFound > olderFound || (oursFound == olderFound && holdsUtf8Text(escaped)))
        return ours;
    return older;
}

} // namespace tv::core
